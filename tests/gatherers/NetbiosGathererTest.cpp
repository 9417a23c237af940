#include <gtest/gtest.h>

#include "gatherers/NetbiosGatherer.h"
#include "support/ScratchHive.h"
#include "tests/gatherers/FillChecked.h"
#include "tests/probes/FakeNet.h"

// The prefix reports Windows 7, so the cards are read by the Windows 2000
// layout (the scratch hive has no TCP/IP adapter list): a card found but not
// read gives empty texts, cards past the last one carry the type read last.
TEST(NetbiosGatherer, BufferHoldsEachCardAndCarriesTheTypeOver) {
    NetbiosGatherer g;
    std::vector<uint8_t> expect(76, 0);
    databuf::WriteHeader(expect.data(), 76, 0xABACAB04, 4);
    EXPECT_EQ(FillChecked(g), expect);  // empty until the first update

    ScratchHive hive;
    FakeDevices dev;
    const char* cards[3][2] = {{"SvcA", "Ethernet card"}, {"SvcB", "Caf\xE9"}, {"SvcC", "Silent"}};
    for (int i = 0; i < 3; ++i) {
        const std::string key = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\" + std::to_string(i + 1);
        hive.SetString(key, "ServiceName", cards[i][0]);
        hive.SetString(key, "Description", cards[i][1]);
    }
    dev.answers["\\\\.\\SvcA"] = {{0x01010102, {0x00, 0xA0, 0x24, 0x1B, 0x2C, 0x3D}}};
    dev.answers["\\\\.\\SvcB"] = {{0x02010102, {0x10, 0x20, 0x30, 0x40, 0x50, 0x6F}}};
    EXPECT_EQ(g.Update(nullptr, 0), 1u);
    expect.assign(118, 0);
    databuf::WriteHeader(expect.data(), 118, 0xABACAB04, 4);
    const uint16_t types[8] = {253, 255, 0, 255, 255, 255, 255, 255};
    const uint16_t addressAt[8] = {60, 87, 106, 108, 110, 112, 114, 116};
    for (uint32_t i = 0; i < 8; ++i) {
        databuf::PutU16(expect.data(), 12 + 2 * i, addressAt[i]);
        databuf::PutU16(expect.data(), 28 + 2 * i, types[i]);
        databuf::PutU16(expect.data(), 44 + 2 * i, addressAt[i] + (i < 2 ? 13 : 1));
    }
    const char strings[] = "00A0241B2C3D\0Ethernet card\0" "10203040506F\0Caf\xC3\xA9";
    std::memcpy(&expect[60], strings, sizeof strings);
    EXPECT_EQ(FillChecked(g), expect);

    // Card 1 is gone: its type stays from the earlier update, and the run's
    // carried type is now Ethernet.
    dev.answers.erase("\\\\.\\SvcB");
    g.Update();
    std::vector<uint8_t> buf = FillChecked(g);
    EXPECT_EQ(buf.size(), 76u + 12 + 13);
    EXPECT_EQ(databuf::GetU16(buf.data(), 30), 255u);
    EXPECT_EQ(databuf::GetU16(buf.data(), 34), 253u);
}
