// "WindowsUserInfo": seven UTF-8 texts behind the fixed part, with u16
// offset slots; the slot before them is always 0.
#include <cstddef>
#include <cstdint>

#include "decode/Decoders.h"
#include "decode/Reader.h"
#include "sdk/sing32.h"

void DecodeWindowsUserInfo(const uint8_t* data, size_t size, DecodeResult& out) {
    struct Slot {
        const char* key;
        size_t offset;
    };
    const Slot slots[] = {{"userName", SING_WINUSER_USER_NAME},   {"computerName", SING_WINUSER_COMPUTER_NAME},
                          {"domain", SING_WINUSER_DOMAIN},        {"workgroup", SING_WINUSER_WORKGROUP},
                          {"owner", SING_WINUSER_OWNER},          {"organization", SING_WINUSER_ORGANIZATION},
                          {"productId", SING_WINUSER_PRODUCT_ID}};
    Reader rd(data, size);
    uint16_t unused = rd.U16(SING_WINUSER_UNUSED, "unused slot");
    if (rd.Ok() && size < SING_WINUSER_FIXED_SIZE)
        rd.Fail("buffer of " + std::to_string(size) + " bytes is shorter than the " +
                std::to_string(SING_WINUSER_FIXED_SIZE) + "-byte fixed part");
    if (rd.Ok() && unused != 0)
        rd.Fail("offset " + std::to_string(SING_WINUSER_UNUSED) + " holds " + std::to_string(unused) + ", not 0");
    for (const Slot& s : slots)
        if (rd.Ok())
            AddSlotText(rd, out.fields, s.key, s.offset, SING_WINUSER_FIXED_SIZE);
    if (!rd.Ok())
        out.error = rd.Error();
}
