#include "platform/DynamicLibrary.h"

#include <cstring>

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
    size_t size = std::strlen(name) + 1;
    libraryName = new char[size];
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
