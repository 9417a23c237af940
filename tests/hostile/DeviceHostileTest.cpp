// Device answers of every wrong length, including a driver that claims to
// have returned more than the buffer holds.
#include <gtest/gtest.h>

#include "probes/AdapterAddress.h"
#include "tests/probes/FakeNet.h"

TEST(HostileDevice, OnlyASixByteAnswerIsAnAddress) {
    constexpr DWORD k8023 = 0x01010102;
    for (size_t size : {0u, 1u, 5u, 7u, 12u, 4095u, 4096u, 8192u, 1u << 20}) {
        SCOPED_TRACE(size);
        FakeDevices dev;
        dev.dosNames = {"Card"};
        dev.answers["\\\\.\\Card"] = {{k8023, std::vector<uint8_t>(size, 0xAB)}};
        char address[16];
        std::memset(address, '#', sizeof address);
        uint32_t type = 7;
        EXPECT_EQ(QueryAdapterAddress("Card", address, &type), 0u);
        EXPECT_EQ(address[0], '#');
        EXPECT_EQ(type, 7u);
    }
    FakeDevices dev;
    dev.dosNames = {"Card"};
    dev.answers["\\\\.\\Card"] = {{k8023, {0xDE, 0xAD, 0xBE, 0xEF, 0x00, 0x01}}};
    char address[16];
    uint32_t type = 0;
    EXPECT_EQ(QueryAdapterAddress("Card", address, &type), 1u);
    EXPECT_STREQ(address, "DEADBEEF0001");
}
