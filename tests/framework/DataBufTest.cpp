#include <gtest/gtest.h>

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
    databuf::TextPacker packer(buf.data(), 10);
    EXPECT_EQ(packer.Put(texts[0]), 10u);
    EXPECT_EQ(packer.Put(texts[1]), 0u);  // no text: no room taken
    EXPECT_EQ(packer.Put(texts[2]), 14u);
    EXPECT_EQ(packer.Cursor(), 15u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(&buf[10])), "abc");
}
