#include "platform/DynamicLibrary.h"

#include <cstring>
#include <new>

namespace {
bool processExiting = false;
}  // namespace

void NoteProcessExit() noexcept { processExiting = true; }
bool ProcessIsExiting() noexcept { return processExiting; }

HMODULE LoadLibraryQuietly(const char* libraryName) {
    // The name goes to the loader unchanged: the standard search order
    // decides where the library comes from.
    UINT saved = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA(libraryName);
    SetErrorMode(saved);
    return module;
}

DynamicLibrary::DynamicLibrary(const char* name) {
    if (name == nullptr)
        return;
    // Without memory for the copy of its name, no library is held, as
    // with a null name.
    size_t size = std::strlen(name) + 1;
    libraryName = new (std::nothrow) char[size];
    if (libraryName == nullptr)
        return;
    std::memcpy(libraryName, name, size);
    module.Reset(LoadLibraryQuietly(libraryName));
}

DynamicLibrary::~DynamicLibrary() {
    delete[] libraryName;
    // At process exit the library may already be detached: it is left as it is.
    if (ProcessIsExiting())
        module.Take();
}

FARPROC DynamicLibrary::GetProc(const char* procName) const {
    if (!module)
        return nullptr;
    return GetProcAddress(module.Get(), procName);
}
