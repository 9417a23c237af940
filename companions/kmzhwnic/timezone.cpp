// Time-zone entry point: the machine's time-zone settings as three texts and
// three numbers.
//   text1    the standard-time name, e.g. "W. Europe Standard Time"
//   text2    the daylight-time name, e.g. "W. Europe Daylight Time"
//   text3    the standard offset from UTC, "UTC+01:00" (sign, hours, minutes)
//   number1  the bias in minutes (UTC = local time + bias), e.g. -60
//   number2  the standard bias in minutes, added to the bias in standard time
//   number3  the daylight bias in minutes, added to the bias in daylight time
// Texts are in the active ANSI code page and cut to fit `size` bytes.
#include <windows.h>

#include <cstring>

#include "kmzhwnic.h"

namespace {

// Converts a UTF-16 name to the ANSI code page into out[size], dropping whole
// characters from the end until it fits.
void PutName(const WCHAR* name, char* out, uint32_t size) {
    // With no room the conversion would only measure; nothing to convert into.
    if (size < 2) {
        out[0] = '\0';
        return;
    }
    int units = lstrlenW(name);
    for (; units > 0; --units) {
        int n = WideCharToMultiByte(CP_ACP, 0, name, units, out, static_cast<int>(size) - 1, nullptr, nullptr);
        if (n > 0) {
            out[n] = '\0';
            return;
        }
        // Keep a surrogate pair together when shortening.
        if (units >= 2 && name[units - 1] >= 0xDC00 && name[units - 1] <= 0xDFFF)
            --units;
    }
    out[0] = '\0';
}

// The decimal digits of v, at least two.
char* PutTwoDigitsOrMore(char* p, unsigned long long v) {
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    if (n < 2)
        digits[n++] = '0';
    while (n > 0)
        *p++ = digits[--n];
    return p;
}

// "UTC+hh:mm" (or "UTC-hh:mm") into out[size], cut to fit.
void PutUtcOffset(long long minutes, char* out, uint32_t size) {
    char text[64] = "UTC";
    char* p = text + 3;
    *p++ = minutes < 0 ? '-' : '+';
    unsigned long long magnitude =
        minutes < 0 ? 0ull - static_cast<unsigned long long>(minutes) : static_cast<unsigned long long>(minutes);
    p = PutTwoDigitsOrMore(p, magnitude / 60);
    *p++ = ':';
    p = PutTwoDigitsOrMore(p, magnitude % 60);
    size_t length = static_cast<size_t>(p - text);
    if (length > size - 1)
        length = size - 1;
    std::memcpy(out, text, length);
    out[length] = '\0';
}

}  // namespace

extern "C" uint32_t __stdcall GetTimezoneInfo(char* text1, char* text2, char* text3, int32_t* number1,
                                              int32_t* number2, int32_t* number3, uint32_t size) {
    if (text1 == nullptr || text2 == nullptr || text3 == nullptr || size == 0 || size > 0x7FFFFFFF)
        return 0;
    TIME_ZONE_INFORMATION tz;
    if (GetTimeZoneInformation(&tz) == TIME_ZONE_ID_INVALID)
        return 0;
    tz.StandardName[31] = L'\0';
    tz.DaylightName[31] = L'\0';
    PutName(tz.StandardName, text1, size);
    PutName(tz.DaylightName, text2, size);

    PutUtcOffset(-(static_cast<long long>(tz.Bias) + tz.StandardBias), text3, size);

    if (number1 != nullptr)
        *number1 = tz.Bias;
    if (number2 != nullptr)
        *number2 = tz.StandardBias;
    if (number3 != nullptr)
        *number3 = tz.DaylightBias;
    return 1;
}
