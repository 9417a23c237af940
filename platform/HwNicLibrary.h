// The network hardware library kmzhwnic.dll, loaded quietly by its file name
// for the time-zone gatherer and the NT 4 TCP/IP probe. The module keeps one
// reference to it and never unloads it: not from the loader's notification
// when this module unloads, and not at process exit.
#pragma once
#include <windows.h>

#include "kmzhwnic.h"

using InitHardwareNicFn = decltype(&InitHardwareNIC);
using GetIpAddressInfoFn = decltype(&GetIpAddressInfo);

// The library, loaded on the first call (and tried again while it is
// missing); null when it cannot be loaded.
HMODULE HwNicModule();
// Loads the library once more (a new load, as each NT 4 probe makes) and then
// drops the reference of the previous load, so that one stays held. Null
// when it cannot be loaded.
HMODULE ReloadHwNicModule();

// The entry point `name` of a loaded library as the function type Fn; null
// when the library lacks it.
template <typename Fn>
Fn HwNicEntry(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
