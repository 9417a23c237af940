// Child program for the command-line tests: prints the fields of a CmdLine
// built from its own process, one "name=value" line each ("(null)": no text).
// SING_PROBE_HIVE redirects HKLM to that key under HKCU first;
// SING_PROBE_PROFILE also prints the user profile ("profile.KEY=value").
#include <windows.h>

#include <cstdio>
#include <string>

#include "gatherers/KmzUserGatherer.h"
#include "platform/CmdLine.h"

namespace {
void Print(const char* name, const char* value) { std::printf("%s=%s\n", name, value ? value : "(null)"); }
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
    std::string flags[] = {std::to_string(c.NGiven()), std::to_string(c.ManagerFlag()), std::to_string(c.InitFlag()),
                           std::to_string(c.ResponseFileError())};
    const char* texts[][2] = {
        {"startDir", c.StartDir()}, {"moduleDir", c.ModuleDir()}, {"dataDir", c.GetDataDir()},
        {"logDir", c.LogDir()},     {"argText", c.ArgText()},     {"nGiven", flags[0].c_str()},
        {"managerFlag", flags[1].c_str()}, {"initFlag", flags[2].c_str()}, {"responseFileError", flags[3].c_str()},
        {"nValue", c.NValue()},     {"n2Value", c.N2Value()},     {"n3Value", c.N3Value()},
        {"lValue", c.LValue()},     {"rValue", c.RValue()},       {"sValue", c.SValue()},
        {"uidValue", c.UidValue()}, {"mnValue", c.MnValue()},     {"gnValue", c.GnValue()}};
    for (auto& t : texts)
        Print(t[0], t[1]);
    if (GetEnvironmentVariableA("SING_PROBE_PROFILE", nullptr, 0) != 0) {
        KmzUserGatherer profile;
        profile.Update();
        for (uint32_t i = 0; i < KmzUserGatherer::kKeyCount; ++i)
            Print(("profile." + std::string(KmzUserGatherer::kKeys[i].name)).c_str(), profile.Value(i).CStr());
    }
    return 0;
}
