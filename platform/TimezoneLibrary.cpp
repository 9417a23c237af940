#include "platform/TimezoneLibrary.h"

#include "platform/DynamicLibrary.h"

namespace {
// Loaded once and never unloaded, also not when this module unloads (no
// FreeLibrary from inside the loader's notification). A plain handle at
// namespace scope, not a guarded function-local static: the runtime's guard
// objects for such a static outlive every unload of this module.
HMODULE timezoneLibrary = nullptr;
}  // namespace

bool LoadTimezoneInfo(GetTimezoneInfoFn* fn) {
    *fn = nullptr;
    if (timezoneLibrary == nullptr)
        timezoneLibrary = LoadLibraryQuietly("kmzhwnic.dll");
    if (timezoneLibrary == nullptr)
        return false;
    *fn = reinterpret_cast<GetTimezoneInfoFn>(
        reinterpret_cast<void*>(GetProcAddress(timezoneLibrary, "GetTimezoneInfo")));
    return true;
}
