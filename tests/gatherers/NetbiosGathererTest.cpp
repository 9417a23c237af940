#include <gtest/gtest.h>

#include "gatherers/NetbiosGatherer.h"
#include "support/ScratchHive.h"
#include "tests/gatherers/FillChecked.h"
#include "tests/probes/FakeNet.h"

namespace {
// The eight cards' facts: "ADDRESS TYPE DESCRIPTION" each, "-" for no text, "." for the empty one.
std::string Cards(const std::vector<std::string>& cards) {
    std::string out = "\"cards\":[";
    for (size_t i = 0; i < 8; ++i) {
        std::string c = cards[i], address = c.substr(0, c.find(' '));
        c = c.substr(c.find(' ') + 1);
        int type = std::stoi(c.substr(0, c.find(' ')));
        std::string description = c.substr(c.find(' ') + 1);
        auto text = [](const std::string& t) { return t == "-" ? "null" : "\"" + (t == "." ? "" : t) + "\""; };
        out += std::string(i ? "," : "") + "{\"card\":" + std::to_string(i) + ",\"address\":" + text(address) +
               ",\"type\":" + std::to_string(type) + ",\"typeName\":\"" +
               (type == 253 ? "Ethernet" : type == 255 ? "token ring" : "none") + "\",\"description\":" +
               text(description) + "}";
    }
    return out + "]";
}
}  // namespace

// The prefix reports Windows 7, so the cards are read by the Windows 2000
// layout: a card found but not read gives empty texts, cards past the last
// one carry the type read last; a card that stops answering keeps its type.
TEST(NetbiosGatherer, EachCardAndTheTypeCarriedOver) {
    NetbiosGatherer g;
    EXPECT_EQ(Facts(g), Cards(std::vector<std::string>(8, "- 0 -")));  // nothing before the first update

    ScratchHive hive;
    FakeDevices dev;
    const char* cards[3][2] = {{"SvcA", "Ethernet card"}, {"SvcB", "Caf\xE9"}, {"SvcC", "Silent"}};
    for (int i = 0; i < 3; ++i) {
        const std::string key = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\" + std::to_string(i + 1);
        hive.SetString(key, "ServiceName", cards[i][0]);
        hive.SetString(key, "Description", cards[i][1]);
    }
    dev.answers["\\\\.\\SvcA"] = {{0x01010102, {0x00, 0xA0, 0x24, 0x1B, 0x2C, 0x3D}}};
    dev.answers["\\\\.\\SvcB"] = {{0x02010102, {0x10, 0x20, 0x30, 0x40, 0x50, 0x6F}}};
    EXPECT_EQ(g.Update(nullptr, 0), 1u);
    std::vector<std::string> want = {"00A0241B2C3D 253 Ethernet card", "10203040506F 255 Caf\xC3\xA9", ". 0 ."};
    want.resize(8, ". 255 .");
    EXPECT_EQ(Facts(g), Cards(want));

    dev.answers.erase("\\\\.\\SvcB");
    g.Update();
    want = {"00A0241B2C3D 253 Ethernet card", ". 255 .", ". 0 ."};
    want.resize(8, ". 253 .");
    EXPECT_EQ(Facts(g), Cards(want));
}
