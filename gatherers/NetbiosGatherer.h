// "NETBIOSInfo": station address, adapter type and description of up to
// eight network cards.
#pragma once
#include <cstdint>

#include "framework/Gatherer.h"
#include "sdk/sing32.h"
#include "text/Str.h"

class NetbiosGatherer : public Gatherer {
public:
    static constexpr uint32_t kCards = SING_NETBIOS_CARDS;

    NetbiosGatherer();

    using Gatherer::FillDataBuf;
    using Gatherer::GetDataBufLen;
    using Gatherer::Update;
    uint32_t Update() override;
    uint32_t GetDataBufLen() override;
    uint32_t FillDataBuf(uint8_t* buf) override;

private:
    Str adapterAddress[kCards];
    Str description[kCards];
    uint32_t adapterType[kCards] = {};
};
