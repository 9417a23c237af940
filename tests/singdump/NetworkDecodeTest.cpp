#include <gtest/gtest.h>

#include <vector>

#include "decode/Decoders.h"
#include "framework/DataBuf.h"

namespace {
std::string Decoded(std::vector<uint8_t> b, uint32_t packet, uint32_t version) {
    databuf::WriteHeader(b.data(), static_cast<uint32_t>(b.size()), packet, version);
    DecodeResult r = DecodeBuffer(b.data(), b.size(), packet);
    return r.ok ? RenderJson(r.fields) : "error: " + r.error;
}
}  // namespace

TEST(NetworkDecode, FieldsAreReadAndBadOffsetsReported) {
    std::vector<uint8_t> nb(77, 0);
    nb[28] = 255;
    databuf::PutU16(nb.data(), 12, 76);  // card 0's address: the empty text at the end
    EXPECT_NE(Decoded(nb, 0xABACAB04, 4).find("{\"card\":0,\"address\":\"\",\"type\":255,\"typeName\":\"token ring\","
                                              "\"description\":null}"), std::string::npos);
    databuf::PutU16(nb.data(), 44, 40);
    EXPECT_NE(Decoded(nb, 0xABACAB04, 4).find("fixed part"), std::string::npos);

    std::vector<uint8_t> ipx(42, 0);
    databuf::PutU32(ipx.data(), 12, 1);
    databuf::PutU32(ipx.data(), 16, 20);
    std::memcpy(&ipx[20], "00000001:0000000000AB", 22);
    EXPECT_NE(Decoded(ipx, 0xABACAB0A, 1).find("\"count\":1,\"addresses\":[\"00000001:0000000000AB\"]"),
              std::string::npos);
    databuf::PutU32(ipx.data(), 12, 0xFFFFFFFF);  // more texts than the buffer holds
    EXPECT_NE(Decoded(ipx, 0xABACAB0A, 1).find("past the buffer end"), std::string::npos);

    std::vector<uint8_t> tz(41, 0);
    databuf::PutU32(tz.data(), 16, static_cast<uint32_t>(-60));
    databuf::PutU32(tz.data(), 24, 36);
    tz[36] = 'G';
    EXPECT_NE(Decoded(tz, 0xABACAB0B, 1).find("\"bias\":-60,\"daylightBias\":0,\"standardName\":\"G\","
                                              "\"daylightName\":null"), std::string::npos);
    databuf::PutU32(tz.data(), 28, 41);
    EXPECT_NE(Decoded(tz, 0xABACAB0B, 1).find("past the buffer end"), std::string::npos);
}
