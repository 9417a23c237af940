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

#include <cstdio>

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

    long offset = -(static_cast<long>(tz.Bias) + tz.StandardBias);
    char sign = offset < 0 ? '-' : '+';
    if (offset < 0)
        offset = -offset;
    std::snprintf(text3, size, "UTC%c%02ld:%02ld", sign, offset / 60, offset % 60);

    if (number1 != nullptr)
        *number1 = tz.Bias;
    if (number2 != nullptr)
        *number2 = tz.StandardBias;
    if (number3 != nullptr)
        *number3 = tz.DaylightBias;
    return 1;
}
