#include <windows.h>

#include "RuntimeRelease.h"

// On FreeLibrary the runtime's lazily created locks go with the module.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr)
        ReleaseRuntimeObjects();
    return TRUE;
}
