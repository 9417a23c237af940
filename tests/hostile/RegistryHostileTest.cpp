// Registry values that other people control, in every shape, all in one key:
// what the text and number lookups answer, compared by bytes inside a
// guarded buffer. The values: registry-cases.txt beside this file.
#include <gtest/gtest.h>

#include "probes/RegistryLookup.h"
#include "support/CaseFile.h"
#include "support/ScratchHive.h"

TEST(HostileRegistry, TextAndNumberLookupsByNameTypeAndSize) {
    const std::vector<TestCase> cases = ReadCases(SING_CASES_DIR "/hostile/registry-cases.txt");
    ASSERT_GE(cases.size(), 30u);
    ScratchHive hive;
    const char* key = "Software\\Hostile";
    for (const TestCase& c : cases) {
        const std::string data = Runs(c.Get("data"));
        if (c.Has("type"))
            hive.SetRaw(key, c.Get("name").c_str(), std::stoul(c.Get("type"), nullptr, 0), data.data(), data.size());
    }
    for (const TestCase& c : cases) {
        SCOPED_TRACE(c.name);
        const char* name = c.Get("name").c_str();
        const std::string text = Runs(c.Get("text"));
        const uint32_t maxChars = c.Has("max") ? std::stoul(c.Get("max")) : 255;
        std::string guarded(32 + 256 + 32, 0x5A), expect = guarded;
        const bool found = GetRegStringValue(HKEY_LOCAL_MACHINE, key, name, &guarded[32], maxChars) == 1;
        EXPECT_EQ(found, c.Has("text"));
        if (found) {  // the copy and its NUL; nothing before it or past maxChars + 1 bytes
            expect.replace(32, text.size() + 1, text + '\0');
            const size_t end = 32 + text.size() + 1, tail = 32 + maxChars + 1;
            EXPECT_EQ(guarded.substr(0, end) + guarded.substr(tail), expect.substr(0, end) + expect.substr(tail));
        } else {
            EXPECT_EQ(guarded, expect);  // untouched
        }
        uint32_t n = 0xEEEEEEEE;
        EXPECT_EQ(GetRegDwordValue(HKEY_LOCAL_MACHINE, key, name, &n), c.Has("number") ? 1u : 0u);
        EXPECT_EQ(n, c.Has("number") ? std::stoul(c.Get("number"), nullptr, 0) : 0xEEEEEEEEu);
    }
    char out[256];
    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, "Software\\Missing", "HostName", out, 255), 0u);
}
