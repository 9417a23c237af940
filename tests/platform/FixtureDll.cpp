// A minimal library for the loader tests.
#include <windows.h>

extern "C" __declspec(dllexport) int FixtureAnswer() { return 42; }

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
