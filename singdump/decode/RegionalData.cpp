// "Regional Data": three numbers and three texts with u32 offset slots. The
// names are what kmzhwnic.dll sends in each place.
#include <initializer_list>
#include <utility>

#include "decode/Decoders.h"
#include "decode/Reader.h"
#include "sdk/sing32.h"

void DecodeRegionalData(const uint8_t* data, size_t size, DecodeResult& out) {
    Reader rd(data, size);
    // Signed minutes, carried bit for bit.
    auto number = [&](const char* key, size_t off) {
        out.fields.AddSigned(key, static_cast<int32_t>(rd.U32(off, key)));
    };
    number("standardBias", SING_REGIONAL_STANDARD_BIAS);  // fifth parameter
    number("bias", SING_REGIONAL_BIAS);                   // fourth parameter
    number("daylightBias", SING_REGIONAL_DAYLIGHT_BIAS);  // sixth parameter
    for (auto [key, slot] : {std::pair{"standardName", SING_REGIONAL_STANDARD_NAME},
                             {"daylightName", SING_REGIONAL_DAYLIGHT_NAME}, {"utcOffset", SING_REGIONAL_UTC_OFFSET}})
        AddSlotText(rd, out.fields, key, slot, SING_REGIONAL_FIXED_SIZE, 4);
    if (!rd.Ok())
        out.error = rd.Error();
}
