// "KMZUserInfo": profile files found through the host settings key of a
// scratch hive (every key, code page and case: the "profile" scenario).
#include <windows.h>

#include <gtest/gtest.h>

#include <regex>

#include "FillChecked.h"
#include "gatherers/KmzUserGatherer.h"
#include "probes/ProfileReader.h"
#include "support/CaseFile.h"
#include "support/ScratchHive.h"
#include "support/TempDir.h"

// The steps of gatherers/kmzuser-steps.txt (its header says what each key does).
TEST(KmzUser, ProfileSteps) {
    ScratchHive hive;
    TempDir tmp;
    KmzUserGatherer g;
    const std::vector<TestCase> steps = ReadCases(SING_CASES_DIR "/gatherers/kmzuser-steps.txt");
    ASSERT_GT(steps.size(), 5u);
    for (const TestCase& s : steps) {
        SCOPED_TRACE(s.name);
        if (s.Has("mkdir"))
            tmp.MakeDir(s.Get("mkdir"));
        for (const auto& [key, value] : s.values)
            if (key.rfind("file ", 0) == 0 && value == "-")
                EXPECT_TRUE(DeleteFileA((tmp.Path() + "\\" + key.substr(5)).c_str()));
            else if (key.rfind("file ", 0) == 0)
                tmp.Write(key.substr(5), value);
        if (s.Has("data"))
            hive.SetString("SOFTWARE\\Oberan\\Vantreel\\CurrentVersion", "Data", tmp.Path() + "\\" + s.Get("data"));
        EXPECT_EQ(g.Update(), 1u);
        EXPECT_STREQ(ProfilePath(), "");  // emptied after every update
        const std::string json = Facts(g);
        std::string facts;
        const std::regex text("\"([A-Z_0-9]+)\":\"((\\\\.|[^\"\\\\])*)\"");
        for (std::sregex_iterator m(json.begin(), json.end(), text), end; m != end; ++m)
            facts += (facts.empty() ? "" : " ") + (*m)[1].str() + "=" + (*m)[2].str();
        EXPECT_EQ(facts, s.Get("want"));
    }
}

// The profile path's room holds 252 characters and the NUL (once a doubled
// separator is made one), not 253; a relative path is resolved against the
// working folder.
TEST(KmzUser, ProfilePathRoom) {
    const std::string dir = "C:\\" + std::string(237, 'd');  // 240 characters
    const char* full = SetProfilePath((dir + "\\\\kmzuser.ini").c_str());
    EXPECT_EQ(std::string(full ? full : "(null)"), dir + "\\kmzuser.ini");
    EXPECT_EQ(SetProfilePath((dir + "d\\kmzuser.ini").c_str()), nullptr);
    EXPECT_STREQ(ProfilePath(), "");
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    full = SetProfilePath("sub\\..\\kmzuser.ini");
    EXPECT_EQ(std::string(full ? full : "(null)"), std::string(cwd) + "\\kmzuser.ini");
    ClearProfilePath();
    EXPECT_STREQ(ProfilePath(), "");
}
