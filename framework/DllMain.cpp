#include <windows.h>

// The module accepts every loader notification; its static objects are built
// and destroyed by the runtime around this routine.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
