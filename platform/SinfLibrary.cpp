#include "platform/SinfLibrary.h"

namespace {

const char* const kNames[] = {
#define SINF_NAME(name) #name,
    SINF_ENTRY_POINTS(SINF_NAME)
#undef SINF_NAME
};
static_assert(sizeof kNames / sizeof kNames[0] == SinfLibrary::kEntryPointCount);
static_assert(SinfLibrary::kEntryPointCount == 32);

using InitFn = decltype(&SINF_Init);
using CloseFn = decltype(&SINF_Close);

template <typename Fn>
Fn As(FARPROC p) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(p));
}

}  // namespace

const char* SinfLibrary::EntryPointName(EntryPoint e) { return e < kEntryPointCount ? kNames[e] : nullptr; }

SinfLibrary::SinfLibrary(const char* libraryName) : DynamicLibrary(libraryName) {
    if (!IsLoaded())
        return;
    for (uint32_t i = 0; i < kEntryPointCount; ++i)
        entryPoints[i] = GetProc(kNames[i]);
    if (InitFn init = As<InitFn>(entryPoints[e_SINF_Init]))
        initResult = init();
}

// Runs before the DynamicLibrary part unloads the library; at process exit
// the library may already be detached, so it is not called then.
SinfLibrary::~SinfLibrary() {
    if (initResult == 0 || ProcessIsExiting())
        return;
    if (CloseFn close = As<CloseFn>(entryPoints[e_SINF_Close]))
        close();
}
