// "NETBIOSInfo": eight cards, each with a station address, an adapter type
// and a description.
#include "decode/Decoders.h"
#include "decode/Reader.h"
#include "sdk/sing32.h"

namespace {
const char* TypeName(uint16_t type) {
    switch (type) {
    case SING_NETBIOS_TOKEN_RING: return "token ring";
    case SING_NETBIOS_ETHERNET: return "Ethernet";
    case 0: return "none";
    default: return "unknown";
    }
}
}  // namespace

void DecodeNetbiosInfo(const uint8_t* data, size_t size, DecodeResult& out) {
    Reader rd(data, size);
    Node cards = Node::List("cards");
    for (size_t i = 0; i < SING_NETBIOS_CARDS && rd.Ok(); ++i) {
        Node card = Node::Group("");
        card.AddNumber("card", i);
        AddSlotText(rd, card, "address", SING_NETBIOS_ADDRESS + 2 * i, SING_NETBIOS_FIXED_SIZE);
        uint16_t type = rd.U16(SING_NETBIOS_TYPE + 2 * i, "adapter type");
        card.AddNumber("type", type);
        card.AddText("typeName", TypeName(type));
        AddSlotText(rd, card, "description", SING_NETBIOS_DESCRIPTION + 2 * i, SING_NETBIOS_FIXED_SIZE);
        cards.Add(std::move(card));
    }
    if (!rd.Ok()) {
        out.error = rd.Error();
        return;
    }
    out.fields.Add(std::move(cards));
}
