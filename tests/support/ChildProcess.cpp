#include "support/ChildProcess.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "platform/Handles.h"
#include "support/TestMachine.h"

std::string RunChild(const std::wstring& application, const std::wstring& commandLine,
                     const std::wstring& workingDir) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    ScopedHandle reader, writer;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION pi{};
    std::wstring cmd = commandLine;
    if (!CreatePipe(reader.Receive(), writer.Receive(), &sa, 0) ||
        !SetHandleInformation(reader.Get(), HANDLE_FLAG_INHERIT, 0) ||
        !(si.hStdOutput = si.hStdError = writer.Get()) ||
        !CreateProcessW(application.empty() ? nullptr : application.c_str(), cmd.data(), nullptr, nullptr, TRUE, 0,
                        nullptr, workingDir.empty() ? nullptr : workingDir.c_str(), &si, &pi)) {
        ADD_FAILURE() << "cannot start a child program: " << GetLastError();
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
    for (size_t at = 0; (at = out.find("\r\n", at)) != std::string::npos;)
        out.erase(at, 1);
    return out;
}

std::string RunChild(const std::string& commandLine) {
    // In this process's code page, as the ANSI call would have taken it.
    return RunChild(std::wstring(), Wide(commandLine), std::wstring());
}

WineVersionOverride::WineVersionOverride(const std::string& programFile, const char* version)
    : key_("Software\\Wine\\AppDefaults\\" + programFile) {
    const DWORD size = static_cast<DWORD>(std::strlen(version) + 1);
    EXPECT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, key_.c_str(), "Version", REG_SZ, version, size), ERROR_SUCCESS);
}

WineVersionOverride::~WineVersionOverride() { RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str()); }
