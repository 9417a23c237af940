// "WindowsUserInfo" (version 1): seven UTF-8 texts behind a 28-byte fixed
// part, with u16 offset slots at 14 to 26.
#include <cstddef>
#include <cstdint>

#include "decode/Decoders.h"
#include "decode/Reader.h"

void DecodeWindowsUserInfo(const uint8_t* data, size_t size, DecodeResult& out) {
    constexpr size_t kFixedSize = 28;
    struct Slot {
        const char* key;
        size_t offset;
    };
    const Slot slots[] = {{"userName", 14}, {"computerName", 16}, {"domain", 18},   {"workgroup", 26},
                          {"owner", 20},    {"organization", 22}, {"productId", 24}};
    Reader rd(data, size);
    uint16_t unused = rd.U16(12, "unused slot");
    if (rd.Ok() && size < kFixedSize)
        rd.Fail("buffer of " + std::to_string(size) + " bytes is shorter than the 28-byte fixed part");
    if (rd.Ok() && unused != 0)
        rd.Fail("offset 12 holds " + std::to_string(unused) + ", not 0");
    for (const Slot& s : slots)
        if (rd.Ok())
            AddSlotText(rd, out.fields, s.key, s.offset, kFixedSize);
    if (!rd.Ok())
        out.error = rd.Error();
}
