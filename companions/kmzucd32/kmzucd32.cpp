// Conversion library: local (active ANSI) code page to UTF-16.
#include <windows.h>

#include <climits>

#include "kmzucd32.h"

extern "C" uint32_t __stdcall VXConvertLocalToUnicode(const char* source, uint16_t* destination,
                                                      uint32_t destinationUnits, uint32_t, uint32_t) {
    if (source == nullptr)
        return 0;
    if (destination == nullptr) {
        int n = MultiByteToWideChar(CP_ACP, 0, source, -1, nullptr, 0);
        return n > 0 ? static_cast<uint32_t>(n) : 0;
    }
    if (destinationUnits == 0)
        return 0;
    int room = destinationUnits > INT_MAX ? INT_MAX : static_cast<int>(destinationUnits);
    int n = MultiByteToWideChar(CP_ACP, 0, source, -1, reinterpret_cast<wchar_t*>(destination), room);
    return n > 0 ? static_cast<uint32_t>(n) : 0;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
