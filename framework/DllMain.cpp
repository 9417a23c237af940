#include <windows.h>

#include "platform/DynamicLibrary.h"

// The module accepts every loader notification; its static objects are built
// and destroyed by the runtime around this routine (destroyed after it
// returns). At process exit (reserved != null) the companion libraries may
// already be detached: the destructors are told to leave them alone.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && reserved != nullptr)
        NoteProcessExit();
    return TRUE;
}
