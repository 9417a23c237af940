#include <gtest/gtest.h>

#include <string>

#include "text/Utf8.h"

namespace {
std::string EncodeUnits(std::initializer_list<uint16_t> list) {
    std::vector<uint16_t> units(list);
    uint32_t size = utf8::EncodedSize(units.data(), static_cast<uint32_t>(units.size()));
    std::string out(size, '\xFF');
    EXPECT_EQ(utf8::Encode(units.data(), static_cast<uint32_t>(units.size()), out.data()), size);
    return out;
}
}  // namespace

TEST(Utf8, EncodesEachUnitByItsValue) {
    EXPECT_EQ(EncodeUnits({0x41, 0}), std::string("A\0", 2));
    EXPECT_EQ(EncodeUnits({0x7F}), "\x7F");
    EXPECT_EQ(EncodeUnits({0x80}), "\xC2\x80");
    EXPECT_EQ(EncodeUnits({0xE9, 0}), std::string("\xC3\xA9\0", 3));
    EXPECT_EQ(EncodeUnits({0x7FF}), "\xDF\xBF");
    EXPECT_EQ(EncodeUnits({0x800}), "\xE0\xA0\x80");
    EXPECT_EQ(EncodeUnits({0x20AC, 0}), std::string("\xE2\x82\xAC\0", 4));
    EXPECT_EQ(EncodeUnits({0xFFFF}), "\xEF\xBF\xBF");
}

TEST(Utf8, SurrogatesAreEncodedOneUnitAtATime) {
    EXPECT_EQ(EncodeUnits({0xD800}), "\xED\xA0\x80");
    // U+1F600 as a pair: two 3-byte sequences, not one 4-byte sequence.
    EXPECT_EQ(EncodeUnits({0xD83D, 0xDE00}), "\xED\xA0\xBD\xED\xB8\x80");
}
