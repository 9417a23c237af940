#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "decode/Decoders.h"
#include "decode/Node.h"
#include "sdk/sing32.h"
#include "support/CaseFile.h"

// Damaged buffers, one per row of tests/singdump/decode-cases.txt: the
// decoder must name the damage, and sing32.h's header check must give its
// result for the same bytes (an exact-size copy, so a read past the end shows).
TEST(Decode, DamagedBuffersAreRefusedWithTheReason) {
    const std::vector<TestCase> cases = ReadCases(SING_CASES_DIR "/singdump/decode-cases.txt");
    ASSERT_EQ(cases.size(), 20u);
    const std::map<std::string, int> results = {
        {"OK", SING_HEADER_OK}, {"SHORT", SING_HEADER_SHORT}, {"BAD_LENGTH", SING_HEADER_BAD_LENGTH},
        {"BAD_PACKET_ID", SING_HEADER_BAD_PACKET_ID}, {"UNKNOWN_FORMAT", SING_HEADER_UNKNOWN_FORMAT},
        {"BAD_VERSION", SING_HEADER_BAD_VERSION}};
    for (const TestCase& c : cases) {
        std::string hex;
        for (char ch : c.Get("bytes"))
            if (ch != ' ')
                hex += ch;
        std::vector<uint8_t> buf;
        for (size_t i = 0; i + 1 < hex.size(); i += 2)
            buf.push_back(static_cast<uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
        const uint32_t packet = static_cast<uint32_t>(std::stoul(c.Get("packet"), nullptr, 16));
        DecodeResult r = DecodeBuffer(buf.data(), buf.size(), packet);
        EXPECT_EQ(r.ok ? "ok" : r.error, c.Get("error")) << c.name;
        EXPECT_EQ(sing_check_header(buf.data(), static_cast<sing_u32>(buf.size()), packet), results.at(c.Get("header")))
            << c.name;
    }
    EXPECT_EQ(sing_format_fixed_size(0xABACAB03), 0u);  // no gatherer's
}

// Texts as JSON, the rows of json-texts.txt. (Numbers, nulls, hex ids and lists:
// the decoded images of BufferBytesTest.cpp and the JSON the scenarios and singdecode_cli read.)
TEST(Decode, JsonTextsAreAlwaysValid) {
    const std::vector<TestCase> cases = ReadCases(SING_CASES_DIR "/singdump/json-texts.txt");
    ASSERT_EQ(cases.size(), 6u);
    for (const TestCase& c : cases)
        EXPECT_EQ(JsonString(c.Get("text")), c.Get("json")) << c.name;
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
