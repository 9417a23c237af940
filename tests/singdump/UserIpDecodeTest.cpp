#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/Decoders.h"
#include "framework/DataBuf.h"
#include "gatherers/IpGatherer.h"
#include "gatherers/WinUserGatherer.h"

namespace {
std::vector<uint8_t> BufferOf(Gatherer& g) {
    std::vector<uint8_t> buf(g.GetDataBufLen());
    g.FillDataBuf(buf.data());
    return buf;
}
// "key=text" or "key=-" (no text) for every field, groups flattened.
std::string Flat(const Node& n) {
    std::string s;
    for (const Node& c : n.children)
        s += c.kind == Node::Kind::Group ? c.key + "{" + Flat(c) + "}"
             : c.kind == Node::Kind::Text ? c.key + "=" + c.text + " "
             : c.kind == Node::Kind::Missing ? c.key + "=- " : "";
    return s;
}
}  // namespace

TEST(DecodeUserIp, WindowsUserInfo) {
    WinUserGatherer g;
    g.StoreFacts("JDOE", "PC01", "", "OFFICE", "", "J Doe", "12345");
    std::vector<uint8_t> buf = BufferOf(g);
    DecodeResult r = DecodeBuffer(buf.data(), buf.size(), 0xABACAB01);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(Flat(r.fields), "header{}userName=JDOE computerName=PC01 domain= workgroup=OFFICE owner=J Doe "
                              "organization= productId=12345 ");
    databuf::PutU16(buf.data(), 26, 20);  // into the fixed part
    EXPECT_FALSE(DecodeBuffer(buf.data(), buf.size(), 0xABACAB01).ok);
}

TEST(DecodeUserIp, IpInfoShowsEmptyAdaptersCompactly) {
    IpGatherer g;
    std::vector<uint8_t> buf = BufferOf(g);
    DecodeResult r = DecodeBuffer(buf.data(), buf.size(), 0xABACAB02);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(Flat(r.fields).substr(0, 49), "header{}adapter0=no texts adapter1=no texts adapt");

    // Every text empty (each slot on its own zero byte) but adapter 3's IP address.
    buf.assign(336, 0);
    databuf::WriteHeader(buf.data(), 336, 0xABACAB02, 3);
    const uint32_t tables[] = {12, 28, 44, 60, 76, 92, 108, 188};
    for (uint32_t a = 0; a < 8; ++a)
        for (uint32_t f = 0; f < 8; ++f)
            databuf::PutU16(buf.data(), tables[f] + 2 * a, static_cast<uint16_t>(268 + 8 * a + f));
    std::copy_n("1.2", 3, buf.begin() + 332);
    databuf::PutU16(buf.data(), 12 + 2 * 3, 332);
    r = DecodeBuffer(buf.data(), buf.size(), 0xABACAB02);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_NE(Flat(r.fields).find("adapter2=empty adapter3{ipAddress=1.2 subnetMask= defaultGateway= hostName= "
                                  "domainName= primaryDns= secondaryDns= reservedText= }adapter4=empty"), std::string::npos);

    databuf::PutU16(buf.data(), 188 + 2 * 7, 336);  // past the end
    EXPECT_NE(DecodeBuffer(buf.data(), buf.size(), 0xABACAB02).error.find("reservedText"), std::string::npos);
    buf.assign(200, 0);
    databuf::WriteHeader(buf.data(), 200, 0xABACAB02, 3);
    EXPECT_NE(DecodeBuffer(buf.data(), buf.size(), 0xABACAB02).error.find("268-byte"), std::string::npos);
}
