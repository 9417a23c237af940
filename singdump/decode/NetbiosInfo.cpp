// "NETBIOSInfo" version 4: eight cards, each with a station address, an
// adapter type and a description.
#include <cstdio>

#include "decode/Decoders.h"
#include "decode/Reader.h"

namespace {
constexpr size_t kFixedSize = 60;

const char* TypeName(uint16_t type) {
    switch (type) {
    case 255: return "token ring";
    case 253: return "Ethernet";
    case 0: return "none";
    default: return "unknown";
    }
}
}  // namespace

void DecodeNetbiosInfo(const uint8_t* data, size_t size, DecodeResult& out) {
    Reader rd(data, size);
    Node cards = Node::List("cards");
    for (size_t i = 0; i < 8 && rd.Ok(); ++i) {
        Node card = Node::Group("");
        card.AddNumber("card", i);
        AddSlotText(rd, card, "address", 12 + 2 * i, kFixedSize);
        uint16_t type = rd.U16(28 + 2 * i, "adapter type");
        card.AddNumber("type", type);
        card.AddText("typeName", TypeName(type));
        AddSlotText(rd, card, "description", 44 + 2 * i, kFixedSize);
        cards.Add(std::move(card));
    }
    if (!rd.Ok()) {
        out.error = rd.Error();
        return;
    }
    out.fields.Add(std::move(cards));
}
