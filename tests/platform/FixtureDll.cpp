// A minimal library without SING32's exports, for singdump's command-line
// check (tests/singdump/check_cli.py). When SING_FIXTURE_DETACH_LOG names
// a file, its detach writes there how it was unloaded: "free" (FreeLibrary)
// or "exit" (still loaded when the process ended).
#include <windows.h>

#include "platform/Handles.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason != DLL_PROCESS_DETACH)
        return TRUE;
    char path[MAX_PATH] = {};
    DWORD len = GetEnvironmentVariableA("SING_FIXTURE_DETACH_LOG", path, sizeof path);
    if (len == 0 || len >= sizeof path)
        return TRUE;
    ScopedHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file)
        WriteFile(file.Get(), reserved == nullptr ? "free" : "exit", 4, &written, nullptr);
    return TRUE;
}
