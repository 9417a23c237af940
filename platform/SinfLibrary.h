// The binding to the system information library KMZSYS32.DLL: loads it
// quietly, resolves its 32 SINF_ entry points and calls SINF_Init; at the end
// calls SINF_Close (only when SINF_Init answered non-zero) before the library
// is unloaded. A missing library or entry point is silent.
#pragma once
#include <windows.h>

#include <cstdint>

#include "kmzsys32.h"
#include "platform/DynamicLibrary.h"

constexpr const char* kSinfLibraryName = "KMZSYS32.DLL";

class SinfLibrary : public DynamicLibrary {
public:
    enum EntryPoint : uint32_t {
#define SINF_ENUM(name) e_##name,
        SINF_ENTRY_POINTS(SINF_ENUM)
#undef SINF_ENUM
        kEntryPointCount
    };

    explicit SinfLibrary(const char* libraryName);
    ~SinfLibrary();

    uint32_t InitResult() const { return initResult; }
    // The entry point's address; null when the library is absent or lacks it.
    FARPROC Address(EntryPoint e) const { return e < kEntryPointCount ? entryPoints[e] : nullptr; }
    static const char* EntryPointName(EntryPoint e);

private:
    uint32_t initResult = 0;
    FARPROC entryPoints[kEntryPointCount] = {};
};
