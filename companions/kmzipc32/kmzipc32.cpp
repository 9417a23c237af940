// Process support library: Windows family queries and message blocks.
//
// The version comes from RtlGetVersion, which reports the real version even
// where GetVersionEx is made to lie to programs without a compatibility
// manifest (Windows 8.1 and later). GetVersionEx is only the fall-back for a
// system without it.
#include <windows.h>

#include "kmzipc32.h"

namespace {

bool RealVersion(OSVERSIONINFOW& info) {
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll != nullptr) {
        auto fn = reinterpret_cast<RtlGetVersionFn>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
        if (fn != nullptr && fn(&info) == 0)
            return true;
    }
    return GetVersionExW(&info) != FALSE;
}

}  // namespace

extern "C" uint32_t __stdcall IsWinNT() {
    OSVERSIONINFOW info;
    return RealVersion(info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT ? 1 : 0;
}

extern "C" uint32_t __stdcall IsWinNT5() {
    OSVERSIONINFOW info;
    return RealVersion(info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT &&
                   info.dwMajorVersion >= 5
               ? 1
               : 0;
}

extern "C" void* __stdcall AllocateMessage(uint32_t size) {
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size == 0 ? 1 : size);
}

extern "C" uint32_t __stdcall FreeMessage(void* message) {
    if (message == nullptr)
        return 0;
    return HeapFree(GetProcessHeap(), 0, message) ? 1 : 0;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
