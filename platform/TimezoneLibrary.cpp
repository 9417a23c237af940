#include "platform/TimezoneLibrary.h"

#include "platform/DynamicLibrary.h"

bool LoadTimezoneInfo(GetTimezoneInfoFn* fn) {
    *fn = nullptr;
    // Never unloaded, also not when this module unloads: no FreeLibrary from
    // inside the loader's notification.
    static DynamicLibrary* library = new DynamicLibrary("kmzhwnic.dll");
    if (!library->IsLoaded())
        return false;
    *fn = reinterpret_cast<GetTimezoneInfoFn>(reinterpret_cast<void*>(library->GetProc("GetTimezoneInfo")));
    return true;
}
