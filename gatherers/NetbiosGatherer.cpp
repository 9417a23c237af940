#include "gatherers/NetbiosGatherer.h"

#include <cstring>

#include "framework/DataBuf.h"
#include "probes/AdapterAddress.h"

NetbiosGatherer::NetbiosGatherer() : Gatherer("NETBIOSInfo", SING_NETBIOS_PACKET_ID) {}

uint32_t NetbiosGatherer::Update() {
    // One type for the whole run: the probe sets it only when it reads an
    // address, so a card reported without one carries the type of the last
    // card read before it in this run (0 before the first).
    uint32_t type = 0;
    for (uint32_t i = 0; i < kCards; ++i) {
        char address[16];
        char text[256];
        if (GetAdapterAddress(i, address, &type, text) != 0) {
            // A text that cannot be stored keeps the one it had.
            if (adapterAddress[i].Assign(address))
                adapterAddress[i].ToUtf8();
            if (description[i].Assign(text))
                description[i].ToUtf8();
            adapterType[i] = type;
        } else {
            adapterAddress[i].Assign("");
            description[i].Assign("");
        }
    }
    return 1;
}

uint32_t NetbiosGatherer::GetDataBufLen() {
    return SING_NETBIOS_FIXED_SIZE + databuf::TextsSize(adapterAddress, kCards) + databuf::TextsSize(description, kCards);
}

uint32_t NetbiosGatherer::FillDataBuf(uint8_t* buf) {
    uint32_t length = GetDataBufLen();
    std::memset(buf, 0, length);
    databuf::WriteHeader(buf, length, GetUniquePacketID(), SING_NETBIOS_VERSION);
    databuf::TextPacker texts(buf, SING_NETBIOS_FIXED_SIZE, length);
    for (uint32_t i = 0; i < kCards; ++i) {
        databuf::PutU16(buf, SING_NETBIOS_TYPE + 2 * i, static_cast<uint16_t>(adapterType[i]));
        databuf::PutU16(buf, SING_NETBIOS_ADDRESS + 2 * i, static_cast<uint16_t>(texts.Put(adapterAddress[i])));
        databuf::PutU16(buf, SING_NETBIOS_DESCRIPTION + 2 * i, static_cast<uint16_t>(texts.Put(description[i])));
    }
    return 1;
}
