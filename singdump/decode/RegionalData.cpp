// "Regional Data" version 1: three numbers and three texts with u32 offset
// slots. The names are what kmzhwnic.dll sends in each place.
#include "decode/Decoders.h"
#include "decode/Reader.h"

namespace {
constexpr size_t kFixedSize = 36;

void AddText32(Reader& rd, Node& into, const char* key, size_t slot) {
    uint32_t off = rd.U32(slot, key);
    if (!rd.Ok())
        return;
    if (off == 0) {
        into.AddMissing(key);
        return;
    }
    std::string text = rd.Text(off, kFixedSize, key);
    if (rd.Ok())
        into.AddText(key, text);
}
}  // namespace

void DecodeRegionalData(const uint8_t* data, size_t size, DecodeResult& out) {
    Reader rd(data, size);
    // Signed minutes, carried bit for bit.
    auto number = [&](const char* key, size_t off) {
        out.fields.AddSigned(key, static_cast<int32_t>(rd.U32(off, key)));
    };
    number("standardBias", 12);  // fifth parameter
    number("bias", 16);          // fourth parameter
    number("daylightBias", 20);  // sixth parameter
    AddText32(rd, out.fields, "standardName", 24);
    AddText32(rd, out.fields, "daylightName", 28);
    AddText32(rd, out.fields, "utcOffset", 32);
    if (!rd.Ok())
        out.error = rd.Error();
}
