#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/Utf8.h"

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
