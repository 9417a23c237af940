#include "gatherers/NetbiosGatherer.h"

#include <cstring>

#include "framework/DataBuf.h"
#include "probes/AdapterAddress.h"

namespace {
// Header, then u16 address offsets, u16 types, u16 description offsets.
constexpr uint32_t kAddressSlots = 12;
constexpr uint32_t kTypeSlots = 28;
constexpr uint32_t kDescriptionSlots = 44;
constexpr uint32_t kFixedSize = 60;
}  // namespace

NetbiosGatherer::NetbiosGatherer() : Gatherer("NETBIOSInfo", kPacketId) {}

uint32_t NetbiosGatherer::Update() {
    // One type for the whole run: the probe sets it only when it reads an
    // address, so a card reported without one carries the type of the last
    // card read before it in this run (0 before the first).
    uint32_t type = 0;
    for (uint32_t i = 0; i < kCards; ++i) {
        char address[16];
        char text[256];
        if (GetAdapterAddress(i, address, &type, text) != 0) {
            adapterAddress[i].Assign(address).ToUtf8();
            description[i].Assign(text).ToUtf8();
            adapterType[i] = type;
        } else {
            adapterAddress[i].Assign("");
            description[i].Assign("");
        }
    }
    return 1;
}

uint32_t NetbiosGatherer::GetDataBufLen() {
    return kFixedSize + databuf::TextsSize(adapterAddress, kCards) + databuf::TextsSize(description, kCards);
}

uint32_t NetbiosGatherer::FillDataBuf(uint8_t* buf) {
    uint32_t length = GetDataBufLen();
    std::memset(buf, 0, length);
    databuf::WriteHeader(buf, length, GetUniquePacketID(), kBufferVersion);
    databuf::TextPacker texts(buf, kFixedSize, length);
    for (uint32_t i = 0; i < kCards; ++i) {
        databuf::PutU16(buf, kTypeSlots + 2 * i, static_cast<uint16_t>(adapterType[i]));
        databuf::PutU16(buf, kAddressSlots + 2 * i, static_cast<uint16_t>(texts.Put(adapterAddress[i])));
        databuf::PutU16(buf, kDescriptionSlots + 2 * i, static_cast<uint16_t>(texts.Put(description[i])));
    }
    return 1;
}
