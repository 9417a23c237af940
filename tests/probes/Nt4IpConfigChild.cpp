// Child program for the Windows NT 4 TCP/IP tests, started with Wine's
// per-program version set to NT 4.0:
//   sing_nt4_ipconfig.exe HIVE DLLDIR INDEX...
// HIVE: the parent's scratch key under HKEY_CURRENT_USER, which becomes this
// process's HKEY_LOCAL_MACHINE. DLLDIR: the folder kmzhwnic.dll is taken
// from, or "-" for none (the search path is cut down to the system folder).
// Prints one line per index: key=value fields separated by '|'.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>

#include "kmzipc32.h"
#include "platform/Handles.h"
#include "probes/IpConfigProbe.h"

namespace {

std::string CallsOfLoadedLibrary() {
    HMODULE m = GetModuleHandleA("kmzhwnic.dll");
    if (m == nullptr)
        return "";
    auto calls = reinterpret_cast<const char*(__stdcall*)()>(reinterpret_cast<void*>(GetProcAddress(m, "HwNicCalls")));
    return calls != nullptr ? calls() : "(not a test double)";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::puts("usage: sing_nt4_ipconfig HIVE DLLDIR INDEX...");
        return 2;
    }
    ScopedRegKey hive;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, argv[1], 0, KEY_READ, hive.Receive()) != ERROR_SUCCESS ||
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, hive.Get()) != ERROR_SUCCESS) {
        std::puts("error=cannot redirect HKLM");
        return 1;
    }
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    SetEnvironmentVariableA("PATH", system);
    if (std::string(argv[2]) != "-")
        SetDllDirectoryA(argv[2]);

    std::printf("nt5=%u\n", IsWinNT5());
    for (int a = 3; a < argc; ++a) {
        uint32_t index = static_cast<uint32_t>(std::strtoul(argv[a], nullptr, 10));
        char ip[256], mask[256], host[256], domain[256], gw[256], dns1[256], dns2[256], reserved[16];
        for (char* t : {ip, mask, host, domain, gw, dns1, dns2})
            std::snprintf(t, 256, "stale");
        std::snprintf(reserved, sizeof reserved, "stale");
        uint32_t r1 = 7, r2 = 7;
        int32_t result = GetAdapterIpConfig(index, ip, mask, host, domain, gw, dns1, dns2, reserved, &r1, &r2);
        std::printf("index=%u|result=%d|ip=%s|mask=%s|gw=%s|host=%s|domain=%s|dns1=%s|dns2=%s|reserved=%s|r1=%u|"
                    "r2=%u|loaded=%d|calls=%s\n",
                    index, result, ip, mask, gw, host, domain, dns1, dns2, reserved, r1, r2,
                    GetModuleHandleA("kmzhwnic.dll") != nullptr ? 1 : 0, CallsOfLoadedLibrary().c_str());
    }
    return 0;
}
