#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/DataBuf.h"
#include "gatherers/FillChecked.h"
#include "gatherers/WinUserGatherer.h"
#include "support/ScratchHive.h"

TEST(WinUserGatherer, BeforeTheFirstUpdate) {
    WinUserGatherer g;
    EXPECT_STREQ(g.GetName(), "WindowsUserInfo");
    std::vector<uint8_t> expected(35, 0);
    databuf::WriteHeader(expected.data(), 35, 0xABACAB01, 1);
    EXPECT_EQ(FillChecked(g), expected);
}

TEST(WinUserGatherer, WorkedExampleBuffer) {
    WinUserGatherer g;
    g.StoreFacts("JDOE", "PC01", "", "OFFICE", "", "J Doe", "12345");
    std::vector<uint8_t> expected(59, 0);
    databuf::WriteHeader(expected.data(), 59, 0xABACAB01, 1);
    const uint16_t slots[] = {28, 33, 38, 39, 45, 46, 52};  // at 14, 16, ... 26
    for (int i = 0; i < 7; ++i)
        databuf::PutU16(expected.data(), 14 + 2 * i, slots[i]);
    const std::string texts("JDOE\0PC01\0\0J Doe\0\0" "12345\0OFFICE\0", 31);
    std::copy(texts.begin(), texts.end(), expected.begin() + 28);
    EXPECT_EQ(FillChecked(g), expected);
}

TEST(WinUserGatherer, UpdateStoresUtf8Facts) {
    ScratchHive hive;
    hive.SetComputerName("PC01");
    hive.SetString("System\\CurrentControlSet\\Control", "CurrentUser", "jdoe");
    // "José" and "Zoë AG" in the test prefix's code page 1252.
    ASSERT_EQ(GetACP(), 1252u);
    const std::string cv = "Software\\Microsoft\\Windows NT\\CurrentVersion";
    hive.SetString(cv, "RegisteredOwner", "Jos\xE9");
    hive.SetString(cv, "RegisteredOrganization", "Zo\xEB AG");

    WinUserGatherer g;
    EXPECT_EQ(g.Update(nullptr, 0), 1u);  // the two-argument form runs Update()
    std::vector<uint8_t> buf = FillChecked(g);
    const std::string texts("jdoe\0PC01\0\0Jos\xC3\xA9\0Zo\xC3\xAB AG\0\0PC01\0", 31);
    ASSERT_EQ(buf.size(), 28 + texts.size());
    EXPECT_EQ(std::string(buf.begin() + 28, buf.end()), texts);
    const uint16_t slots[] = {28, 33, 38, 39, 45, 53, 54};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(databuf::GetU16(buf.data(), 14 + 2 * i), slots[i]) << i;
}
