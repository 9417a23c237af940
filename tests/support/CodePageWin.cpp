#include <windows.h>

#include <gtest/gtest.h>

#include "support/CodePage.h"

bool LocalCodePageIs1252() { return GetACP() == 1252; }

std::string NotDoubleByteCodePage() {
    if (IsDBCSLeadByte(0x95))
        return "";
    std::string why = "needs a double-byte ANSI code page (code page " + std::to_string(GetACP()) + ")";
    if (GetEnvironmentVariableA("SING_EXPECT_DBCS", nullptr, 0) != 0)
        ADD_FAILURE() << why;
    return why;
}
