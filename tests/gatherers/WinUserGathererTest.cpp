#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/DataBuf.h"
#include "gatherers/FillChecked.h"
#include "gatherers/WinUserGatherer.h"
#include "support/ScratchHive.h"

namespace {
// Header, the seven text offsets at 14..26, the texts from 28.
std::vector<uint8_t> Expected(const std::string& texts, const std::vector<uint16_t>& slots) {
    std::vector<uint8_t> b(28 + texts.size(), 0);
    databuf::WriteHeader(b.data(), static_cast<uint32_t>(b.size()), 0xABACAB01, 1);
    for (size_t i = 0; i < slots.size(); ++i)
        databuf::PutU16(b.data(), 14 + 2 * i, slots[i]);
    std::copy(texts.begin(), texts.end(), b.begin() + 28);
    return b;
}
}  // namespace

TEST(WinUserGatherer, EmptyThenWorkedExample) {
    WinUserGatherer g;
    EXPECT_STREQ(g.GetName(), "WindowsUserInfo");
    EXPECT_EQ(FillChecked(g), Expected(std::string(7, '\0'), {}));  // 35 bytes, no offsets
    g.StoreFacts("JDOE", "PC01", "", "OFFICE", "", "J Doe", "12345");
    EXPECT_EQ(FillChecked(g), Expected(std::string("JDOE\0PC01\0\0J Doe\0\0" "12345\0OFFICE\0", 31),
                                       {28, 33, 38, 39, 45, 46, 52}));
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
    EXPECT_EQ(FillChecked(g), Expected(std::string("jdoe\0PC01\0\0Jos\xC3\xA9\0Zo\xC3\xAB AG\0\0PC01\0", 31),
                                       {28, 33, 38, 39, 45, 53, 54}));
}
