#include <windows.h>

namespace __gnu_cxx {
void __freeres() noexcept;  // libstdc++: frees the runtime's emergency exception pool
}

// The module accepts every loader notification; its static objects are built
// and destroyed by the runtime around this routine.
//
// The statically linked C++ runtime allocates an emergency exception pool when
// the module loads and never frees it, so every load/unload cycle of the
// library would lose that block. On FreeLibrary (reserved == null) the pool is
// released here; at process exit nothing needs freeing.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr)
        __gnu_cxx::__freeres();
    return TRUE;
}
