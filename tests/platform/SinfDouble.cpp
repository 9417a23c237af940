// Test double of the system information library. It appends to the file
// SINF_DOUBLE_FILE names (if any), which outlives it and its process: L loaded,
// I SINF_Init, C SINF_Close, U unloaded. SINF_Init answers the number in
// SINF_DOUBLE_INIT. Built three times: with SINF_Init, without it, and as
// KMZSYS32.DLL in a folder of its own for the unload tests.
#include <windows.h>

#include <cstdint>
#include <cstdlib>

#include "platform/Handles.h"

static void Record(char event) {
    char path[MAX_PATH] = {};
    DWORD len = GetEnvironmentVariableA("SINF_DOUBLE_FILE", path, sizeof path);
    ScopedHandle file(len == 0 || len >= sizeof path ? nullptr
                      : CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file)
        WriteFile(file.Get(), &event, 1, &written, nullptr);
}

#ifndef SINF_DOUBLE_WITHOUT_INIT
extern "C" uint32_t __stdcall SINF_Init() {
    Record('I');
    char buf[32] = {};
    GetEnvironmentVariableA("SINF_DOUBLE_INIT", buf, sizeof buf - 1);
    return static_cast<uint32_t>(std::strtoul(buf, nullptr, 0));
}
#endif

extern "C" uint32_t __stdcall SINF_Close() {
    Record('C');
    return 1;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH || reason == DLL_PROCESS_DETACH)
        Record(reason == DLL_PROCESS_ATTACH ? 'L' : 'U');
    return TRUE;
}
