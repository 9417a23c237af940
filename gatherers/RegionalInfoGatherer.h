// "Regional Data": the machine's time zone as kmzhwnic.dll describes it,
// three texts and three numbers fetched once, in Init.
#pragma once
#include <cstdint>

#include "framework/Gatherer.h"
#include "platform/TimezoneLibrary.h"
#include "text/Str.h"

class RegionalInfoGatherer : public Gatherer {
public:
    static constexpr uint32_t kTextRoom = 80;

    // GetTimezoneInfo is found through TimezoneApi.
    RegionalInfoGatherer();

    using Gatherer::FillDataBuf;
    using Gatherer::GetDataBufLen;
    // Fetches once; 0 when the library cannot be loaded the first time.
    uint32_t Init() override;
    // Fixed by the first request after Init; before Init it is the length
    // of what is held then (no texts), and is not kept.
    uint32_t GetDataBufLen() override;
    // Never writes more than the length the host was last told: when that
    // was before Init, the texts are sent as absent until the host asks again.
    uint32_t FillDataBuf(uint8_t* buf) override;

private:
    uint32_t ContentLength() const;

    uint32_t bufLen = 0;
    int32_t number2 = 0;
    Str text1;
    int32_t number1 = 0;
    int32_t number3 = 0;
    Str text2;
    Str text3;
    // Set by the first Init; later ones do nothing. Per object: the module
    // holds one.
    uint32_t regionalInitDone = 0;
    uint32_t reportedLen = 0;  // the last length GetDataBufLen answered
};
