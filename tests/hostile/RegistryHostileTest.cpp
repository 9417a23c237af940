// Registry values that other people control, in every shape, all in one key
// (the large ones stored first, so each later row also shows they hide
// nothing): what the text and number lookups answer, compared by bytes
// inside a guarded buffer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "probes/RegistryLookup.h"
#include "support/ScratchHive.h"

namespace {
const std::string kRefused = "\x01refused";

struct Row {
    std::string name;  // stored and asked for
    DWORD type;        // 0 with no data: asked only
    std::string data;  // exact bytes stored
    std::string text;  // GetRegStringValue's copy, or kRefused
    int64_t number;    // GetRegDwordValue's value, or -1: refused
    uint32_t maxChars = 255;
};

std::string Sz(const std::string& s) { return s + '\0'; }
std::string Dword(uint32_t v, size_t size = 4) {
    std::string d(size, '\0');
    for (size_t i = 0; i < 4 && i < size; ++i)
        d[i] = static_cast<char>(v >> (8 * i));
    return d;
}
}  // namespace

TEST(HostileRegistry, TextAndNumberLookupsByNameTypeAndSize) {
    const std::string big(64 * 1024, 'A');
    std::vector<Row> rows = {
        // Over the 400-byte room: not found, whatever the type.
        {"A_Huge", REG_SZ, big, kRefused, -1},
        {"A_HugeNumber", REG_DWORD, big, kRefused, -1},
        {"A_Blob", REG_BINARY, big, kRefused, -1},
        // Names in any case, as the registry finds them.
        {"HostName", REG_SZ, Sz("PC01"), "PC01", -1},
        {"HOSTNAME", 0, "", "PC01", -1},
        {"hostname", 0, "", "PC01", -1},
        {"EnableDHCP", REG_DWORD, Dword(1), kRefused, 1},
        {"enabledhcp", 0, "", kRefused, 1},
        {"Missing", 0, "", kRefused, -1},
        // Texts: REG_SZ and the first string of REG_MULTI_SZ, cut and terminated.
        {"Expand", REG_EXPAND_SZ, Sz("%PATH%"), kRefused, -1},
        {"IPAddress", REG_MULTI_SZ, std::string("10.0.0.5\0" "10.0.0.6\0\0", 19), "10.0.0.5", -1},
        {"Long", REG_SZ, Sz(std::string(300, 'x')), std::string(255, 'x'), -1},
        {"Long", 0, "", "xxxx", -1, 4},
        {"AtRoom", REG_SZ, Sz(std::string(399, 'a')), std::string(255, 'a'), -1},
        {"PastRoom", REG_SZ, Sz(std::string(400, 'p')), kRefused, -1},
        // No terminator: 399 bytes fit (the ANSI query adds one), 400 do not.
        {"Unterminated399", REG_SZ, std::string(399, 'B'), std::string(255, 'B'), -1},
        {"Unterminated400", REG_SZ, std::string(400, 'B'), kRefused, -1},
        {"Odd", REG_SZ, "abcde", "abcde", -1},
        {"One", REG_SZ, "z", "z", -1},
        {"Inner", REG_SZ, std::string("ab\0cd", 5), "ab", -1},
        {"MultiEmpty", REG_MULTI_SZ, "", "", -1},
        {"MultiOnlyNul", REG_MULTI_SZ, std::string(1, '\0'), "", -1},
        {"MultiNoDoubleNul", REG_MULTI_SZ, std::string("first\0second", 12), "first", -1},
        {"MultiLeadingNul", REG_MULTI_SZ, std::string("\0hidden\0\0", 9), "", -1},
        // Numbers: REG_DWORD of at least 4 bytes, its first 4 bytes; at most 400.
        {"Short", REG_DWORD, Dword(1, 3), kRefused, -1},
        {"NumberAtRoom", REG_DWORD, Dword(0x2A, 400), kRefused, 0x2A},
        {"NumberPastRoom", REG_DWORD, Dword(0x2A, 401), kRefused, -1},
    };
    // Every other type holding 4 bytes is neither text nor number.
    for (DWORD t : std::vector<DWORD>{REG_NONE, REG_BINARY, REG_DWORD_BIG_ENDIAN, REG_LINK, REG_RESOURCE_LIST, REG_QWORD, 0x1234})
        rows.push_back({"Type" + std::to_string(t), t, "AAAA", kRefused, -1});

    ScratchHive hive;
    const char* key = "Software\\Hostile";
    for (const Row& r : rows)
        if (r.type != 0 || !r.data.empty())
            hive.SetRaw(key, r.name.c_str(), r.type, r.data.data(), static_cast<DWORD>(r.data.size()));
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        std::string guarded(32 + 256 + 32, 0x5A), expect = guarded;
        const bool found = GetRegStringValue(HKEY_LOCAL_MACHINE, key, r.name.c_str(), &guarded[32], r.maxChars) == 1;
        EXPECT_EQ(found, r.text != kRefused);
        if (found) {  // the copy and its NUL; nothing before it or past maxChars + 1 bytes
            expect.replace(32, r.text.size() + 1, Sz(r.text));
            const size_t end = 32 + r.text.size() + 1, tail = 32 + r.maxChars + 1;
            EXPECT_EQ(guarded.substr(0, end) + guarded.substr(tail), expect.substr(0, end) + expect.substr(tail));
        } else {
            EXPECT_EQ(guarded, expect);  // untouched
        }
        uint32_t n = 0xEEEEEEEE;
        EXPECT_EQ(GetRegDwordValue(HKEY_LOCAL_MACHINE, key, r.name.c_str(), &n), r.number >= 0 ? 1u : 0u);
        EXPECT_EQ(n, r.number >= 0 ? static_cast<uint32_t>(r.number) : 0xEEEEEEEEu);
    }
    char out[256];
    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, "Software\\Missing", "HostName", out, 255), 0u);
}
