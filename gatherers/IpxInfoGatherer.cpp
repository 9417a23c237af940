#include "gatherers/IpxInfoGatherer.h"

#include <new>

#include "framework/DataBuf.h"
#include "probes/IpxAddresses.h"

IpxInfoGatherer::IpxInfoGatherer() : Gatherer("IPX Data", SING_IPX_PACKET_ID) {}

uint32_t IpxInfoGatherer::Update() {
    std::unique_ptr<IpxAddrNode> list = GetIpxAddresses();
    if (!list)
        return 1;
    uint16_t count = 0;
    for (const IpxAddrNode* n = list.get(); n != nullptr; n = n->next.get())
        ++count;
    // Without memory for the whole new list the last good one stays, as when
    // the transport names no address.
    std::unique_ptr<Str[]> texts(new (std::nothrow) Str[count]);
    if (!texts)
        return 1;
    uint16_t i = 0;
    for (const IpxAddrNode* n = list.get(); n != nullptr; n = n->next.get())
        if (!texts[i++].Assign(n->text))
            return 1;
    addresses = std::move(texts);
    addressCount = count;
    cachedLength = 0;
    return 1;
}

uint32_t IpxInfoGatherer::GetDataBufLen() {
    if (cachedLength == 0)
        cachedLength = SING_IPX_FIXED_SIZE + databuf::TextsSize(addresses.get(), addressCount);
    return cachedLength;
}

uint32_t IpxInfoGatherer::FillDataBuf(uint8_t* buf) {
    uint32_t length = GetDataBufLen();
    databuf::WriteHeader(buf, length, GetUniquePacketID(), SING_IPX_VERSION);
    databuf::PutU32(buf, SING_IPX_COUNT, addressCount);
    // The texts start right behind the fixed part.
    databuf::PutU32(buf, SING_IPX_FIRST, SING_IPX_FIXED_SIZE);
    databuf::TextPacker texts(buf, SING_IPX_FIXED_SIZE, length);
    for (uint16_t i = 0; i < addressCount; ++i)
        texts.Put(addresses[i]);
    return 1;
}
