#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/Decoders.h"
#include "decode/Node.h"
#include "framework/DataBuf.h"
#include "gatherers/WinUserGatherer.h"

namespace {

const Node* Child(const Node& n, const std::string& key) {
    for (const Node& c : n.children)
        if (c.key == key)
            return &c;
    return nullptr;
}

std::vector<uint8_t> UserInfoBuffer(WinUserGatherer& g) {
    std::vector<uint8_t> buf(g.GetDataBufLen());
    g.FillDataBuf(buf.data());
    return buf;
}

// An IPInfo buffer whose 64 texts are all empty; adapter 2's IP address and
// reserved2 value set when `withAdapter2`.
std::vector<uint8_t> IpInfoBuffer(bool withAdapter2) {
    const std::string ip = withAdapter2 ? "10.0.0.5" : "";
    std::vector<uint8_t> buf(332 + ip.size(), 0);
    databuf::WriteHeader(buf.data(), static_cast<uint32_t>(buf.size()), 0xABACAB02, 3);
    const uint32_t slots[] = {12, 28, 44, 60, 76, 92, 108, 188};
    uint32_t pos = 268;
    for (uint32_t a = 0; a < 8; ++a)
        for (uint32_t table : slots) {
            databuf::PutU16(buf.data(), table + 2 * a, static_cast<uint16_t>(pos));
            if (a == 2 && table == 12) {
                std::copy(ip.begin(), ip.end(), buf.begin() + pos);
                pos += static_cast<uint32_t>(ip.size());
            }
            ++pos;
        }
    if (withAdapter2)
        databuf::PutU32(buf.data(), 236 + 2 * 4, 7);
    return buf;
}

}  // namespace

TEST(DecodeUserIp, WindowsUserInfo) {
    WinUserGatherer g;
    std::vector<uint8_t> before = UserInfoBuffer(g);
    DecodeResult r = DecodeBuffer(before.data(), before.size(), 0xABACAB01);
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_NE(Child(r.fields, "productId"), nullptr);
    EXPECT_EQ(Child(r.fields, "productId")->kind, Node::Kind::Missing);

    g.StoreFacts("JDOE", "PC01", "", "OFFICE", "", "J Doe", "12345");
    std::vector<uint8_t> buf = UserInfoBuffer(g);
    r = DecodeBuffer(buf.data(), buf.size(), 0xABACAB01);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(Child(r.fields, "userName")->text, "JDOE");
    EXPECT_EQ(Child(r.fields, "workgroup")->text, "OFFICE");
    EXPECT_EQ(Child(r.fields, "owner")->text, "J Doe");
    EXPECT_EQ(Child(r.fields, "domain")->kind, Node::Kind::Text);
    EXPECT_EQ(Child(r.fields, "domain")->text, "");

    // A slot into the fixed part, and a nonzero word at offset 12.
    std::vector<uint8_t> bad = buf;
    databuf::PutU16(bad.data(), 26, 20);
    EXPECT_FALSE(DecodeBuffer(bad.data(), bad.size(), 0xABACAB01).ok);
    bad = buf;
    databuf::PutU16(bad.data(), 12, 1);
    EXPECT_FALSE(DecodeBuffer(bad.data(), bad.size(), 0xABACAB01).ok);
}

TEST(DecodeUserIp, IpInfoShowsEightAdaptersEmptyOnesCompactly) {
    std::vector<uint8_t> buf = IpInfoBuffer(true);
    DecodeResult r = DecodeBuffer(buf.data(), buf.size(), 0xABACAB02);
    ASSERT_TRUE(r.ok) << r.error;
    for (int a = 0; a < 8; ++a) {
        const Node* n = Child(r.fields, "adapter" + std::to_string(a));
        ASSERT_NE(n, nullptr) << a;
        if (a != 2) {
            EXPECT_EQ(n->kind, Node::Kind::Text);
            EXPECT_EQ(n->text, "empty");
        }
    }
    const Node* a2 = Child(r.fields, "adapter2");
    ASSERT_EQ(a2->kind, Node::Kind::Group);
    EXPECT_EQ(Child(*a2, "ipAddress")->text, "10.0.0.5");
    EXPECT_EQ(Child(*a2, "hostName")->text, "");
    EXPECT_EQ(Child(*a2, "reserved2")->number, 7u);

    // Before the first update: no texts at all.
    std::vector<uint8_t> zeros(332, 0);
    databuf::WriteHeader(zeros.data(), 332, 0xABACAB02, 3);
    r = DecodeBuffer(zeros.data(), zeros.size(), 0xABACAB02);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(Child(r.fields, "adapter7")->text, "no texts");
}

TEST(DecodeUserIp, MalformedIpInfoIsReported) {
    std::vector<uint8_t> shortBuf(200, 0);
    databuf::WriteHeader(shortBuf.data(), 200, 0xABACAB02, 3);
    DecodeResult r = DecodeBuffer(shortBuf.data(), shortBuf.size(), 0xABACAB02);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("268"), std::string::npos) << r.error;

    std::vector<uint8_t> buf = IpInfoBuffer(false);
    databuf::PutU16(buf.data(), 188 + 2 * 7, static_cast<uint16_t>(buf.size()));
    r = DecodeBuffer(buf.data(), buf.size(), 0xABACAB02);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("reservedText"), std::string::npos) << r.error;
}
