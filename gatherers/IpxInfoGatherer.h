// "IPX Data": the network:node address of every IPX adapter.
#pragma once
#include <cstdint>
#include <memory>

#include "framework/Gatherer.h"
#include "text/Str.h"

class IpxInfoGatherer : public Gatherer {
public:
    IpxInfoGatherer();

    using Gatherer::FillDataBuf;
    using Gatherer::GetDataBufLen;
    using Gatherer::Update;
    // Replaces the list when the transport names at least one address and
    // keeps the previous one otherwise.
    uint32_t Update() override;
    uint32_t GetDataBufLen() override;
    // Writes every byte up to the length; the buffer need not be cleared.
    uint32_t FillDataBuf(uint8_t* buf) override;

private:
    std::unique_ptr<Str[]> addresses;
    uint16_t addressCount = 0;
    uint32_t cachedLength = 0;
};
