#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/CodePage.h"
#include "text/Str.h"
#include "text/Utf8.h"

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

// Growing, shrinking and same-size steps in turn; a null text counts as "";
// ToUtf8 converts in place from the active ANSI code page, whose bytes the
// last rows need to be Windows-1252.
TEST(Str, AssignAppendAndConvert) {
    Str s;
    EXPECT_EQ(Text(s), "(none)");  // never given a value: no text at all
    EXPECT_EQ(Text(Str(nullptr)), "");
    Str fresh;
    EXPECT_TRUE(fresh.Append(""));
    EXPECT_EQ(Text(fresh), "");
    const struct {
        char op;  // '=' Assign, '+' Append, 'u' ToUtf8
        const char* arg;
        const char* after;
    } steps[] = {{'=', nullptr, ""},          {'u', nullptr, ""},     {'+', "", ""},          {'+', "ab", "ab"},
                 {'+', nullptr, "ab"},         {'+', "cd", "abcd"},    {'+', "e", "abcde"},     {'u', nullptr, "abcde"},
                 {'=', "abcdefgh", "abcdefgh"}, {'=', "a", "a"},       {'=', "ab", "ab"},       {'=', "abcde", "abcde"},
                 {'+', "fghijklmnopqrst", "abcdefghijklmnopqrst"},    {'=', "x\xE9\x80", "x\xE9\x80"},
                 {'u', nullptr, "x\xC3\xA9\xE2\x82\xAC"}};
    for (const auto& step : steps) {
        if (step.op == 'u' && std::string(step.after) != Text(s) && !LocalCodePageIs1252())
            GTEST_SKIP() << "the active code page is not Windows-1252";
        EXPECT_TRUE(step.op == 'u' ? s.ToUtf8() == 1 : step.op == '+' ? s.Append(step.arg) : s.Assign(step.arg));
        EXPECT_EQ(Text(s), step.after) << step.op << (step.arg ? step.arg : "null");
    }
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

// Each UTF-16 unit by its value, at the edges of the 1-, 2- and 3-byte forms;
// a surrogate pair is two 3-byte sequences, not one 4-byte sequence.
TEST(Utf8, EncodesEachUnitByItsValue) {
    const std::pair<std::vector<uint16_t>, std::string> cases[] = {
        {{0x41, 0}, std::string("A\0", 2)},  {{0x7F}, "\x7F"},          {{0x80}, "\xC2\x80"},
        {{0xE9, 0}, std::string("\xC3\xA9\0", 3)}, {{0x7FF}, "\xDF\xBF"}, {{0x800}, "\xE0\xA0\x80"},
        {{0x20AC, 0}, std::string("\xE2\x82\xAC\0", 4)}, {{0xFFFF}, "\xEF\xBF\xBF"}, {{0xD800}, "\xED\xA0\x80"},
        {{0xD83D, 0xDE00}, "\xED\xA0\xBD\xED\xB8\x80"}};
    for (const auto& [units, bytes] : cases) {
        const uint32_t n = static_cast<uint32_t>(units.size());
        std::string out(utf8::EncodedSize(units.data(), n) + 1, '\xEE');
        EXPECT_EQ(utf8::Encode(units.data(), n, out.data()), bytes.size());
        EXPECT_EQ(out, bytes + '\xEE') << "unit " << units[0];
    }
}
