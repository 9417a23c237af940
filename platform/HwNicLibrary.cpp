#include "platform/HwNicLibrary.h"

#include "platform/DynamicLibrary.h"

namespace {
constexpr char kHwNicName[] = "kmzhwnic.dll";
// A plain handle at namespace scope, not a guarded function-local static:
// the runtime's guard objects for such a static outlive every unload of
// this module.
HMODULE hwNicModule = nullptr;
}  // namespace

HMODULE HwNicModule() {
    if (hwNicModule == nullptr)
        hwNicModule = LoadLibraryQuietly(kHwNicName);
    return hwNicModule;
}

HMODULE ReloadHwNicModule() {
    HMODULE previous = hwNicModule;
    hwNicModule = LoadLibraryQuietly(kHwNicName);
    // After the new load, so the library never unloads while it is in use.
    if (previous != nullptr)
        FreeLibrary(previous);
    return hwNicModule;
}
