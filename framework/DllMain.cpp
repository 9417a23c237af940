#include <windows.h>

#include "platform/DynamicLibrary.h"
#include "platform/RuntimeRelease.h"

// The module accepts every loader notification; its static objects are built
// and destroyed by the runtime around this routine (destroyed after it
// returns). On FreeLibrary (reserved == null) the statically linked
// runtime's pool and locks are released, so that load/unload cycles of the
// library lose nothing. At process exit nothing needs freeing, and the
// companion libraries may already be detached: the destructors are told to
// leave them alone.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason != DLL_PROCESS_DETACH)
        return TRUE;
    if (reserved == nullptr)
        ReleaseRuntimeObjects();
    else
        NoteProcessExit();
    return TRUE;
}
