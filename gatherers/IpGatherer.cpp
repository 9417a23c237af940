#include "gatherers/IpGatherer.h"

#include <cstring>
#include <initializer_list>

#include "framework/DataBuf.h"
#include "probes/IpConfigProbe.h"

IpGatherer::IpGatherer() : Gatherer("IPInfo", SING_IPINFO_PACKET_ID) {}

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
    uint32_t length = SING_IPINFO_FIXED_SIZE;
    for (const Str* texts : {ipAddress, hostName, domainName, defaultGateway, primaryDns, secondaryDns,
                             subnetMask, reservedText})
        length += databuf::TextsSize(texts, kAdapters);
    return length;
}

uint32_t IpGatherer::FillDataBuf(uint8_t* buf) {
    uint32_t length = GetDataBufLen();
    std::memset(buf, 0, length);
    databuf::WriteHeader(buf, length, GetUniquePacketID(), SING_IPINFO_VERSION);
    for (uint32_t i = 0; i < kAdapters; ++i) {
        databuf::PutU32(buf, SING_IPINFO_RESERVED3 + 4 * i, reserved3[i]);
        databuf::PutU32(buf, SING_IPINFO_RESERVED4 + 4 * i, reserved4[i]);
        databuf::PutU32(buf, SING_IPINFO_RESERVED1 + 4 * i, reserved1[i]);
        databuf::PutU32(buf, SING_IPINFO_RESERVED2 + 4 * i, reserved2[i]);
    }
    // Adapter by adapter, in this field order.
    struct Field {
        const Str* texts;
        uint32_t slots;
    };
    const Field fields[] = {
        {ipAddress, SING_IPINFO_IP_ADDRESS},       {hostName, SING_IPINFO_HOST_NAME},
        {domainName, SING_IPINFO_DOMAIN_NAME},     {defaultGateway, SING_IPINFO_DEFAULT_GATEWAY},
        {primaryDns, SING_IPINFO_PRIMARY_DNS},     {secondaryDns, SING_IPINFO_SECONDARY_DNS},
        {subnetMask, SING_IPINFO_SUBNET_MASK},     {reservedText, SING_IPINFO_RESERVED_TEXT},
    };
    databuf::TextPacker packer(buf, SING_IPINFO_FIXED_SIZE, length);
    for (uint32_t i = 0; i < kAdapters; ++i)
        for (const Field& f : fields)
            databuf::PutU16(buf, f.slots + 2 * i, static_cast<uint16_t>(packer.Put(f.texts[i])));
    return 1;
}
