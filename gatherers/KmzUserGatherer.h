// "KMZUserInfo": who sits at the machine and where, as an administrator wrote
// it into the profile file "kmzuser.ini" in the host's data directory. 26
// texts from the sections "LOCATION" and "USER", kept in UTF-8; the keys,
// their order and the buffer layout are those of sdk/sing32.h.
#pragma once
#include <cstdint>

#include "framework/Gatherer.h"
#include "sdk/sing32.h"
#include "text/Str.h"

class KmzUserGatherer : public Gatherer {
public:
    KmzUserGatherer();

    using Gatherer::FillDataBuf;
    using Gatherer::GetDataBufLen;
    using Gatherer::Update;
    // Reads the profile file; a key without a value keeps what an earlier
    // update read. Always 1.
    uint32_t Update() override;
    uint32_t GetDataBufLen() override;
    uint32_t FillDataBuf(uint8_t* buf) override;

    const Str& Value(uint32_t key) const { return values[key]; }

private:
    Str values[SING_KMZUSER_KEYS];
};
