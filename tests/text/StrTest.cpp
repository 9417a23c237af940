#include <cstdlib>
#include <cstring>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/CaseFile.h"
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

// A null text counts as ""; a string that cannot copy its first text has no
// buffer, and takes one on the next change, even appending "".
TEST(Str, NullTextsAndAFailedFirstCopy) {
    EXPECT_EQ(Text(Str(nullptr)), "");
    FailAllocation(0);
    Str none("lost");
    FailAllocation(-1);
    EXPECT_EQ(Text(none), "(none)");
    EXPECT_TRUE(none.Append(""));
    EXPECT_EQ(Text(none), "");
}

// The steps of str-steps.txt on one string. Before a step succeeds, every
// allocation it makes fails in turn: each time it reports the failure and the
// string keeps its block and text (the steps that take their text from the
// string's own block show that the old block outlives the copy). Under the
// sanitizers, the string is freed exactly once at the end.
TEST(Str, StepsKeepTheOldTextWhenAnAllocationFails) {
    Str s;
    EXPECT_EQ(Text(s), "(none)");  // never given a value: no text at all
    const std::vector<TestCase> steps = ReadCases(SING_CASES_DIR "/text/str-steps.txt");
    ASSERT_GE(steps.size(), 15u);
    for (const TestCase& step : steps) {
        SCOPED_TRACE(step.name);
        const std::string op = step.Get("op"), arg = step.Get("arg"), after = step.Get("after");
        if (op == "u" && after != Text(s) && !LocalCodePageIs1252())
            GTEST_SKIP() << "the active code page is not Windows-1252";
        int failures = 0;
        for (bool done = false; !done && failures < 8;) {
            const std::string before = Text(s);
            const char* block = s.CStr();
            const char* text = !step.Has("arg") ? nullptr
                               : arg[0] == '@' ? block + std::stoi(arg.substr(1))  // from its own block
                                               : arg.c_str();
            FailAllocation(failures);
            done = op == "u" ? s.ToUtf8() == 1 : op == "+" ? s.Append(text) : s.Assign(text);
            FailAllocation(-1);
            if (!done) {
                EXPECT_EQ(s.CStr(), block) << "allocation " << failures;
                EXPECT_EQ(Text(s), before) << "allocation " << failures;
                ++failures;
            }
        }
        EXPECT_EQ(Text(s), after);
        EXPECT_EQ(failures > 0, step.Has("allocates"));
    }
}

// Each UTF-16 unit of utf8-cases.txt by its value.
TEST(Utf8, EncodesEachUnitByItsValue) {
    const std::vector<TestCase> cases = ReadCases(SING_CASES_DIR "/text/utf8-cases.txt");
    ASSERT_GE(cases.size(), 10u);
    for (const TestCase& c : cases) {
        std::vector<uint16_t> units;
        std::istringstream in(c.Get("units"));
        for (unsigned u; in >> std::hex >> u;)
            units.push_back(static_cast<uint16_t>(u));
        const uint32_t n = static_cast<uint32_t>(units.size());
        std::string out(utf8::EncodedSize(units.data(), n) + 1, '\xEE');
        EXPECT_EQ(utf8::Encode(units.data(), n, out.data()), c.Get("bytes").size()) << c.name;
        EXPECT_EQ(out, c.Get("bytes") + '\xEE') << c.name;
    }
}
