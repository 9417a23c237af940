// "KMZUserInfo": profile files in temporary folders found through the host
// settings key of a scratch hive; buffers compared byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "FillChecked.h"
#include "decode/Decoders.h"
#include "gatherers/KmzUserGatherer.h"
#include "probes/ProfileReader.h"
#include "support/ScratchHive.h"
#include "support/TempDir.h"

namespace {

const char kSettingsKey[] = "SOFTWARE\\Oberan\\Vantreel\\CurrentVersion";

// The profile keys in buffer order.
const char* const kKeyNames[26] = {
    "CITY",        "STATE",       "ZIPCODE",   "COUNTRY",     "ROOM_NUMBER", "BUILDING",       "FLOOR",
    "LATITUDE",    "LONGITUDE",   "USER_DATA1", "USER_DATA2", "FIRST_NAME",  "MIDDLE_NAME",    "LAST_NAME",
    "EMPLOYEE_ID", "TITLE",       "DEPT_NAME", "DEPT_NUMBER", "DIVISION",    "WORK_PHONE",     "CELLULAR_PHONE",
    "FAX_NUMBER",  "PAGER_NUMBER", "PAGER_TYPE", "EMAIL_ADDRESS", "HOME_PHONE",
};

using Bytes = std::vector<uint8_t>;

// The buffer for these texts (key index -> UTF-8 text), built independently
// of the gatherer.
Bytes Expected(const std::map<int, std::string>& texts) {
    Bytes b(64, 0);
    auto put = [&](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    for (const auto& [key, text] : texts) {
        put(12 + 2 * key, static_cast<uint32_t>(b.size()), 2);
        b.insert(b.end(), text.begin(), text.end());
        b.push_back(0);
    }
    b.resize(b.size() + 26 - texts.size(), 0);  // a terminator for each slot
    put(0, static_cast<uint32_t>(b.size()), 4);
    put(4, 0xABACAB05, 4);
    put(8, 1, 4);
    return b;
}

class KmzUser : public ::testing::Test {
protected:
    void SetUp() override { UseDataDir(tmp.Path() + "\\"); }
    void UseDataDir(const std::string& dir) { hive.SetString(kSettingsKey, "Data", dir); }
    // Also checks that the buffer decodes cleanly.
    Bytes UpdateAndFill() {
        EXPECT_EQ(g.Update(), 1u);
        EXPECT_STREQ(ProfilePath(), "");  // emptied after every update
        Bytes b = FillChecked(g);
        DecodeResult r = DecodeBuffer(b.data(), b.size(), 0xABACAB05);
        EXPECT_TRUE(r.ok) << r.error;
        return b;
    }
    ScratchHive hive;
    TempDir tmp;
    KmzUserGatherer g;
};

}  // namespace

TEST_F(KmzUser, EmptyBufferAndTheWorkedExample) {
    EXPECT_EQ(g.GetUniquePacketID(), 0xABACAB05u);
    Bytes b = UpdateAndFill();  // no profile file
    ASSERT_EQ(b.size(), 90u);
    EXPECT_EQ(b, Expected({}));
    // Only CITY, in the right section: USER's CITY and an empty value are not read.
    tmp.Write("kmzuser.ini", "[USER]\r\nCITY=Rome\r\nTITLE=\r\n[LOCATION]\r\nCITY=Paris\r\nSTATE=  \r\n");
    b = UpdateAndFill();
    ASSERT_EQ(b.size(), 95u);
    EXPECT_EQ(b, Expected({{0, "Paris"}}));
}

// Also: values cut at 254 characters.
TEST_F(KmzUser, AllKeysInTableOrderWhateverTheFileOrderAndCase) {
    std::string location = "[location]\n", user = "[User]\n";
    std::map<int, std::string> want;
    for (int i = 25; i >= 0; --i) {
        // FIRST_NAME, LAST_NAME, TITLE: 254, 255 and 400 characters.
        std::string value = "v" + std::to_string(i) + std::string(i == 11 ? 251 : i == 13 ? 252 : i == 15 ? 397 : i, 'x');
        std::string name = kKeyNames[i];
        if (i % 2)
            for (char& c : name)
                c = static_cast<char>(tolower(c));
        (i < 11 ? location : user) += name + "=" + value + "\n";
        want[i] = value.substr(0, 254);
    }
    tmp.Write("kmzuser.ini", user + "[OTHER]\nCITY=other\n" + location);
    EXPECT_EQ(UpdateAndFill(), Expected(want));
}

TEST_F(KmzUser, NonAsciiValuesAreSentAsUtf8) {
    ASSERT_EQ(GetACP(), 1252u) << "the values below are written in code page 1252";
    // u-umlaut (U+00FC), the euro sign (0x80 -> U+20AC).
    tmp.Write("kmzuser.ini", "[LOCATION]\nCITY=Z\xFCrich\n[USER]\nTITLE=\x80 5\nLAST_NAME=M\xFCller\n");
    EXPECT_EQ(UpdateAndFill(), Expected({{0, "Z\xC3\xBCrich"}, {13, "M\xC3\xBCller"}, {15, "\xE2\x82\xAC 5"}}));
}

// Keys that disappear keep their last value; the Data folder is read afresh.
TEST_F(KmzUser, ValuesSurviveKeysThatDisappearAndDataChanges) {
    tmp.Write("kmzuser.ini", "[USER]\nTITLE=Chief\nFIRST_NAME=Ann\n");
    EXPECT_EQ(UpdateAndFill(), Expected({{11, "Ann"}, {15, "Chief"}}));
    tmp.Write("kmzuser.ini", "[USER]\nFIRST_NAME=Bea\nLAST_NAME=Doe\n");
    EXPECT_EQ(UpdateAndFill(), Expected({{11, "Bea"}, {13, "Doe"}, {15, "Chief"}}));
    DeleteFileA((tmp.Path() + "\\kmzuser.ini").c_str());
    EXPECT_EQ(UpdateAndFill(), Expected({{11, "Bea"}, {13, "Doe"}, {15, "Chief"}}));
    std::string a = tmp.MakeDir("a"), b = tmp.MakeDir("b");
    tmp.Write("a\\kmzuser.ini", "[LOCATION]\nCITY=Alpha\n");
    tmp.Write("b\\kmzuser.ini", "[USER]\nTITLE=Boss\n");
    UseDataDir(a);  // no separator: the registry value gets one
    EXPECT_EQ(UpdateAndFill(), Expected({{0, "Alpha"}, {11, "Bea"}, {13, "Doe"}, {15, "Chief"}}));
    UseDataDir(b + "\\");  // doubled separator before the file name
    EXPECT_EQ(UpdateAndFill(), Expected({{0, "Alpha"}, {11, "Bea"}, {13, "Doe"}, {15, "Boss"}}));
}

TEST_F(KmzUser, ProfilePathThatDoesNotFitReadsNothing) {
    // A folder of 245 characters: short enough for the registry value, too
    // long for the 253-byte profile path once "\\kmzuser.ini" is added.
    std::string dir = tmp.MakeDir(std::string(245 - tmp.Path().size() - 1, 'd'));
    ASSERT_EQ(dir.size(), 245u);
    tmp.Write(dir.substr(tmp.Path().size() + 1) + "\\kmzuser.ini", "[LOCATION]\nCITY=Far\n");
    UseDataDir(dir);
    EXPECT_EQ(UpdateAndFill(), Expected({}));
    EXPECT_EQ(SetProfilePath((dir + "\\kmzuser.ini").c_str()), nullptr);
    // Relative paths are resolved against the working directory.
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    ASSERT_TRUE(SetCurrentDirectoryA(tmp.Path().c_str()));
    const char* full = SetProfilePath("sub\\..\\kmzuser.ini");
    SetCurrentDirectoryA(cwd);
    EXPECT_EQ(std::string(full ? full : "(null)"), tmp.Path() + "\\kmzuser.ini");
    ClearProfilePath();
    EXPECT_STREQ(ProfilePath(), "");
}

// Profile files written by anyone: 100 KB lines, no sections, binary bytes.
TEST_F(KmzUser, HostileProfileFiles) {
    std::string longLine(100 * 1024, 'a');
    tmp.Write("kmzuser.ini", "[LOCATION]\nCITY=" + longLine + "\n" + longLine + "\n[USER]\nTITLE=x\n");
    EXPECT_EQ(UpdateAndFill(), Expected({{0, std::string(254, 'a')}, {15, "x"}}));
    KmzUserGatherer fresh;  // keys before any section belong to none
    tmp.Write("kmzuser.ini", "CITY=Paris\nTITLE=x\n");
    EXPECT_EQ(fresh.Update(), 1u);
    EXPECT_EQ(fresh.GetDataBufLen(), 90u);
    uint32_t seed = 12345;  // pseudo-random bytes with sections and keys sprinkled in
    std::string binary;
    for (int i = 0; i < 64 * 1024; ++i) {
        seed = seed * 1103515245 + 12345;
        binary += static_cast<char>(seed >> 16);
        if (i % 4096 == 0)
            binary += "\n[LOCATION]\nCITY=\x01\xFF\x80\x7F\n[USER]\nTITLE=";
    }
    tmp.Write("kmzuser.ini", binary);
    UpdateAndFill();
}
