// Child for the NT 4 TCP/IP tests:  sing_nt4_ipconfig_<program> HIVE DLLDIR INDEX...
// HIVE (under HKEY_CURRENT_USER) becomes HKEY_LOCAL_MACHINE; DLLDIR ("-": none)
// holds kmzhwnic.dll. Prints "nt5=N", then per index
// "result|ip|mask|gateway|domain|host|dns1|dns2|calls" ("-": library not loaded).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "kmzipc32.h"
#include "platform/Handles.h"
#include "probes/IpConfigProbe.h"

int main(int argc, char** argv) {
    ScopedRegKey hive;
    if (argc < 4 || RegOpenKeyExA(HKEY_CURRENT_USER, argv[1], 0, KEY_READ, hive.Receive()) != ERROR_SUCCESS ||
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, hive.Get()) != ERROR_SUCCESS)
        return 2;
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    SetEnvironmentVariableA("PATH", system);
    if (std::string(argv[2]) != "-")
        SetDllDirectoryA(argv[2]);

    std::printf("nt5=%u\n", IsWinNT5());
    for (int a = 3; a < argc; ++a) {
        char ip[256], mask[256], host[256], domain[256], gw[256], dns1[256], dns2[256], reserved[16];
        uint32_t r1, r2;
        int32_t result = GetAdapterIpConfig(std::strtoul(argv[a], nullptr, 10), ip, mask, host, domain, gw, dns1,
                                            dns2, reserved, &r1, &r2);
        HMODULE m = GetModuleHandleA("kmzhwnic.dll");
        auto log = reinterpret_cast<const char*(__stdcall*)()>(reinterpret_cast<void*>(GetProcAddress(m, "HwNicCalls")));
        std::printf("%d|%s|%s|%s|%s|%s|%s|%s|%s\n", result, ip, mask, gw, domain, host, dns1, dns2,
                    m == nullptr ? "-" : log != nullptr ? log() : "(real)");
    }
    return 0;
}
