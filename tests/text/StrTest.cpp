#include <cstdlib>
#include <cstring>
#include <new>

#include <gtest/gtest.h>

#include "support/CodePage.h"
#include "text/Str.h"

// This program's non-throwing allocations, the library's only kind: the n-th
// one after FailAllocation(n) fails (n = 0: the next one); FailAllocation(-1)
// lets all pass. Every form comes from malloc, so that all deletes match.
namespace {
int g_allocationsBeforeFailure = -1;
void FailAllocation(int n) { g_allocationsBeforeFailure = n; }
}  // namespace

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (g_allocationsBeforeFailure >= 0 && g_allocationsBeforeFailure-- == 0)
        return nullptr;
    return std::malloc(size != 0 ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& t) noexcept { return operator new(size, t); }
void* operator new(std::size_t size) {
    if (void* p = std::malloc(size != 0 ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

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

// Every allocation an operation makes fails in turn: each time the operation
// reports it and the string keeps its old block and text, and it is destroyed
// once at the end. A string that cannot copy its first text has no buffer.
TEST(Str, FailedAllocationKeepsTheOldText) {
    struct Case {
        const char* what;
        bool (*op)(Str&);
        const char* after;
    };
    const Case cases[] = {
        {"Assign, growing", [](Str& s) { return s.Assign("a text longer than the block"); },
         "a text longer than the block"},
        {"Assign, shrinking", [](Str& s) { return s.Assign("k"); }, "k"},
        {"Assign from its own block", [](Str& s) { return s.Assign(s.CStr() + 5); }, "me "},
        {"Append, growing", [](Str& s) { return s.Append("and more"); }, "keep me and more"},
        {"Append of itself", [](Str& s) { return s.Append(s.CStr()); }, "keep me keep me "},
        {"ToUtf8", [](Str& s) { return s.ToUtf8() == 1; }, "keep me "},
    };
    for (const Case& c : cases) {
        int failures = 0;
        for (int n = 0; n < 8; ++n) {
            Str s("keep me ");
            const char* block = s.CStr();
            FailAllocation(n);
            bool done = c.op(s);
            FailAllocation(-1);
            if (done) {
                EXPECT_STREQ(s.CStr(), c.after) << c.what;
                break;
            }
            ++failures;
            EXPECT_EQ(s.CStr(), block) << c.what << ", allocation " << n;
            EXPECT_EQ(s.Capacity(), 9u) << c.what << ", allocation " << n;
            EXPECT_STREQ(s.CStr(), "keep me ") << c.what << ", allocation " << n;
        }
        EXPECT_GE(failures, 1) << c.what << " allocated nothing";
    }
    FailAllocation(0);
    Str none("lost");
    FailAllocation(-1);
    EXPECT_EQ(none.CStr(), nullptr);
    EXPECT_EQ(none.Capacity(), 0u);
    EXPECT_TRUE(none.Append("x"));
    EXPECT_STREQ(none.CStr(), "x");
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
