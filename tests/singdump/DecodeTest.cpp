#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/Decoders.h"
#include "decode/Node.h"
#include "sdk/sing32.h"

// A sound "WindowsUserInfo" buffer (user "jdoe", computer "PC", the rest
// absent), damaged one way per row; the decoder must name the damage.
TEST(Decode, DamagedBuffersAreRefusedWithTheReason) {
    const uint32_t kId = SING_WINUSER_PACKET_ID;
    const std::vector<uint8_t> sound = {36, 0, 0, 0, 0x01, 0xAB, 0xAC, 0xAB, 1, 0, 0, 0,   // header
                                        0, 0, 28, 0, 33, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // slots
                                        'j', 'd', 'o', 'e', 0, 'P', 'C', 0};
    // The bytes kept; one field overwritten (width 0: none); the gatherer's packet id.
    const struct {
        uint32_t size, at, value, width, expected;
        const char* error;
    } cases[] = {
        {36, 0, 0, 0, kId, nullptr},
        {11, 0, 0, 0, kId, "header version: offset 8 + 4 lies past the buffer end (11 bytes)"},
        {0, 0, 0, 0, kId, "header length: offset 0 + 4 lies past the buffer end (0 bytes)"},
        {36, 0, 37, 4, kId, "header length 37 differs from the buffer size 36"},
        {35, 0, 0, 0, kId, "header length 36 differs from the buffer size 35"},
        {36, 0, 0, 0, SING_IPINFO_PACKET_ID, "header packet id 0xABACAB01 differs from the gatherer's 0xABACAB02"},
        {36, 4, 0xABACAB03, 4, 0xABACAB03, "no decoder for this packet id"},
        {36, 8, 2, 4, kId, "buffer version 2 is not the known version 1"},
        {36, 8, 0, 4, kId, "buffer version 0 is not the known version 1"},
        {20, 0, 20, 4, kId, "buffer of 20 bytes is shorter than the 28-byte fixed part"},
        {36, 12, 5, 2, kId, "offset 12 holds 5, not 0"},
        {36, 14, 27, 2, kId, "userName: offset 27 points into the fixed part (ends at 28)"},
        {36, 16, 0xFFFF, 2, kId, "computerName: offset 65535 + 1 lies past the buffer end (36 bytes)"},
        {36, 16, 36, 2, kId, "computerName: offset 36 + 1 lies past the buffer end (36 bytes)"},
        {36, 35, 'X', 1, kId, "computerName: text at offset 33 has no terminator inside the buffer"},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> buf(sound.begin(), sound.begin() + c.size);
        for (uint32_t i = 0; i < c.width; ++i)
            buf[c.at + i] = static_cast<uint8_t>(c.value >> (8 * i));
        DecodeResult r = DecodeBuffer(buf.data(), buf.size(), c.expected);
        EXPECT_EQ(r.ok ? "(ok)" : r.error, c.error ? c.error : "(ok)");
    }
    std::vector<uint8_t> kmz(SING_KMZUSER_FIXED_SIZE, 0);  // no room for its absent texts' terminators
    kmz[0] = 64, kmz[4] = 0x05, kmz[5] = 0xAB, kmz[6] = 0xAC, kmz[7] = 0xAB, kmz[8] = 1;
    EXPECT_EQ(DecodeBuffer(kmz.data(), kmz.size(), SING_KMZUSER_PACKET_ID).error,
              "buffer length 64 differs from the 90 bytes its texts take");
    // An address count beyond the texts the buffer holds (one "a" here).
    std::vector<uint8_t> ipx = {22, 0, 0, 0, 0x0A, 0xAB, 0xAC, 0xAB, 1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF,
                                SING_IPX_FIXED_SIZE, 0, 0, 0, 'a', 0};
    EXPECT_EQ(DecodeBuffer(ipx.data(), ipx.size(), SING_IPX_PACKET_ID).error,
              "IPX address: offset 22 + 1 lies past the buffer end (22 bytes)");
}

TEST(Decode, JsonIsAlwaysValid) {
    const std::pair<std::string, std::string> texts[] = {
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {std::string("\x01\n", 2), "\"\\u0001\\u000A\""},
        {"caf\xC3\xA9", "\"caf\xC3\xA9\""},
        {"\xE9", "\"\\uFFFD\""},                             // a local code page byte
        {"\xED\xA0\x80", "\"\\uFFFD\\uFFFD\\uFFFD\""},       // a lone surrogate
        {"\xE2\x82", "\"\\uFFFD\\uFFFD\""},                  // cut short
    };
    for (const auto& [text, json] : texts)
        EXPECT_EQ(JsonString(text), json);

    Node doc = Node::Group("");
    doc.AddText("name", "x");
    doc.AddMissing("none");
    doc.AddNumber("n", 42);
    doc.AddSigned("s", -60);
    doc.AddHex("id", 0xABACAB01);
    doc.Add(Node::List("items")).AddNumber("", 1);
    EXPECT_EQ(RenderJson(doc), "{\"name\":\"x\",\"none\":null,\"n\":42,\"s\":-60,\"id\":\"0xABACAB01\",\"items\":[1]}");
}

TEST(Decode, TextOutputMarksListItemsAndDumpsBytes) {
    Node cards = Node::List("cards");
    for (int i = 0; i < 2; ++i) {
        Node& card = cards.Add(Node::Group(""));
        card.AddNumber("card", i);
        card.AddText("address", i ? "0011" : "");
    }
    EXPECT_EQ(RenderText(cards, 1),
              "  cards:\n"
              "    - card: 0\n"
              "      address: \"\"\n"
              "    - card: 1\n"
              "      address: \"0011\"\n");
    EXPECT_EQ(RenderText(Node::List("addresses"), 0), "addresses: (none)\n");

    const uint8_t data[18] = {'A', 'B', 0, 0xFF, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 'z', 0};
    EXPECT_EQ(HexDump(data, sizeof data),
              "000000  41 42 00 FF 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F  AB..............\n"
              "000010  7A 00                                            z.\n");
}
