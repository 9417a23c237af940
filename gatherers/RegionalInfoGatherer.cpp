#include "gatherers/RegionalInfoGatherer.h"

#include <cstring>
#include <initializer_list>

#include "framework/DataBuf.h"

RegionalInfoGatherer::RegionalInfoGatherer() : Gatherer("Regional Data", SING_REGIONAL_PACKET_ID) {}

uint32_t RegionalInfoGatherer::Init() {
    if (regionalInitDone)
        return 1;
    regionalInitDone = 1;  // first, so that a failure is never retried
    GetTimezoneInfoFn getTimezoneInfo = nullptr;
    if (!TimezoneApi::Current().Load(&getTimezoneInfo))
        return 0;
    if (getTimezoneInfo != nullptr) {
        char texts[3][kTextRoom];
        if (getTimezoneInfo(texts[0], texts[1], texts[2], &number1, &number2, &number3, kTextRoom) != 0) {
            // Bounded even if the library forgot a terminator.
            for (char* t : texts)
                t[kTextRoom - 1] = '\0';
            text1.Assign(texts[0]);
            text2.Assign(texts[1]);
            text3.Assign(texts[2]);
        }
    }
    for (Str* t : {&text1, &text2, &text3})
        if (t->CStr() != nullptr)
            t->ToUtf8();
    return 1;
}

uint32_t RegionalInfoGatherer::ContentLength() const {
    return SING_REGIONAL_FIXED_SIZE + text1.Length() + 1 + text2.Length() + 1 + text3.Length() + 1;
}

uint32_t RegionalInfoGatherer::GetDataBufLen() {
    uint32_t length = bufLen != 0 ? bufLen : ContentLength();
    if (regionalInitDone)
        bufLen = length;
    reportedLen = length;
    return length;
}

uint32_t RegionalInfoGatherer::FillDataBuf(uint8_t* buf) {
    uint32_t length = reportedLen != 0 ? reportedLen : GetDataBufLen();
    // Texts come only from Init, so a length told before Init is shorter
    // than the content: the texts are then sent as absent, as they were.
    bool withTexts = length >= ContentLength();
    std::memset(buf, 0, length);
    databuf::WriteHeader(buf, length, GetUniquePacketID(), SING_REGIONAL_VERSION);
    // The fifth, fourth and sixth parameters of GetTimezoneInfo.
    databuf::PutU32(buf, SING_REGIONAL_STANDARD_BIAS, static_cast<uint32_t>(number2));
    databuf::PutU32(buf, SING_REGIONAL_BIAS, static_cast<uint32_t>(number1));
    databuf::PutU32(buf, SING_REGIONAL_DAYLIGHT_BIAS, static_cast<uint32_t>(number3));
    databuf::TextPacker packer(buf, SING_REGIONAL_FIXED_SIZE, length);
    struct Text {
        const Str* text;
        uint32_t slot;
    };
    const Text texts[] = {{&text1, SING_REGIONAL_STANDARD_NAME},
                          {&text2, SING_REGIONAL_DAYLIGHT_NAME},
                          {&text3, SING_REGIONAL_UTC_OFFSET}};
    for (const Text& t : texts)
        databuf::PutU32(buf, t.slot, withTexts ? packer.Put(*t.text) : 0);
    return 1;
}
