#include "support/TestMachine.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "support/CodePage.h"

std::string TestFolder() {
    char path[MAX_PATH];
    std::string p(path, GetModuleFileNameA(nullptr, path, sizeof path));
    return p.substr(0, p.find_last_of('\\'));
}

std::wstring Wide(const std::string& s) {
    std::wstring w(s.size(), L'\0');
    int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), static_cast<int>(w.size()));
    w.resize(n > 0 ? n : 0);
    return w;
}

bool LocalCodePageIs1252() { return GetACP() == 1252; }

std::string NotDoubleByteCodePage() {
    if (IsDBCSLeadByte(0x95))
        return "";
    std::string why = "needs a double-byte ANSI code page (code page " + std::to_string(GetACP()) + ")";
    if (GetEnvironmentVariableA("SING_EXPECT_DBCS", nullptr, 0) != 0)
        ADD_FAILURE() << why;
    return why;
}
