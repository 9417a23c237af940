#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include <gtest/gtest.h>

#include "support/CodePage.h"
#include "text/Str.h"

// This program's non-throwing allocations, the library's only kind: the n-th
// one after FailAllocation(n) fails (n = 0: the next one); FailAllocation(-1)
// lets all pass. Every form comes from malloc, so that all deletes match.
namespace {
int g_allocationsBeforeFailure = -1;
void FailAllocation(int n) { g_allocationsBeforeFailure = n; }
// The text with its length as the string reports it; "(none)" without a buffer.
std::string Text(const Str& s) { return s.CStr() ? std::string(s.CStr(), s.Length()) : "(none)"; }
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

// Growing, shrinking and same-size steps in turn; a null text counts as "".
TEST(Str, AssignAndAppendResults) {
    Str s;
    EXPECT_EQ(Text(s), "(none)");  // never given a value: no text at all
    struct Step {
        bool append;
        const char* arg;
        const char* after;
    };
    const Step steps[] = {{false, nullptr, ""},    {true, "", ""},          {true, "ab", "ab"},
                          {true, nullptr, "ab"},    {true, "cd", "abcd"},    {true, "e", "abcde"},
                          {false, "abcdefgh", "abcdefgh"}, {false, "a", "a"}, {false, "ab", "ab"},
                          {false, "abcde", "abcde"}, {true, "fghijklmnopqrst", "abcdefghijklmnopqrst"}};
    for (const Step& step : steps) {
        EXPECT_TRUE(step.append ? s.Append(step.arg) : s.Assign(step.arg));
        EXPECT_EQ(Text(s), step.after) << (step.append ? "Append " : "Assign ") << (step.arg ? step.arg : "null");
    }
    EXPECT_EQ(Text(Str(nullptr)), "");
    Str fresh;
    EXPECT_TRUE(fresh.Append(""));
    EXPECT_EQ(Text(fresh), "");
}

// Every allocation an operation makes fails in turn: each time the operation
// reports it and the string keeps its old block and text, and it is destroyed
// once at the end; the last, successful round takes texts from the string's
// own block (shrinking and growing). A string that cannot copy its first
// text has no buffer.
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
                EXPECT_EQ(Text(s), c.after) << c.what;
                break;
            }
            ++failures;
            EXPECT_EQ(s.CStr(), block) << c.what << ", allocation " << n;
            EXPECT_EQ(Text(s), "keep me ") << c.what << ", allocation " << n;
        }
        EXPECT_GE(failures, 1) << c.what << " allocated nothing";
    }
    FailAllocation(0);
    Str none("lost");
    FailAllocation(-1);
    EXPECT_EQ(Text(none), "(none)");
    EXPECT_TRUE(none.Append("x"));
    EXPECT_EQ(Text(none), "x");
}

// The conversion goes through the companion library from the active ANSI
// code page; the byte-level cases need Windows-1252.
TEST(Str, ToUtf8ThroughConverter) {
    const struct {
        const char* local;
        const char* utf8;
    } cases[] = {{"plain text", "plain text"}, {"", ""}, {"\xE9", "\xC3\xA9"}, {"x\x80", "x\xE2\x82\xAC"}};
    for (const auto& c : cases) {
        if (std::strcmp(c.local, c.utf8) != 0 && !LocalCodePageIs1252())
            GTEST_SKIP() << "the active code page is not Windows-1252";
        Str s(c.local);
        EXPECT_EQ(s.ToUtf8(), 1u) << c.utf8;
        EXPECT_EQ(Text(s), c.utf8);
    }
}
