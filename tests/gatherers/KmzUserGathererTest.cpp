// "KMZUserInfo": profile files in temporary folders found through the host
// settings key of a scratch hive; buffers compared byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "decode/Decoders.h"
#include "gatherers/KmzUserGatherer.h"
#include "support/ScratchHive.h"
#include "support/TempDir.h"

namespace {

const char kSettingsKey[] = "SOFTWARE\\Oberan\\Vantreel\\CurrentVersion";

// The profile keys in buffer order, as the format defines them.
const char* const kKeyNames[26] = {
    "CITY",        "STATE",       "ZIPCODE",   "COUNTRY",     "ROOM_NUMBER", "BUILDING",       "FLOOR",
    "LATITUDE",    "LONGITUDE",   "USER_DATA1", "USER_DATA2", "FIRST_NAME",  "MIDDLE_NAME",    "LAST_NAME",
    "EMPLOYEE_ID", "TITLE",       "DEPT_NAME", "DEPT_NUMBER", "DIVISION",    "WORK_PHONE",     "CELLULAR_PHONE",
    "FAX_NUMBER",  "PAGER_NUMBER", "PAGER_TYPE", "EMAIL_ADDRESS", "HOME_PHONE",
};
int KeyIndex(const std::string& name) {
    for (int i = 0; i < 26; ++i)
        if (name == kKeyNames[i])
            return i;
    return -1;
}

using Bytes = std::vector<uint8_t>;

// The buffer for these texts (key index -> UTF-8 text), built independently
// of the gatherer.
Bytes Expected(const std::map<int, std::string>& texts) {
    size_t length = 64 + 26;
    for (const auto& t : texts)
        length += t.second.size();
    Bytes b(length, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put32(0, static_cast<uint32_t>(length));
    put32(4, 0xABACAB05);
    put32(8, 1);
    size_t at = 64;
    for (const auto& t : texts) {
        b[12 + 2 * t.first] = static_cast<uint8_t>(at);
        b[13 + 2 * t.first] = static_cast<uint8_t>(at >> 8);
        std::copy(t.second.begin(), t.second.end(), b.begin() + at);
        at += t.second.size() + 1;
    }
    return b;
}

Bytes Fill(KmzUserGatherer& g) {
    Bytes b(g.GetDataBufLen(), 0xCC);
    EXPECT_EQ(g.FillDataBuf(b.data()), 1u);
    return b;
}

class KmzUser : public ::testing::Test {
protected:
    void SetUp() override { UseDataDir(tmp.Path() + "\\"); }
    void UseDataDir(const std::string& dir) { hive.SetString(kSettingsKey, "Data", dir); }
    Bytes UpdateAndFill() {
        EXPECT_EQ(g.Update(), 1u);
        EXPECT_STREQ(ProfilePath(), "");  // emptied after every update
        return Fill(g);
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

TEST_F(KmzUser, AllKeysInTableOrderWhateverTheFileOrderAndCase) {
    std::string location = "[location]\n", user = "[User]\n";
    std::map<int, std::string> want;
    for (int i = 25; i >= 0; --i) {
        std::string value = "v" + std::to_string(i) + std::string(i, 'x');
        std::string name = kKeyNames[i];
        if (i % 2)
            for (char& c : name)
                c = static_cast<char>(tolower(c));
        (i < 11 ? location : user) += name + "=" + value + "\n";
        want[i] = value;
    }
    tmp.Write("kmzuser.ini", user + "[OTHER]\nCITY=other\n" + location);
    EXPECT_EQ(UpdateAndFill(), Expected(want));
}

TEST_F(KmzUser, LongValuesAreCutAt254Characters) {
    std::string v254(254, 'a'), v255(255, 'b'), v400(400, 'c');
    tmp.Write("kmzuser.ini", "[USER]\nFIRST_NAME=" + v254 + "\nLAST_NAME=" + v255 + "\nTITLE=" + v400 + "\n");
    EXPECT_EQ(UpdateAndFill(), Expected({{11, v254}, {13, v255.substr(0, 254)}, {15, v400.substr(0, 254)}}));
}

TEST_F(KmzUser, NonAsciiValuesAreSentAsUtf8) {
    ASSERT_EQ(GetACP(), 1252u) << "the values below are written in code page 1252";
    // u-umlaut (U+00FC), the euro sign (0x80 -> U+20AC).
    tmp.Write("kmzuser.ini", "[LOCATION]\nCITY=Z\xFCrich\n[USER]\nTITLE=\x80 5\nLAST_NAME=M\xFCller\n");
    Bytes b = UpdateAndFill();
    EXPECT_EQ(b, Expected({{0, "Z\xC3\xBCrich"}, {13, "M\xC3\xBCller"}, {15, "\xE2\x82\xAC 5"}}));
    EXPECT_EQ(b.size(), 64u + 26 + 7 + 7 + 5);
}

TEST_F(KmzUser, ValuesSurviveKeysThatDisappear) {
    tmp.Write("kmzuser.ini", "[USER]\nTITLE=Chief\nFIRST_NAME=Ann\n");
    EXPECT_EQ(UpdateAndFill(), Expected({{11, "Ann"}, {15, "Chief"}}));
    tmp.Write("kmzuser.ini", "[USER]\nFIRST_NAME=Bea\nLAST_NAME=Doe\n");
    EXPECT_EQ(UpdateAndFill(), Expected({{11, "Bea"}, {13, "Doe"}, {15, "Chief"}}));
    DeleteFileA((tmp.Path() + "\\kmzuser.ini").c_str());
    EXPECT_EQ(UpdateAndFill(), Expected({{11, "Bea"}, {13, "Doe"}, {15, "Chief"}}));
}

TEST_F(KmzUser, EveryUpdateFollowsTheRegistryAfresh) {
    std::string a = tmp.MakeDir("a"), b = tmp.MakeDir("b");
    tmp.Write("a\\kmzuser.ini", "[LOCATION]\nCITY=Alpha\nSTATE=A\n");
    tmp.Write("b\\kmzuser.ini", "[LOCATION]\nCITY=Beta\n");
    UseDataDir(a);  // no separator: the registry value gets one
    EXPECT_EQ(UpdateAndFill(), Expected({{0, "Alpha"}, {1, "A"}}));
    UseDataDir(b + "\\");  // doubled separator before the file name
    EXPECT_EQ(UpdateAndFill(), Expected({{0, "Beta"}, {1, "A"}}));
}

TEST_F(KmzUser, ProfilePathThatDoesNotFitReadsNothing) {
    // A folder of 245 characters: short enough for the registry value, too
    // long for the 253-byte profile path once "\\kmzuser.ini" is added.
    const size_t want = 245;
    std::string relative;
    for (char c = 'a'; tmp.Path().size() + 1 + relative.size() < want; ++c) {
        if (!relative.empty())
            relative += "\\";
        size_t room = want - (tmp.Path().size() + 1 + relative.size());
        relative += std::string(std::clamp<size_t>(room, 1, 30), c);
        tmp.MakeDir(relative);
    }
    std::string dir = tmp.Path() + "\\" + relative;
    ASSERT_EQ(dir.size(), want);
    tmp.Write(relative + "\\kmzuser.ini", "[LOCATION]\nCITY=Far\n");
    UseDataDir(dir);
    EXPECT_EQ(UpdateAndFill(), Expected({}));

    EXPECT_EQ(SetProfilePath((dir + "\\kmzuser.ini").c_str()), nullptr);
    EXPECT_STREQ(ProfilePath(), "");
    // Relative paths are resolved against the working directory.
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    ASSERT_TRUE(SetCurrentDirectoryA(tmp.Path().c_str()));
    const char* full = SetProfilePath("sub\\..\\kmzuser.ini");
    SetCurrentDirectoryA(cwd);
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(std::string(full), tmp.Path() + "\\kmzuser.ini");
    ClearProfilePath();
    EXPECT_STREQ(ProfilePath(), "");
}

// The library as the agent loads it: the gatherer found by name.
TEST_F(KmzUser, ThroughTheExports) {
    tmp.Write("kmzuser.ini", "[LOCATION]\nCITY=Lyon\n[USER]\nEMAIL_ADDRESS=a@b.example\n");
    HMODULE m = LoadLibraryA("SING32.DLL");
    ASSERT_NE(m, nullptr);
    auto proc = [m](const char* n) { return reinterpret_cast<void*>(GetProcAddress(m, n)); };
    auto name = reinterpret_cast<const char*(__stdcall*)(uint32_t)>(proc("SING_Name"));
    auto init = reinterpret_cast<uint32_t(__stdcall*)(uint32_t)>(proc("SING_Init"));
    auto packet = reinterpret_cast<uint32_t(__stdcall*)(uint32_t)>(proc("SING_GetUniquePacketID"));
    using Sized = uint32_t(__stdcall*)(uint32_t, void*, uint32_t);
    auto update = reinterpret_cast<Sized>(proc("SING_Update"));
    auto len = reinterpret_cast<Sized>(proc("SING_GetDataBufLen"));
    auto fill = reinterpret_cast<uint32_t(__stdcall*)(uint32_t, uint8_t*, void*, uint32_t)>(proc("SING_FillDataBuf"));
    ASSERT_TRUE(name && init && packet && update && len && fill);
    uint32_t index = 0;
    while (index < 20 && !(name(index) && std::string(name(index)) == "KMZUserInfo"))
        ++index;
    ASSERT_LT(index, 20u);
    EXPECT_EQ(packet(index), 0xABACAB05u);
    EXPECT_EQ(init(index), 1u);
    EXPECT_EQ(len(index, nullptr, 0), 90u);
    EXPECT_EQ(update(index, nullptr, 0), 1u);
    Bytes b(len(index, nullptr, 0));
    EXPECT_EQ(fill(index, b.data(), nullptr, 0), 1u);
    EXPECT_EQ(b, Expected({{0, "Lyon"}, {KeyIndex("EMAIL_ADDRESS"), "a@b.example"}}));
    FreeLibrary(m);
}

// Profile files written by anyone: 100 KB lines, binary bytes, no sections.
// The buffer must stay within its length and decode cleanly.
TEST_F(KmzUser, HostileProfileFiles) {
    auto checkedFill = [&]() {
        EXPECT_EQ(g.Update(), 1u);
        uint32_t length = g.GetDataBufLen();
        Bytes b(length + 32, 0xCC);
        EXPECT_EQ(g.FillDataBuf(b.data()), 1u);
        for (size_t i = length; i < b.size(); ++i)
            EXPECT_EQ(b[i], 0xCC) << "written past the length at " << i;
        b.resize(length);
        DecodeResult r = DecodeBuffer(b.data(), b.size(), 0xABACAB05);
        EXPECT_TRUE(r.ok) << r.error;
        return b;
    };

    std::string longLine(100 * 1024, 'a');
    tmp.Write("kmzuser.ini", "[LOCATION]\nCITY=" + longLine + "\n" + longLine + "\n[USER]\nTITLE=x\n");
    EXPECT_EQ(checkedFill(), Expected({{0, std::string(254, 'a')}, {15, "x"}}));

    // Keys before any section belong to none.
    KmzUserGatherer fresh;
    tmp.Write("kmzuser.ini", "CITY=Paris\nTITLE=x\n");
    EXPECT_EQ(fresh.Update(), 1u);
    EXPECT_EQ(fresh.GetDataBufLen(), 90u);

    // Pseudo-random binary content with sections and keys sprinkled in.
    uint32_t seed = 12345;
    std::string binary;
    for (int i = 0; i < 64 * 1024; ++i) {
        seed = seed * 1103515245 + 12345;
        binary += static_cast<char>(seed >> 16);
        if (i % 4096 == 0)
            binary += "\n[LOCATION]\nCITY=\x01\xFF\x80\x7F\n[USER]\nTITLE=";
    }
    tmp.Write("kmzuser.ini", binary);
    checkedFill();
}
