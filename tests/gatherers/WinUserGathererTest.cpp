#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/DataBuf.h"
#include "gatherers/WinUserGatherer.h"
#include "support/ScratchHive.h"

namespace {

std::vector<uint8_t> Fill(WinUserGatherer& g) {
    std::vector<uint8_t> buf(g.GetDataBufLen() + 8, 0xEE);  // guard bytes behind
    EXPECT_EQ(g.FillDataBuf(buf.data()), 1u);
    for (size_t i = buf.size() - 8; i < buf.size(); ++i)
        EXPECT_EQ(buf[i], 0xEE) << "written past the length at " << i;
    buf.resize(buf.size() - 8);
    return buf;
}

std::string TextAt(const std::vector<uint8_t>& buf, uint32_t slot) {
    return reinterpret_cast<const char*>(buf.data() + databuf::GetU16(buf.data(), slot));
}

}  // namespace

TEST(WinUserGatherer, BeforeTheFirstUpdate) {
    WinUserGatherer g;
    EXPECT_STREQ(g.GetName(), "WindowsUserInfo");
    EXPECT_EQ(g.GetUniquePacketID(), 0xABACAB01u);
    ASSERT_EQ(g.GetDataBufLen(), 35u);
    std::vector<uint8_t> buf = Fill(g);
    EXPECT_EQ(databuf::GetU32(buf.data(), 0), 35u);
    EXPECT_EQ(databuf::GetU32(buf.data(), 4), 0xABACAB01u);
    EXPECT_EQ(databuf::GetU32(buf.data(), 8), 1u);
    for (size_t i = 12; i < buf.size(); ++i)
        EXPECT_EQ(buf[i], 0) << i;

    // The two-argument forms keep the base behaviour.
    uint8_t untouched[64] = {};
    EXPECT_EQ(g.FillDataBuf(untouched, untouched, 1), 0u);
    EXPECT_EQ(g.GetDataBufLen(untouched, 1), 0u);
    EXPECT_EQ(untouched[0], 0);
}

TEST(WinUserGatherer, WorkedExampleBuffer) {
    WinUserGatherer g;
    g.StoreFacts("JDOE", "PC01", "", "OFFICE", "", "J Doe", "12345");
    ASSERT_EQ(g.GetDataBufLen(), 59u);
    std::vector<uint8_t> buf = Fill(g);

    std::vector<uint8_t> expected(59, 0);
    databuf::WriteHeader(expected.data(), 59, 0xABACAB01, 1);
    const uint16_t slots[] = {28, 33, 38, 39, 45, 46, 52};  // offsets 14..26
    for (int i = 0; i < 7; ++i)
        databuf::PutU16(expected.data(), 14 + 2 * i, slots[i]);
    const std::string texts("JDOE\0PC01\0\0J Doe\0\0" "12345\0OFFICE\0", 31);
    std::copy(texts.begin(), texts.end(), expected.begin() + 28);
    EXPECT_EQ(buf, expected);
}

TEST(WinUserGatherer, UpdateStoresUtf8Facts) {
    ScratchHive hive;
    hive.SetComputerName("PC01");
    hive.SetString("System\\CurrentControlSet\\Control", "CurrentUser", "jdoe");
    const std::string cv = "Software\\Microsoft\\Windows NT\\CurrentVersion";
    // "José" and "Zoë AG" in the local code page (1252 in the test prefix).
    ASSERT_EQ(GetACP(), 1252u);
    hive.SetString(cv, "RegisteredOwner", "Jos\xE9");
    hive.SetString(cv, "RegisteredOrganization", "Zo\xEB AG");

    WinUserGatherer g;
    EXPECT_EQ(g.Update(nullptr, 0), 1u);  // the two-argument form runs Update()
    std::vector<uint8_t> buf = Fill(g);
    // 28 + jdoe + PC01 + domain + owner (5 bytes in UTF-8) + organization
    // (7) + productId + workgroup PC01, each with its terminator.
    EXPECT_EQ(buf.size(), 28u + 5 + 5 + 1 + 6 + 8 + 1 + 5);
    EXPECT_EQ(TextAt(buf, 14), "jdoe");
    EXPECT_STRCASEEQ(TextAt(buf, 16).c_str(), "PC01");
    EXPECT_EQ(TextAt(buf, 18), "");
    EXPECT_EQ(TextAt(buf, 20), "Jos\xC3\xA9");
    EXPECT_EQ(TextAt(buf, 22), "Zo\xC3\xAB AG");
    EXPECT_EQ(TextAt(buf, 24), "");
    EXPECT_EQ(TextAt(buf, 26), "PC01");
    // Every fact now has text, so no slot is 0; texts follow one another.
    uint16_t previous = 0;
    for (uint32_t slot : {14, 16, 18, 20, 22, 24, 26}) {
        uint16_t off = databuf::GetU16(buf.data(), slot);
        EXPECT_GT(off, previous);
        previous = off;
    }
    EXPECT_EQ(buf.back(), 0);
}
