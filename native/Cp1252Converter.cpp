// Native stand-in for the conversion library: Windows-1252 to UTF-16, so that
// the OS-independent text code runs on Linux under the sanitizers with the
// same results as under a 1252 Windows locale.
#include <cstdint>
#include <cstring>

#include "kmzucd32.h"

namespace {
// 0x80..0x9F of Windows-1252; 0 marks the five unassigned bytes, which
// Windows maps to the same code points.
const uint16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                            0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

uint16_t Unit(unsigned char c) {
    if (c >= 0x80 && c < 0xA0 && kHigh[c - 0x80] != 0)
        return kHigh[c - 0x80];
    return c;
}
}  // namespace

extern "C" uint32_t VXConvertLocalToUnicode(const char* source, uint16_t* destination, uint32_t destinationUnits,
                                            uint32_t, uint32_t) {
    if (source == nullptr)
        return 0;
    uint32_t n = static_cast<uint32_t>(std::strlen(source)) + 1;
    if (destination == nullptr)
        return n;
    if (destinationUnits < n)
        return 0;
    for (uint32_t i = 0; i < n; ++i)
        destination[i] = Unit(static_cast<unsigned char>(source[i]));
    return n;
}
