// The statically linked runtime allocates its emergency exception pool when
// the module loads and never frees it. The one of the win32-threads compilers
// also creates a few process-wide objects on first use and never gives them
// back:
//   - the unwinder's lock over its list of registered unwind tables (a
//     semaphore; 32-bit builds register their tables whenever the module
//     loads);
//   - the emulated thread-local storage's lock (a semaphore) and its TLS
//     index (on the first exception thrown, whose state lives there).
// That is harmless in a program, but every load/unload cycle of a DLL loses
// the pool, one handle per lock, and a process has only 1088 TLS indexes: after about a
// thousand cycles with an exception each, the runtime's TlsAlloc fails and it
// aborts the host. The build links copies of those two runtime objects whose
// CreateSemaphoreW and TlsAlloc calls come here instead (see
// cmake/RuntimeRelease.cmake), so the module can release them on unload.
#include "RuntimeRelease.h"

#include <windows.h>

namespace __gnu_cxx {
void __freeres() noexcept;  // libstdc++: frees the emergency exception pool
}

namespace {

// A handful is plenty: the runtime makes at most one of each per module.
constexpr LONG kSlots = 8;
HANDLE g_semaphores[kSlots];
LONG g_semaphoreCount;
DWORD g_tlsIndexes[kSlots];
LONG g_tlsCount;

HANDLE WINAPI CreateRuntimeSemaphore(LPSECURITY_ATTRIBUTES attributes, LONG initial, LONG maximum,
                                     LPCWSTR name) {
    HANDLE h = CreateSemaphoreW(attributes, initial, maximum, name);
    if (h) {
        LONG slot = InterlockedIncrement(&g_semaphoreCount) - 1;
        if (slot < kSlots)
            g_semaphores[slot] = h;
    }
    return h;
}

DWORD WINAPI AllocRuntimeTls() {
    DWORD index = TlsAlloc();
    if (index != TLS_OUT_OF_INDEXES) {
        LONG slot = InterlockedIncrement(&g_tlsCount) - 1;
        if (slot < kSlots)
            g_tlsIndexes[slot] = index;
    }
    return index;
}

}  // namespace

// The import-table entries the patched runtime objects call through.
#if defined(_WIN64)
#define SING_IMPORT(name, decorated) __asm__("__imp_" #name)
#else
#define SING_IMPORT(name, decorated) __asm__("__imp__" #name decorated)
#endif
extern "C" {
extern decltype(&CreateRuntimeSemaphore) const sing_runtime_semaphore_import
    SING_IMPORT(SingRuntimeCreateSemaphore, "@16");
extern decltype(&AllocRuntimeTls) const sing_runtime_tls_import SING_IMPORT(SingRuntimeTlsAlloc, "@0");
decltype(&CreateRuntimeSemaphore) const sing_runtime_semaphore_import = &CreateRuntimeSemaphore;
decltype(&AllocRuntimeTls) const sing_runtime_tls_import = &AllocRuntimeTls;
}

// Runs from DllMain on FreeLibrary, after the runtime's thread-exit callbacks
// have freed this thread's emulated TLS block and before the unwinder takes
// its lock (uncontended, so without waiting on the semaphore) one last time
// to drop this module's tables. No other thread may be running this module's
// code at that point.
void ReleaseRuntimeObjects() noexcept {
    __gnu_cxx::__freeres();
    LONG n = g_semaphoreCount < kSlots ? g_semaphoreCount : kSlots;
    for (LONG i = 0; i < n; ++i)
        CloseHandle(g_semaphores[i]);
    g_semaphoreCount = 0;
    n = g_tlsCount < kSlots ? g_tlsCount : kSlots;
    for (LONG i = 0; i < n; ++i)
        TlsFree(g_tlsIndexes[i]);
    g_tlsCount = 0;
}
