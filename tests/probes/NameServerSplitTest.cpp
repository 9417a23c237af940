#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "probes/TextCopy.h"

namespace {
struct Servers {
    char primary[256] = "old1";
    char secondary[256] = "old2";
};
Servers Split(const char* list, const char* separators, uint32_t maxChars = 255) {
    Servers s;
    SplitNameServers(list, separators, s.primary, s.secondary, maxChars);
    return s;
}
}  // namespace

TEST(NameServerSplit, SeparatorSetsDecideTheTokens) {
    Servers s = Split("10.0.0.1,10.0.0.2", kInterfaceNameServerSeparators);
    EXPECT_STREQ(s.primary, "10.0.0.1");
    EXPECT_STREQ(s.secondary, "10.0.0.2");
    s = Split("10.0.0.1,10.0.0.2", kNameServerSeparators);
    EXPECT_STREQ(s.primary, "10.0.0.1,10.0.0.2");
    EXPECT_STREQ(s.secondary, "old2");

    // Runs of separators make no empty tokens; a third server is dropped.
    s = Split(" ,, 1.1.1.1 , ,2.2.2.2,3.3.3.3 ", kInterfaceNameServerSeparators);
    EXPECT_STREQ(s.primary, "1.1.1.1");
    EXPECT_STREQ(s.secondary, "2.2.2.2");
    s = Split("  1.1.1.1   2.2.2.2  3.3.3.3", kNameServerSeparators);
    EXPECT_STREQ(s.primary, "1.1.1.1");
    EXPECT_STREQ(s.secondary, "2.2.2.2");
}

TEST(NameServerSplit, NoTokenChangesNothingAndTokensAreCut) {
    Servers s = Split("", kNameServerSeparators);
    EXPECT_STREQ(s.primary, "old1");
    EXPECT_STREQ(s.secondary, "old2");
    s = Split(" , ", kInterfaceNameServerSeparators);
    EXPECT_STREQ(s.primary, "old1");

    std::string longToken(300, 'a');
    std::string list = longToken + " " + std::string(300, 'b');
    s = Split(list.c_str(), kNameServerSeparators);
    EXPECT_EQ(std::string(s.primary), std::string(255, 'a'));
    EXPECT_EQ(std::string(s.secondary), std::string(255, 'b'));
}
