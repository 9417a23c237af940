// A companion library loaded at run time by file name, quietly: Windows shows
// no error box while it is looked for, and a missing library leaves the
// object empty.
#pragma once
#include <windows.h>

#include <cstdint>

// LoadLibraryA(name) with Windows' error boxes switched off for the call;
// the standard search order applies. Null when the library is not found.
HMODULE LoadLibraryQuietly(const char* libraryName);

class DynamicLibrary {
public:
    explicit DynamicLibrary(const char* libraryName);
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    uint32_t IsLoaded() const { return module != nullptr ? 1 : 0; }
    // Null when nothing is loaded or the library lacks the name.
    FARPROC GetProc(const char* procName) const;
    const char* LibraryName() const { return libraryName; }

private:
    HMODULE module = nullptr;
    char* libraryName = nullptr;
};
