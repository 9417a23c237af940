// Child program for the command-line tests: prints what a CmdLine built from
// its own process kept, one "NAME=TEXT" line each (CmdLineView), then the
// user profile found through it ("profile.KEY=value"). SING_PROBE_HIVE
// redirects HKLM to that key under HKCU first.
#include <windows.h>

#include <cstdio>

#include "gatherers/KmzUserGatherer.h"
#include "tests/platform/CmdLineView.h"

int main() {
    char hive[512];
    DWORD n = GetEnvironmentVariableA("SING_PROBE_HIVE", hive, sizeof hive);
    HKEY root = nullptr;
    if (n > 0 && (n >= sizeof hive || RegOpenKeyExA(HKEY_CURRENT_USER, hive, 0, KEY_READ, &root) != ERROR_SUCCESS ||
                  RegOverridePredefKey(HKEY_LOCAL_MACHINE, root) != ERROR_SUCCESS))
        return 1;
    std::printf("%s", CmdLineView(1).Kept("\n").c_str());
    KmzUserGatherer profile;
    profile.Update();
    for (uint32_t i = 0; i < SING_KMZUSER_KEYS; ++i)
        if (const char* value = profile.Value(i).CStr())
            std::printf("profile.%s=%s\n", sing_kmzuser_key_name(i), value);
    return 0;
}
