#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/DataBuf.h"

// A text and its terminator are written only when they end within the
// buffer: ending on its last byte fits, one byte more is refused whole; a
// text without a buffer takes no room and gets offset 0.
TEST(DataBuf, PackerStopsAtTheBufferEnd) {
    uint8_t buf[16];
    std::memset(buf, 0xEE, sizeof buf);
    Str none, abc("abc");
    databuf::TextPacker packer(buf, 10, 14);
    EXPECT_EQ(packer.Put(none), 0u);
    EXPECT_EQ(packer.PutRaw("abcd", 4), 0u);  // 5 bytes, 4 left
    EXPECT_EQ(packer.Cursor(), 10u);
    EXPECT_EQ(packer.Put(abc), 10u);  // ends on byte 13
    EXPECT_EQ(packer.Cursor(), 14u);
    EXPECT_EQ(packer.PutRaw("", 0), 0u);  // not even a terminator fits
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), sizeof buf),
              std::string(10, '\xEE') + std::string("abc\0\xEE\xEE", 6));

    // A length from nowhere does not wrap the bound; nor does a start past the end.
    databuf::TextPacker huge(buf, 10, 14);
    EXPECT_EQ(huge.PutRaw("x", 0xFFFFFFFFu), 0u);
    databuf::TextPacker past(buf, 15, 14);
    EXPECT_EQ(past.PutRaw("", 0), 0u);
    EXPECT_EQ(buf[15], 0xEE);
}
