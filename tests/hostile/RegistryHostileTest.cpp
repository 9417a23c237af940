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
const char* kKey = "Software\\Hostile";
constexpr char kGuard = 0x5A;
const std::string kRefused = "\x01refused";

struct Row {
    const char* stored;  // value name as stored ("" stores nothing)
    DWORD type;
    std::string data;    // exact bytes stored
    const char* asked;   // value name asked for
    std::string text;    // GetRegStringValue's copy, or kRefused
    int64_t number;      // GetRegDwordValue's value, or -1: refused
    uint32_t maxChars = 255;
};

std::string Sz(const std::string& s) { return s + '\0'; }
std::string Dword(uint32_t v, size_t size = 4) {
    std::string d(size, '\0');
    for (size_t i = 0; i < 4 && i < size; ++i)
        d[i] = static_cast<char>(v >> (8 * i));
    return d;
}

std::vector<Row> Rows() {
    const std::string big(64 * 1024, 'A');
    std::vector<Row> rows = {
        // Over the 400-byte room: not found, whatever the type.
        {"A_Huge", REG_SZ, big, "A_Huge", kRefused, -1},
        {"A_HugeNumber", REG_DWORD, big, "A_HugeNumber", kRefused, -1},
        {"A_Blob", REG_BINARY, big, "A_Blob", kRefused, -1},
        // Names in any case, as the registry finds them.
        {"HostName", REG_SZ, Sz("PC01"), "Hostname", "PC01", -1},
        {"", 0, "", "HOSTNAME", "PC01", -1},
        {"", 0, "", "hostname", "PC01", -1},
        {"EnableDHCP", REG_DWORD, Dword(1), "enabledhcp", kRefused, 1},
        {"", 0, "", "Missing", kRefused, -1},
        // Texts: REG_SZ and the first string of REG_MULTI_SZ, cut and terminated.
        {"Expand", REG_EXPAND_SZ, Sz("%PATH%"), "Expand", kRefused, -1},
        {"IPAddress", REG_MULTI_SZ, "10.0.0.5\0" "10.0.0.6\0\0", "IPAddress", "10.0.0.5", -1},
        {"Long", REG_SZ, Sz(std::string(300, 'x')), "Long", std::string(255, 'x'), -1},
        {"", 0, "", "Long", "xxxx", -1, 4},
        {"AtRoom", REG_SZ, Sz(std::string(399, 'a')), "AtRoom", std::string(255, 'a'), -1},
        {"PastRoom", REG_SZ, Sz(std::string(400, 'p')), "PastRoom", kRefused, -1},
        // No terminator: 399 bytes fit (the ANSI query adds one), 400 do not.
        {"Unterminated399", REG_SZ, std::string(399, 'B'), "Unterminated399", std::string(255, 'B'), -1},
        {"Unterminated400", REG_SZ, std::string(400, 'B'), "Unterminated400", kRefused, -1},
        {"Odd", REG_SZ, "abcde", "Odd", "abcde", -1},
        {"One", REG_SZ, "z", "One", "z", -1},
        {"Inner", REG_SZ, std::string("ab\0cd", 5), "Inner", "ab", -1},
        {"MultiEmpty", REG_MULTI_SZ, "", "MultiEmpty", "", -1},
        {"MultiOnlyNul", REG_MULTI_SZ, std::string(1, '\0'), "MultiOnlyNul", "", -1},
        {"MultiNoDoubleNul", REG_MULTI_SZ, std::string("first\0second", 12), "MultiNoDoubleNul", "first", -1},
        {"MultiLeadingNul", REG_MULTI_SZ, std::string("\0hidden\0\0", 9), "MultiLeadingNul", "", -1},
        // Numbers: REG_DWORD of at least 4 bytes, its first 4 bytes; at most 400.
        {"Short", REG_DWORD, Dword(1, 3), "Short", kRefused, -1},
        {"NumberAtRoom", REG_DWORD, Dword(0x2A, 400), "NumberAtRoom", kRefused, 0x2A},
        {"NumberPastRoom", REG_DWORD, Dword(0x2A, 401), "NumberPastRoom", kRefused, -1},
    };
    // Every other type holding 4 bytes is neither text nor number.
    const DWORD types[] = {REG_NONE, REG_BINARY, REG_DWORD_BIG_ENDIAN, REG_LINK, REG_RESOURCE_LIST, REG_QWORD, 0x1234};
    for (DWORD t : types)
        rows.push_back({"", t, "AAAA", "", kRefused, -1});
    return rows;
}
}  // namespace

TEST(HostileRegistry, TextAndNumberLookupsByNameTypeAndSize) {
    ScratchHive hive;
    std::vector<Row> rows = Rows();
    std::vector<std::string> names;  // the type rows store under a name of their own
    for (size_t i = 0; i < rows.size(); ++i) {
        Row& r = rows[i];
        names.push_back(*r.stored ? r.stored : *r.asked ? r.asked : "Type" + std::to_string(r.type));
        if (*r.stored || !*r.asked)
            hive.SetRaw(kKey, names.back().c_str(), r.type, r.data.data(), static_cast<DWORD>(r.data.size()));
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        SCOPED_TRACE(names[i] + " asked as " + r.asked);
        const char* asked = *r.asked ? r.asked : names[i].c_str();
        std::string guarded(32 + 256 + 32, kGuard);
        char* out = &guarded[32];
        const bool found = GetRegStringValue(HKEY_LOCAL_MACHINE, kKey, asked, out, r.maxChars) == 1;
        EXPECT_EQ(found, r.text != kRefused);
        std::string expect(guarded.size(), kGuard);
        if (r.text == kRefused) {
            EXPECT_EQ(guarded, expect);  // untouched
        } else {
            // The copy and its NUL; nothing before it or past maxChars + 1 bytes.
            expect.replace(32, r.text.size() + 1, Sz(r.text));
            EXPECT_EQ(guarded.substr(0, 32 + r.text.size() + 1), expect.substr(0, 32 + r.text.size() + 1));
            EXPECT_EQ(guarded.substr(32 + r.maxChars + 1), expect.substr(32 + r.maxChars + 1));
        }
        uint32_t n = 0xEEEEEEEE;
        EXPECT_EQ(GetRegDwordValue(HKEY_LOCAL_MACHINE, kKey, asked, &n), r.number >= 0 ? 1u : 0u);
        EXPECT_EQ(n, r.number >= 0 ? static_cast<uint32_t>(r.number) : 0xEEEEEEEEu);
    }
    char out[256];
    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, "Software\\Missing", "HostName", out, 255), 0u);
}
