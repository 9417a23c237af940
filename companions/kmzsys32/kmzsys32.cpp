// System information library. SINF_Init and SINF_Close keep a count of the
// callers that initialised the library; the queries answer
// SINF_NOT_AVAILABLE because this build reads no firmware or bus tables.
#include <windows.h>

#include "kmzsys32.h"

namespace {
LONG initCount = 0;
}

extern "C" uint32_t __stdcall SINF_Init() {
    InterlockedIncrement(&initCount);
    return 1;
}

// 1 when it ends an earlier SINF_Init, 0 when nothing was initialised.
extern "C" uint32_t __stdcall SINF_Close() {
    for (;;) {
        LONG n = initCount;
        if (n <= 0)
            return 0;
        if (InterlockedCompareExchange(&initCount, n - 1, n) == n)
            return 1;
    }
}

#define SINF_UNAVAILABLE(name) \
    extern "C" uint32_t __stdcall name() { return SINF_NOT_AVAILABLE; }
SINF_QUERIES(SINF_UNAVAILABLE)
#undef SINF_UNAVAILABLE

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
