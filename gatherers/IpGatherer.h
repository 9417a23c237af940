// "IPInfo": the TCP/IP configuration of adapter indices 0 to 7, texts sent
// as the probe delivers them (local code page, not converted).
#pragma once
#include <cstdint>

#include "framework/Gatherer.h"
#include "sdk/sing32.h"
#include "text/Str.h"

class IpGatherer : public Gatherer {
public:
    static constexpr uint32_t kAdapters = SING_IPINFO_ADAPTERS;

    IpGatherer();
    ~IpGatherer() = default;

    using Gatherer::FillDataBuf;
    using Gatherer::GetDataBufLen;
    using Gatherer::Update;
    // Probes every adapter index; always 1.
    uint32_t Update() override;
    uint32_t GetDataBufLen() override;
    uint32_t FillDataBuf(uint8_t* buf) override;

private:
    Str ipAddress[kAdapters];
    Str hostName[kAdapters];
    Str domainName[kAdapters];
    Str defaultGateway[kAdapters];
    Str primaryDns[kAdapters];
    Str secondaryDns[kAdapters];
    Str subnetMask[kAdapters];
    Str reservedText[kAdapters];
    uint32_t reserved1[kAdapters] = {};
    uint32_t reserved2[kAdapters] = {};
    uint32_t reserved3[kAdapters] = {};
    uint32_t reserved4[kAdapters] = {};
};
