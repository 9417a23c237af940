// The time-zone entry point of the network hardware library kmzhwnic.dll,
// behind the time-zone gatherer's test seam.
#pragma once
#include "kmzhwnic.h"
#include "platform/Seam.h"

using GetTimezoneInfoFn = decltype(&GetTimezoneInfo);

class TimezoneApi : public Seam<TimezoneApi> {
public:
    virtual ~TimezoneApi() = default;
    // Loads kmzhwnic.dll quietly by its file name (it stays loaded) and looks
    // GetTimezoneInfo up. False (and a null `fn`) when the library cannot be
    // loaded; true with a null `fn` when it lacks the entry point.
    virtual bool Load(GetTimezoneInfoFn* fn);
};
template <> TimezoneApi* Seam<TimezoneApi>::real;
template <> TimezoneApi* Seam<TimezoneApi>::current;
