#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/Decoders.h"
#include "decode/Node.h"
#include "decode/Reader.h"
#include "framework/DataBuf.h"

TEST(Decode, HeaderIsCheckedAgainstTheBuffer) {
    std::vector<uint8_t> buf(16, 0);
    databuf::WriteHeader(buf.data(), 16, 0xABACAB77, 1);

    DecodeResult r = DecodeBuffer(buf.data(), 8, 0xABACAB77);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("past the buffer end"), std::string::npos) << r.error;

    r = DecodeBuffer(buf.data(), 15, 0xABACAB77);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("differs from the buffer size"), std::string::npos) << r.error;

    r = DecodeBuffer(buf.data(), 16, 0xABACAB01);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("packet id"), std::string::npos) << r.error;

    r = DecodeBuffer(buf.data(), 16, 0xABACAB77);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "no decoder for this packet id");
}

TEST(Decode, SlotTextsAreBoundToTheBuffer) {
    // Fixed part of 16 bytes: header + two u16 slots.
    std::vector<uint8_t> buf(20, 0);
    databuf::PutU16(buf.data(), 12, 16);
    buf[16] = 'h';
    buf[17] = 'i';
    {
        Reader rd(buf.data(), buf.size());
        Node n = Node::Group("f");
        AddSlotText(rd, n, "first", 12, 16);
        AddSlotText(rd, n, "second", 14, 16);
        ASSERT_TRUE(rd.Ok()) << rd.Error();
        ASSERT_EQ(n.children.size(), 2u);
        EXPECT_EQ(n.children[0].text, "hi");
        EXPECT_EQ(n.children[1].kind, Node::Kind::Missing);
    }
    {
        // Text runs to the end without a terminator.
        buf[18] = 'x';
        buf[19] = 'y';
        Reader rd(buf.data(), buf.size());
        Node n = Node::Group("f");
        AddSlotText(rd, n, "first", 12, 16);
        EXPECT_FALSE(rd.Ok());
        EXPECT_NE(rd.Error().find("no terminator"), std::string::npos);
    }
    {
        // Offsets into the fixed part or past the end.
        databuf::PutU16(buf.data(), 12, 4);
        databuf::PutU16(buf.data(), 14, 0xFFFF);
        Reader a(buf.data(), buf.size());
        Node n = Node::Group("f");
        AddSlotText(a, n, "first", 12, 16);
        EXPECT_NE(a.Error().find("fixed part"), std::string::npos);
        Reader b(buf.data(), buf.size());
        AddSlotText(b, n, "second", 14, 16);
        EXPECT_NE(b.Error().find("past the buffer end"), std::string::npos);
    }
}

TEST(Decode, JsonIsAlwaysValid) {
    EXPECT_EQ(JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonString(std::string("\x01\n", 2)), "\"\\u0001\\u000A\"");
    EXPECT_EQ(JsonString("caf\xC3\xA9"), "\"caf\xC3\xA9\"");
    EXPECT_EQ(JsonString("\xE9"), "\"\\uFFFD\"");          // a local code page byte
    EXPECT_EQ(JsonString("\xED\xA0\x80"), "\"\\uFFFD\\uFFFD\\uFFFD\"");  // a lone surrogate
    EXPECT_EQ(JsonString("\xE2\x82"), "\"\\uFFFD\\uFFFD\"");            // cut short

    Node doc = Node::Group("");
    doc.AddText("name", "x");
    doc.AddMissing("none");
    doc.AddNumber("n", 42);
    doc.AddHex("id", 0xABACAB01);
    Node list = Node::List("items");
    list.AddNumber("", 1);
    doc.Add(list);
    EXPECT_EQ(RenderJson(doc), "{\"name\":\"x\",\"none\":null,\"n\":42,\"id\":\"0xABACAB01\",\"items\":[1]}");
}

TEST(Decode, HexDumpShowsOffsetsBytesAndText) {
    const uint8_t data[18] = {'A', 'B', 0, 0xFF, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 'z', 0};
    std::string dump = HexDump(data, sizeof data);
    EXPECT_EQ(dump.substr(0, 8), "000000  ");
    EXPECT_NE(dump.find("41 42 00 FF"), std::string::npos);
    EXPECT_NE(dump.find("AB.............."), std::string::npos);
    EXPECT_NE(dump.find("\n000010  7A 00"), std::string::npos);
}

TEST(Decode, ListItemsAreMarkedInText) {
    Node cards = Node::List("cards");
    for (int i = 0; i < 2; ++i) {
        Node card = Node::Group("");
        card.AddNumber("card", i);
        card.AddText("address", i ? "0011" : "");
        cards.Add(card);
    }
    EXPECT_EQ(RenderText(cards, 1),
              "  cards:\n"
              "    - card: 0\n"
              "      address: \"\"\n"
              "    - card: 1\n"
              "      address: \"0011\"\n");
    EXPECT_EQ(RenderText(Node::List("addresses"), 0), "addresses: (none)\n");
}
