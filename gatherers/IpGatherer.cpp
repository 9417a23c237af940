#include "gatherers/IpGatherer.h"

#include <cstring>
#include <initializer_list>

#include "framework/DataBuf.h"
#include "probes/IpConfigProbe.h"

namespace {

// Where each table of the buffer starts: eight entries, one per adapter.
constexpr uint32_t kIpAddressSlots = 12;
constexpr uint32_t kHostNameSlots = 28;
constexpr uint32_t kDomainNameSlots = 44;
constexpr uint32_t kDefaultGatewaySlots = 60;
constexpr uint32_t kPrimaryDnsSlots = 76;
constexpr uint32_t kSecondaryDnsSlots = 92;
constexpr uint32_t kSubnetMaskSlots = 108;
constexpr uint32_t kReserved3Values = 124;
constexpr uint32_t kReserved4Values = 156;
constexpr uint32_t kReservedTextSlots = 188;
constexpr uint32_t kReserved1Values = 204;
constexpr uint32_t kReserved2Values = 236;

}  // namespace

IpGatherer::IpGatherer() : Gatherer("IPInfo", kPacketId) {}

uint32_t IpGatherer::Update() {
    for (uint32_t i = 0; i < kAdapters; ++i) {
        char ip[256], mask[256], host[256], domain[256], gateway[256], dns1[256], dns2[256], reserved[16];
        GetAdapterIpConfig(i, ip, mask, host, domain, gateway, dns1, dns2, reserved, &reserved1[i], &reserved2[i]);
        hostName[i].Assign(host);
        domainName[i].Assign(domain);
        primaryDns[i].Assign(dns1);
        secondaryDns[i].Assign(dns2);
        ipAddress[i].Assign(ip);
        defaultGateway[i].Assign(gateway);
        subnetMask[i].Assign(mask);
        reservedText[i].Assign(reserved);
        reserved4[i] = 0;
    }
    return 1;
}

uint32_t IpGatherer::GetDataBufLen() {
    uint32_t length = kFixedSize;
    for (const Str* texts : {ipAddress, hostName, domainName, defaultGateway, primaryDns, secondaryDns,
                             subnetMask, reservedText})
        length += databuf::TextsSize(texts, kAdapters);
    return length;
}

uint32_t IpGatherer::FillDataBuf(uint8_t* buf) {
    uint32_t length = GetDataBufLen();
    std::memset(buf, 0, length);
    databuf::WriteHeader(buf, length, GetUniquePacketID(), kBufferVersion);
    for (uint32_t i = 0; i < kAdapters; ++i) {
        databuf::PutU32(buf, kReserved3Values + 4 * i, reserved3[i]);
        databuf::PutU32(buf, kReserved4Values + 4 * i, reserved4[i]);
        databuf::PutU32(buf, kReserved1Values + 4 * i, reserved1[i]);
        databuf::PutU32(buf, kReserved2Values + 4 * i, reserved2[i]);
    }
    // Adapter by adapter, in this field order.
    struct Field {
        const Str* texts;
        uint32_t slots;
    };
    const Field fields[] = {
        {ipAddress, kIpAddressSlots},       {hostName, kHostNameSlots},         {domainName, kDomainNameSlots},
        {defaultGateway, kDefaultGatewaySlots}, {primaryDns, kPrimaryDnsSlots}, {secondaryDns, kSecondaryDnsSlots},
        {subnetMask, kSubnetMaskSlots},     {reservedText, kReservedTextSlots},
    };
    databuf::TextPacker packer(buf, kFixedSize, length);
    for (uint32_t i = 0; i < kAdapters; ++i)
        for (const Field& f : fields)
            databuf::PutU16(buf, f.slots + 2 * i, static_cast<uint16_t>(packer.Put(f.texts[i])));
    return 1;
}
