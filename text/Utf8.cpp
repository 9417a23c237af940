#include "text/Utf8.h"

namespace utf8 {

uint32_t EncodedSize(const uint16_t* units, uint32_t n) {
    uint32_t size = 0;
    for (uint32_t i = 0; i < n; ++i)
        size += units[i] < 0x80 ? 1 : units[i] < 0x800 ? 2 : 3;
    return size;
}

uint32_t Encode(const uint16_t* units, uint32_t n, char* out) {
    uint32_t w = 0;
    for (uint32_t i = 0; i < n; ++i) {
        uint16_t u = units[i];
        if (u < 0x80) {
            out[w++] = static_cast<char>(u);
        } else if (u < 0x800) {
            out[w++] = static_cast<char>(0xC0 + ((u >> 6) & 0x1F));
            out[w++] = static_cast<char>(0x80 + (u & 0x3F));
        } else {
            out[w++] = static_cast<char>(0xE0 + ((u >> 12) & 0x0F));
            out[w++] = static_cast<char>(0x80 + ((u >> 6) & 0x3F));
            out[w++] = static_cast<char>(0x80 + (u & 0x3F));
        }
    }
    return w;
}

}  // namespace utf8
