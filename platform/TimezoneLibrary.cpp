#include "platform/TimezoneLibrary.h"

#include "platform/HwNicLibrary.h"

namespace {
TimezoneApi realTimezone;
}  // namespace

template <> TimezoneApi* Seam<TimezoneApi>::real = &realTimezone;
template <> TimezoneApi* Seam<TimezoneApi>::current = &realTimezone;

bool TimezoneApi::Load(GetTimezoneInfoFn* fn) {
    *fn = nullptr;
    HMODULE module = HwNicModule();
    if (module == nullptr)
        return false;
    *fn = HwNicEntry<GetTimezoneInfoFn>(module, "GetTimezoneInfo");
    return true;
}
