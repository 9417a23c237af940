#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "decode/Decoders.h"
#include "framework/DataBuf.h"

namespace {

// Header, 26 slots; CITY (slot 0) and HOME_PHONE (slot 25) with texts.
std::vector<uint8_t> Sample() {
    std::vector<uint8_t> b(64 + 26 + 4 + 4, 0);
    databuf::WriteHeader(b.data(), static_cast<uint32_t>(b.size()), 0xABACAB05, 1);
    databuf::PutU16(b.data(), 12, 64);
    std::memcpy(&b[64], "Oslo", 5);
    databuf::PutU16(b.data(), 62, 69);
    std::memcpy(&b[69], "1234", 5);
    return b;
}

}  // namespace

TEST(DecodeKmzUserInfo, KeyNamesBesideValues) {
    std::vector<uint8_t> b = Sample();
    DecodeResult r = DecodeBuffer(b.data(), b.size(), 0xABACAB05);
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.fields.children.size(), 3u);  // header, LOCATION, USER
    const Node& location = r.fields.children[1];
    const Node& user = r.fields.children[2];
    EXPECT_EQ(location.key, "LOCATION");
    ASSERT_EQ(location.children.size(), 11u);
    ASSERT_EQ(user.children.size(), 15u);
    EXPECT_EQ(location.children[0].key, "CITY");
    EXPECT_EQ(location.children[0].text, "Oslo");
    EXPECT_EQ(location.children[10].key, "USER_DATA2");
    EXPECT_EQ(location.children[10].kind, Node::Kind::Missing);
    EXPECT_EQ(user.children[0].key, "FIRST_NAME");
    EXPECT_EQ(user.children[14].key, "HOME_PHONE");
    EXPECT_EQ(user.children[14].text, "1234");
}

TEST(DecodeKmzUserInfo, MalformedBuffersAreReported) {
    std::vector<uint8_t> b = Sample();
    databuf::PutU16(b.data(), 62, 0x7FFF);  // past the end
    DecodeResult r = DecodeBuffer(b.data(), b.size(), 0xABACAB05);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("HOME_PHONE"), std::string::npos) << r.error;

    b = Sample();
    databuf::PutU16(b.data(), 12, 20);  // into the offset slots
    r = DecodeBuffer(b.data(), b.size(), 0xABACAB05);
    EXPECT_NE(r.error.find("fixed part"), std::string::npos) << r.error;

    b = Sample();
    b.push_back(0);  // one byte more than the texts take
    databuf::PutU32(b.data(), 0, static_cast<uint32_t>(b.size()));
    r = DecodeBuffer(b.data(), b.size(), 0xABACAB05);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("differs from the 98 bytes"), std::string::npos) << r.error;

    std::vector<uint8_t> shortBuf(40, 0);  // cut inside the slots
    databuf::WriteHeader(shortBuf.data(), 40, 0xABACAB05, 1);
    r = DecodeBuffer(shortBuf.data(), shortBuf.size(), 0xABACAB05);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("past the buffer end"), std::string::npos) << r.error;
}
