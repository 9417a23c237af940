#include <cstring>

#include <gtest/gtest.h>

#include "support/CodePage.h"
#include "text/Str.h"

TEST(Str, DefaultAndNullConstruction) {
    Str empty;
    EXPECT_EQ(empty.CStr(), nullptr);
    EXPECT_EQ(empty.Length(), 0u);
    EXPECT_EQ(empty.Capacity(), 0u);

    Str fromNull(nullptr);
    ASSERT_NE(fromNull.CStr(), nullptr);
    EXPECT_STREQ(fromNull.CStr(), "");
    EXPECT_EQ(fromNull.Capacity(), 1u);

    Str assigned;
    assigned.Assign(nullptr);
    ASSERT_NE(assigned.CStr(), nullptr);
    EXPECT_STREQ(assigned.CStr(), "");
    EXPECT_EQ(assigned.Capacity(), 1u);
}

TEST(Str, AssignGrowsByHalfAndShrinksBelowHalf) {
    Str s;
    s.Assign("abc");  // need 4 -> 6
    EXPECT_EQ(s.Capacity(), 6u);
    s.Assign("abcdefgh");  // need 9 -> 13
    EXPECT_EQ(s.Capacity(), 13u);
    EXPECT_STREQ(s.CStr(), "abcdefgh");
    s.Assign("a");  // 13 > 2 * 2 -> 3
    EXPECT_EQ(s.Capacity(), 3u);
    const char* block = s.CStr();
    s.Assign("ab");  // 3 <= 3 <= 6: same block
    EXPECT_EQ(s.Capacity(), 3u);
    EXPECT_EQ(s.CStr(), block);
    EXPECT_STREQ(s.CStr(), "ab");
    s.Assign("abcde");  // need 6 > 3 -> 9
    EXPECT_EQ(s.Capacity(), 9u);
    EXPECT_EQ(s.Length(), 5u);
}

TEST(Str, AppendGrowsOnlyWhenNeeded) {
    Str s("ab");
    EXPECT_EQ(s.Capacity(), 3u);
    s.Append("cd");  // need 5 -> 7
    EXPECT_EQ(s.Capacity(), 7u);
    EXPECT_STREQ(s.CStr(), "abcd");
    s.Append("e");  // need 6 fits
    EXPECT_EQ(s.Capacity(), 7u);
    EXPECT_STREQ(s.CStr(), "abcde");
    s.Append(nullptr);
    EXPECT_STREQ(s.CStr(), "abcde");

    Str fresh;
    fresh.Append("");  // never shrinks, always allocates without a buffer
    ASSERT_NE(fresh.CStr(), nullptr);
    EXPECT_EQ(fresh.Capacity(), 1u);
}

TEST(Str, SelfAliasingIsSafe) {
    Str s;
    s.Assign("0123456789abcdef");
    s.Assign(s.CStr() + 10);  // shrinks: the old block is freed
    EXPECT_STREQ(s.CStr(), "abcdef");
    s.Append(s.CStr());  // grows: the old block is freed
    EXPECT_STREQ(s.CStr(), "abcdefabcdef");
    s.Assign(s.CStr());
    EXPECT_STREQ(s.CStr(), "abcdefabcdef");
}

// The conversion goes through the companion library from the active ANSI
// code page; the byte-level cases need Windows-1252.
TEST(Str, ToUtf8ThroughConverter) {
    Str ascii("plain text");
    EXPECT_EQ(ascii.ToUtf8(), 1u);
    EXPECT_STREQ(ascii.CStr(), "plain text");
    EXPECT_EQ(ascii.Capacity(), ascii.Length() + 1);

    Str empty("");
    EXPECT_EQ(empty.ToUtf8(), 1u);
    EXPECT_EQ(empty.Capacity(), 1u);
    EXPECT_EQ(empty.CStr()[0], '\0');

    if (!LocalCodePageIs1252())
        GTEST_SKIP() << "the active code page is not Windows-1252";
    Str e("\xE9");  // U+00E9
    EXPECT_EQ(e.ToUtf8(), 1u);
    EXPECT_STREQ(e.CStr(), "\xC3\xA9");
    EXPECT_EQ(e.Capacity(), 3u);

    Str euro("x\x80");  // U+20AC in 1252
    EXPECT_EQ(euro.ToUtf8(), 1u);
    EXPECT_STREQ(euro.CStr(), "x\xE2\x82\xAC");
    EXPECT_EQ(euro.Capacity(), 5u);

    // A following Assign of the same length keeps the exact-size block.
    const char* block = euro.CStr();
    euro.Assign("abcd");
    EXPECT_EQ(euro.CStr(), block);
}
