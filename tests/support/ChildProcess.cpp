#include "support/ChildProcess.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/Handles.h"

std::string RunChild(const std::string& commandLine) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) {
        ADD_FAILURE() << "CreatePipe: " << GetLastError();
        return {};
    }
    ScopedHandle reader(readEnd), writer(writeEnd);
    SetHandleInformation(reader.Get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writer.Get();
    si.hStdError = writer.Get();
    PROCESS_INFORMATION pi{};
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        ADD_FAILURE() << "cannot start " << commandLine << ": " << GetLastError();
        return {};
    }
    ScopedHandle process(pi.hProcess), thread(pi.hThread);
    writer.Reset();
    std::string out;
    char buf[512];
    DWORD got = 0;
    while (ReadFile(reader.Get(), buf, sizeof buf, &got, nullptr) && got > 0)
        out.append(buf, got);
    WaitForSingleObject(process.Get(), 30000);
    std::string lines;
    for (size_t i = 0; i < out.size(); ++i)
        if (!(out[i] == '\r' && i + 1 < out.size() && out[i + 1] == '\n'))
            lines += out[i];
    return lines;
}

WineVersionOverride::WineVersionOverride(const std::string& programFile, const char* version)
    : key_("Software\\Wine\\AppDefaults\\" + programFile) {
    ScopedRegKey k;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, k.Receive(),
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(k.Get(), "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                   static_cast<DWORD>(std::strlen(version) + 1));
}

WineVersionOverride::~WineVersionOverride() { RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str()); }
