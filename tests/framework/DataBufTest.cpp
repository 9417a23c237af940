#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/DataBuf.h"

TEST(DataBuf, HeaderAndFieldsAreLittleEndian) {
    uint8_t buf[16] = {};
    databuf::WriteHeader(buf, 0x01020304, 0xABACAB01, 3);
    const uint8_t expect[12] = {4, 3, 2, 1, 0x01, 0xAB, 0xAC, 0xAB, 3, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(buf, expect, 12));
    databuf::PutU16(buf, 12, 0xBEEF);
    EXPECT_EQ(buf[12], 0xEF);
    EXPECT_EQ(buf[13], 0xBE);
    EXPECT_EQ(databuf::GetU16(buf, 12), 0xBEEF);
    EXPECT_EQ(databuf::GetU32(buf, 4), 0xABACAB01u);
}

TEST(DataBuf, TextsCountOneByteEvenWithoutText) {
    Str texts[3];
    texts[0].Assign("abc");
    texts[2].Assign("");
    // 3+1, 0+1 for the fact without text, 0+1.
    EXPECT_EQ(databuf::TextsSize(texts, 3), 6u);

    std::vector<uint8_t> buf(20, 0);
    databuf::TextPacker packer(buf.data(), 10, 20);
    EXPECT_EQ(packer.Put(texts[0]), 10u);
    EXPECT_EQ(packer.Put(texts[1]), 0u);  // no text: no room taken
    EXPECT_EQ(packer.Put(texts[2]), 14u);
    EXPECT_EQ(packer.Cursor(), 15u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(&buf[10])), "abc");
}

// A text and its terminator are written only when they end within the
// buffer: ending on its last byte fits, one byte more is refused whole.
TEST(DataBuf, PackerStopsAtTheBufferEnd) {
    uint8_t buf[16];
    std::memset(buf, 0xEE, sizeof buf);
    databuf::TextPacker packer(buf, 10, 14);
    EXPECT_EQ(packer.PutRaw("abcd", 4), 0u);  // 5 bytes, 4 left
    EXPECT_EQ(packer.Cursor(), 10u);
    EXPECT_EQ(buf[10], 0xEE);
    EXPECT_EQ(packer.PutRaw("abc", 3), 10u);  // ends on byte 13
    EXPECT_EQ(packer.Cursor(), 14u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(&buf[10])), "abc");
    EXPECT_EQ(packer.PutRaw("", 0), 0u);  // not even a terminator fits
    EXPECT_EQ(buf[14], 0xEE);

    // A length from nowhere does not wrap the bound.
    databuf::TextPacker huge(buf, 10, 14);
    EXPECT_EQ(huge.PutRaw("x", 0xFFFFFFFFu), 0u);
    databuf::TextPacker past(buf, 15, 14);
    EXPECT_EQ(past.PutRaw("", 0), 0u);
    EXPECT_EQ(buf[15], 0xEE);
}
