// "KMZUserInfo": profile files found through the host settings key of a
// scratch hive (every key, code page and case: the "profile" scenario).
#include <windows.h>

#include <gtest/gtest.h>

#include <regex>

#include "FillChecked.h"
#include "gatherers/KmzUserGatherer.h"
#include "probes/ProfileReader.h"
#include "support/ScratchHive.h"
#include "support/TempDir.h"

namespace {
class KmzUser : public ::testing::Test {
protected:
    void SetUp() override { UseDataDir(tmp.Path() + "\\"); }
    void UseDataDir(const std::string& dir) { hive.SetString("SOFTWARE\\Oberan\\Vantreel\\CurrentVersion", "Data", dir); }
    // The values that have a text, "KEY=value " each, in buffer order.
    std::string UpdateAndFill() {
        EXPECT_EQ(g.Update(), 1u);
        EXPECT_STREQ(ProfilePath(), "");  // emptied after every update
        const std::string json = Facts(g);
        std::string facts;
        const std::regex text("\"([A-Z_0-9]+)\":\"((\\\\.|[^\"\\\\])*)\"");
        for (std::sregex_iterator m(json.begin(), json.end(), text), end; m != end; ++m)
            facts += (*m)[1].str() + "=" + (*m)[2].str() + " ";
        return facts;
    }
    ScratchHive hive;
    TempDir tmp;
    KmzUserGatherer g;
};

}  // namespace

// Keys that disappear or are empty keep their last value; the Data folder is read afresh.
TEST_F(KmzUser, ValuesSurviveKeysThatDisappearAndDataChanges) {
    tmp.Write("kmzuser.ini", "[USER]\nTITLE=Chief\nFIRST_NAME=Ann\n");
    EXPECT_EQ(UpdateAndFill(), "FIRST_NAME=Ann TITLE=Chief ");
    tmp.Write("kmzuser.ini", "[USER]\nFIRST_NAME=Bea\nLAST_NAME=Doe\nTITLE=\n");  // empty: not read
    EXPECT_EQ(UpdateAndFill(), "FIRST_NAME=Bea LAST_NAME=Doe TITLE=Chief ");
    DeleteFileA((tmp.Path() + "\\kmzuser.ini").c_str());
    EXPECT_EQ(UpdateAndFill(), "FIRST_NAME=Bea LAST_NAME=Doe TITLE=Chief ");
    std::string a = tmp.MakeDir("a"), b = tmp.MakeDir("b");
    tmp.Write("a\\kmzuser.ini", "[LOCATION]\nCITY=Alpha\n");
    tmp.Write("b\\kmzuser.ini", "[USER]\nTITLE=Boss\n");
    UseDataDir(a);  // no separator: the registry value gets one
    EXPECT_EQ(UpdateAndFill(), "CITY=Alpha FIRST_NAME=Bea LAST_NAME=Doe TITLE=Chief ");
    UseDataDir(b + "\\");  // doubled separator before the file name
    EXPECT_EQ(UpdateAndFill(), "CITY=Alpha FIRST_NAME=Bea LAST_NAME=Doe TITLE=Boss ");
}

TEST_F(KmzUser, ProfilePathOfAtMost252CharactersIsRead) {
    // Folders whose profile path (with \kmzuser.ini) is 252 characters,
    // which fit the 253-byte room with the NUL, and 253, which do not.
    for (size_t size : {240u, 241u}) {
        std::string dir = tmp.MakeDir(std::string(size - tmp.Path().size() - 1, 'd'));
        ASSERT_EQ(dir.size(), size);
        tmp.Write(dir.substr(tmp.Path().size() + 1) + "\\kmzuser.ini", "[LOCATION]\nCITY=" + std::to_string(size));
        UseDataDir(dir);
        EXPECT_EQ(UpdateAndFill(), "CITY=240 ");
        EXPECT_EQ(SetProfilePath((dir + "\\kmzuser.ini").c_str()) == nullptr, size == 241) << size;
    }
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

// Profile files written by anyone: keys before any section, 100 KB lines, binary bytes.
TEST_F(KmzUser, HostileProfileFiles) {
    tmp.Write("kmzuser.ini", "CITY=Paris\nTITLE=x\n");
    EXPECT_EQ(UpdateAndFill(), "");
    std::string longLine(100 * 1024, 'a');
    tmp.Write("kmzuser.ini", "[LOCATION]\nCITY=" + longLine + "\n" + longLine + "\n[USER]\nTITLE=x\n");
    EXPECT_EQ(UpdateAndFill(), "CITY=" + std::string(254, 'a') + " TITLE=x ");
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
