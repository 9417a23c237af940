#include <windows.h>

#include "RuntimeRelease.h"

// The module accepts every loader notification; its static objects are built
// and destroyed by the runtime around this routine. On FreeLibrary (reserved
// == null) the statically linked runtime's pool and locks are released, so
// that load/unload cycles of the library lose nothing; at process exit
// nothing needs freeing.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr)
        ReleaseRuntimeObjects();
    return TRUE;
}
