// Child program for the command-line tests: builds a CmdLine from this
// process's own settings and prints its fields, one "name=value" line each
// ("(null)" for no text). With SING_PROBE_HIVE set, HKLM is first redirected
// to that key under HKCU (the parent's scratch hive); with SING_PROBE_PROFILE
// set, the user profile gatherer is updated too ("profile.KEY=value").
#include <windows.h>

#include <cstdio>

#include "gatherers/KmzUserGatherer.h"
#include "platform/CmdLine.h"

namespace {
void Print(const char* name, const char* value) { std::printf("%s=%s\n", name, value ? value : "(null)"); }
void Print(const char* name, uint32_t value) { std::printf("%s=%u\n", name, value); }
}  // namespace

int main() {
    char hive[512];
    DWORD n = GetEnvironmentVariableA("SING_PROBE_HIVE", hive, sizeof hive);
    HKEY root = nullptr;
    if (n > 0 && n < sizeof hive &&
        (RegOpenKeyExA(HKEY_CURRENT_USER, hive, 0, KEY_READ, &root) != ERROR_SUCCESS ||
         RegOverridePredefKey(HKEY_LOCAL_MACHINE, root) != ERROR_SUCCESS))
        return 1;
    CmdLine c(1);
    Print("startDir", c.StartDir());
    Print("moduleDir", c.ModuleDir());
    Print("dataDir", c.GetDataDir());
    Print("logDir", c.LogDir());
    Print("argText", c.ArgText());
    Print("nGiven", c.NGiven());
    Print("managerFlag", c.ManagerFlag());
    Print("initFlag", c.InitFlag());
    Print("responseFileError", c.ResponseFileError());
    const char* texts[][2] = {{"nValue", c.NValue()},   {"n2Value", c.N2Value()},   {"n3Value", c.N3Value()},
                              {"lValue", c.LValue()},   {"rValue", c.RValue()},     {"sValue", c.SValue()},
                              {"uidValue", c.UidValue()}, {"mnValue", c.MnValue()}, {"gnValue", c.GnValue()}};
    for (auto& t : texts)
        Print(t[0], t[1]);
    if (GetEnvironmentVariableA("SING_PROBE_PROFILE", nullptr, 0) != 0) {
        KmzUserGatherer profile;
        profile.Update();
        for (uint32_t i = 0; i < KmzUserGatherer::kKeyCount; ++i)
            std::printf("profile.%s=%s\n", KmzUserGatherer::kKeys[i].name,
                        profile.Value(i).CStr() ? profile.Value(i).CStr() : "(null)");
    }
    return 0;
}
