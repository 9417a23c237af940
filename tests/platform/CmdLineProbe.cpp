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

// A CmdLine built from this process, printing what it kept.
struct HostCmdLine : CmdLine {
    HostCmdLine() : CmdLine(1) {}
    void PrintFields() const {
        std::string flags[] = {std::to_string(nGiven), std::to_string(managerFlag), std::to_string(initFlag),
                               std::to_string(responseFileError)};
        const char* texts[][2] = {
            {"startDir", startDir.get()}, {"moduleDir", moduleDir.get()}, {"dataDir", dataDir.get()},
            {"logDir", logDir.get()},     {"argText", argText.get()},     {"nGiven", flags[0].c_str()},
            {"managerFlag", flags[1].c_str()}, {"initFlag", flags[2].c_str()}, {"responseFileError", flags[3].c_str()},
            {"nValue", nValue.get()},     {"n2Value", n2Value.get()},     {"n3Value", n3Value.get()},
            {"lValue", lValue.get()},     {"rValue", rValue.get()},       {"sValue", sValue.get()},
            {"uidValue", uidValue.get()}, {"mnValue", mnValue.get()},     {"gnValue", gnValue.get()}};
        for (auto& t : texts)
            Print(t[0], t[1]);
    }
};

}  // namespace

int main() {
    char hive[512];
    DWORD n = GetEnvironmentVariableA("SING_PROBE_HIVE", hive, sizeof hive);
    HKEY root = nullptr;
    if (n > 0 && n < sizeof hive &&
        (RegOpenKeyExA(HKEY_CURRENT_USER, hive, 0, KEY_READ, &root) != ERROR_SUCCESS ||
         RegOverridePredefKey(HKEY_LOCAL_MACHINE, root) != ERROR_SUCCESS))
        return 1;
    HostCmdLine().PrintFields();
    if (GetEnvironmentVariableA("SING_PROBE_PROFILE", nullptr, 0) != 0) {
        KmzUserGatherer profile;
        profile.Update();
        for (uint32_t i = 0; i < SING_KMZUSER_KEYS; ++i)
            Print(("profile." + std::string(sing_kmzuser_key_name(i))).c_str(), profile.Value(i).CStr());
    }
    return 0;
}
