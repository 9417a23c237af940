// Child program for the command-line tests: builds a CmdLine from this
// process's own settings and prints every field, one "name=value" line each.
// Bytes outside printable ASCII and '%' are written as %HH; a null text as
// "(null)". With SING_PROBE_HIVE set, HKLM is redirected to that key under
// HKCU first (the parent's scratch hive). With SING_PROBE_PROFILE set, the
// user profile gatherer is updated too and its values printed as
// "profile.KEY=value".
#include <windows.h>

#include <cstdio>
#include <string>

#include "gatherers/KmzUserGatherer.h"
#include "platform/CmdLine.h"

namespace {

void Print(const char* name, const char* value) {
    std::string out;
    if (value == nullptr) {
        out = "(null)";
    } else {
        for (const char* p = value; *p != '\0'; ++p) {
            unsigned char c = static_cast<unsigned char>(*p);
            char hex[4];
            if (c < 0x20 || c >= 0x7F || c == '%') {
                std::snprintf(hex, sizeof hex, "%%%02X", c);
                out += hex;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    std::printf("%s=%s\n", name, out.c_str());
}

void Print(const char* name, uint32_t value) { std::printf("%s=%u\n", name, value); }

}  // namespace

int main() {
    char hive[512];
    DWORD n = GetEnvironmentVariableA("SING_PROBE_HIVE", hive, sizeof hive);
    HKEY root = nullptr;
    if (n > 0 && n < sizeof hive) {
        if (RegOpenKeyExA(HKEY_CURRENT_USER, hive, 0, KEY_READ, &root) != ERROR_SUCCESS ||
            RegOverridePredefKey(HKEY_LOCAL_MACHINE, root) != ERROR_SUCCESS) {
            std::printf("error=cannot redirect HKLM\n");
            return 1;
        }
    }
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
    Print("nValue", c.NValue());
    Print("n2Value", c.N2Value());
    Print("n3Value", c.N3Value());
    Print("lValue", c.LValue());
    Print("rValue", c.RValue());
    Print("sValue", c.SValue());
    Print("uidValue", c.UidValue());
    Print("mnValue", c.MnValue());
    Print("gnValue", c.GnValue());
    if (GetEnvironmentVariableA("SING_PROBE_PROFILE", nullptr, 0) != 0) {
        KmzUserGatherer profile;
        profile.Update();
        for (uint32_t i = 0; i < KmzUserGatherer::kKeyCount; ++i)
            if (profile.Value(i).CStr() != nullptr)
                Print((std::string("profile.") + KmzUserGatherer::kKeys[i].name).c_str(), profile.Value(i).CStr());
    }
    std::fflush(stdout);
    if (root != nullptr) {
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegCloseKey(root);
    }
    return 0;
}
