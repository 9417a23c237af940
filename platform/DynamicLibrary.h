// A companion library loaded at run time by file name, quietly: Windows shows
// no error box while it is looked for, and a missing library leaves the
// object empty.
#pragma once
#include <windows.h>

#include <cstdint>

#include "platform/Handles.h"

// Set from DllMain when the process exits (DLL_PROCESS_DETACH with a
// non-null reserved argument). The libraries this module holds may already
// be detached by then, so its destructors must neither call into them nor
// unload them; only a FreeLibrary of this module lets them do so.
void NoteProcessExit() noexcept;
bool ProcessIsExiting() noexcept;

// LoadLibraryA(name) with Windows' error boxes switched off for the call;
// the standard search order applies. Null when the library is not found.
HMODULE LoadLibraryQuietly(const char* libraryName);

// Unloads the library in its destructor, except while the process exits.
class DynamicLibrary {
public:
    explicit DynamicLibrary(const char* libraryName);
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    uint32_t IsLoaded() const { return module.Valid() ? 1 : 0; }
    // Null when nothing is loaded or the library lacks the name.
    FARPROC GetProc(const char* procName) const;
    const char* LibraryName() const { return libraryName; }

private:
    ScopedModule module;
    char* libraryName = nullptr;
};
