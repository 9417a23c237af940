// "IPInfo": the TCP/IP configuration of adapter indices 0 to 7, texts sent
// as the probe delivers them (local code page, not converted).
#pragma once
#include <cstdint>

#include "framework/Gatherer.h"
#include "text/Str.h"

class IpGatherer : public Gatherer {
public:
    static constexpr uint32_t kPacketId = 0xABACAB02;
    static constexpr uint32_t kBufferVersion = 3;
    static constexpr uint32_t kAdapters = 8;
    static constexpr uint32_t kFixedSize = 268;

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
