#include "gatherers/IpxInfoGatherer.h"

#include "framework/DataBuf.h"
#include "probes/IpxAddresses.h"

namespace {
// Header, the number of texts, the offset of the first text.
constexpr uint32_t kFixedSize = 20;
}  // namespace

IpxInfoGatherer::IpxInfoGatherer() : Gatherer("IPX Data", kPacketId) {}

uint32_t IpxInfoGatherer::Update() {
    std::unique_ptr<IpxAddrNode> list = GetIpxAddresses();
    if (!list)
        return 1;
    uint16_t count = 0;
    for (const IpxAddrNode* n = list.get(); n != nullptr; n = n->next.get())
        ++count;
    addresses = std::make_unique<Str[]>(count);
    addressCount = count;
    cachedLength = 0;
    uint16_t i = 0;
    for (const IpxAddrNode* n = list.get(); n != nullptr; n = n->next.get())
        addresses[i++].Assign(n->text);
    return 1;
}

uint32_t IpxInfoGatherer::GetDataBufLen() {
    if (cachedLength == 0)
        cachedLength = kFixedSize + databuf::TextsSize(addresses.get(), addressCount);
    return cachedLength;
}

uint32_t IpxInfoGatherer::FillDataBuf(uint8_t* buf) {
    uint32_t length = GetDataBufLen();
    databuf::WriteHeader(buf, length, GetUniquePacketID(), kBufferVersion);
    databuf::PutU32(buf, 12, addressCount);
    databuf::PutU32(buf, 16, kFixedSize);
    databuf::TextPacker texts(buf, kFixedSize, length);
    for (uint16_t i = 0; i < addressCount; ++i)
        texts.Put(addresses[i]);
    return 1;
}
