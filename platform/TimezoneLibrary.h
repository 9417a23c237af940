// The time-zone entry point of the network hardware library kmzhwnic.dll.
#pragma once
#include "kmzhwnic.h"

using GetTimezoneInfoFn = decltype(&GetTimezoneInfo);

// Loads kmzhwnic.dll quietly by its file name and looks GetTimezoneInfo up.
// False (and a null `fn`) when the library cannot be loaded; true with a null
// `fn` when it lacks the entry point. The library stays loaded.
bool LoadTimezoneInfo(GetTimezoneInfoFn* fn);
