#include <gtest/gtest.h>

#include "gatherers/NetbiosGatherer.h"
#include "support/ScratchHive.h"
#include "tests/gatherers/FillChecked.h"
#include "tests/probes/FakeNet.h"

namespace {
using Card = std::tuple<std::string, int, std::string>;  // address, type, description ("-": no text)

// The eight cards' facts: `cards`, then `rest` for each other one.
std::string Cards(std::vector<Card> cards, const Card& rest) {
    auto text = [](const std::string& t) { return t == "-" ? "null" : "\"" + t + "\""; };
    cards.resize(8, rest);
    std::string out;
    for (size_t i = 0; i < 8; ++i) {
        const auto& [address, type, description] = cards[i];
        out += (i ? ",{\"card\":" : "\"cards\":[{\"card\":") + std::to_string(i) + ",\"address\":" + text(address) +
               ",\"type\":" + std::to_string(type) + ",\"typeName\":\"" +
               (type == 253 ? "Ethernet" : type == 255 ? "token ring" : "none") + "\",\"description\":" + text(description) + "}";
    }
    return out + "]";
}
}  // namespace

// The prefix reports Windows 7, so the cards are read by the Windows 2000
// layout (tests/layouts/cards.reg): a card found but not read gives empty
// texts, cards past the last one carry the type read last; a card that
// stops answering keeps its type.
TEST(NetbiosGatherer, EachCardAndTheTypeCarriedOver) {
    NetbiosGatherer g;
    EXPECT_EQ(Facts(g), Cards({}, {"-", 0, "-"}));  // nothing before the first update
    ScratchHive hive;
    hive.LoadLayout("cards");
    FakeDevices dev;
    dev.answers["\\\\.\\SvcA"] = {{0x01010102, {0x00, 0xA0, 0x24, 0x1B, 0x2C, 0x3D}}};
    dev.answers["\\\\.\\SvcB"] = {{0x02010102, {0x10, 0x20, 0x30, 0x40, 0x50, 0x6F}}};
    EXPECT_EQ(g.Update(nullptr, 0), 1u);
    EXPECT_EQ(Facts(g), Cards({{"00A0241B2C3D", 253, "Ethernet card"}, {"10203040506F", 255, "Caf\xC3\xA9"}, {"", 0, ""}},
                              {"", 255, ""}));
    dev.answers.erase("\\\\.\\SvcB");
    g.Update();
    EXPECT_EQ(Facts(g), Cards({{"00A0241B2C3D", 253, "Ethernet card"}, {"", 255, ""}, {"", 0, ""}}, {"", 253, ""}));
}
