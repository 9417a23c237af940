#include "platform/TimezoneLibrary.h"

#include "platform/HwNicLibrary.h"

bool LoadTimezoneInfo(GetTimezoneInfoFn* fn) {
    *fn = nullptr;
    HMODULE module = HwNicModule();
    if (module == nullptr)
        return false;
    *fn = HwNicEntry<GetTimezoneInfoFn>(module, "GetTimezoneInfo");
    return true;
}
