#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "kmzipc32.h"
#include "kmzucd32.h"
#include "platform/Handles.h"

namespace {

// Runs the version probe as its own program with Wine's per-program
// Windows version set to `version`, and returns what it printed.
std::string ProbeAs(const char* version) {
    const char* key = "Software\\Wine\\AppDefaults\\sing_version_probe.exe";
    ScopedRegKey k;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, k.Receive(),
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(k.Get(), "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                   static_cast<DWORD>(strlen(version) + 1));

    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    EXPECT_TRUE(CreatePipe(&readEnd, &writeEnd, &sa, 0));
    ScopedHandle reader(readEnd), writer(writeEnd);
    SetHandleInformation(reader.Get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writer.Get();
    si.hStdError = writer.Get();
    PROCESS_INFORMATION pi{};
    char cmd[] = "sing_version_probe.exe";
    std::string out;
    if (CreateProcessA(nullptr, cmd, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        ScopedHandle process(pi.hProcess), thread(pi.hThread);
        writer.Reset();
        char buf[256];
        DWORD got = 0;
        while (ReadFile(reader.Get(), buf, sizeof buf, &got, nullptr) && got > 0)
            out.append(buf, got);
        WaitForSingleObject(process.Get(), 30000);
    } else {
        ADD_FAILURE() << "cannot start the probe: " << GetLastError();
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, key);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

}  // namespace

TEST(Kmzipc32, AnswersFromTheRealWindowsVersion) {
    EXPECT_EQ(ProbeAs("nt40"), "IsWinNT=1 IsWinNT5=0");
    EXPECT_EQ(ProbeAs("win2k"), "IsWinNT=1 IsWinNT5=1");
    EXPECT_EQ(ProbeAs("win7"), "IsWinNT=1 IsWinNT5=1");
    // Windows 10 tells programs without a manifest that it is 6.2; the
    // answer must not depend on that.
    EXPECT_EQ(ProbeAs("win10"), "IsWinNT=1 IsWinNT5=1");
    EXPECT_EQ(ProbeAs("win98"), "IsWinNT=0 IsWinNT5=0");
}

TEST(Kmzipc32, MessageBlocksAreZeroFilledAndFreed) {
    auto* block = static_cast<unsigned char*>(AllocateMessage(64));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(block[i], 0);
    EXPECT_EQ(FreeMessage(block), 1u);
    EXPECT_EQ(FreeMessage(nullptr), 0u);
    void* empty = AllocateMessage(0);
    EXPECT_NE(empty, nullptr);
    EXPECT_EQ(FreeMessage(empty), 1u);
}

TEST(Kmzucd32, CountsIncludeTheTerminatorWhenSizingAndConverting) {
    EXPECT_EQ(VXConvertLocalToUnicode("abc", nullptr, 0, 42, 0), 4u);
    uint16_t out[8];
    std::fill(std::begin(out), std::end(out), 0xFFFF);
    EXPECT_EQ(VXConvertLocalToUnicode("abc", out, 8, 42, 0), 4u);
    EXPECT_EQ(out[0], 'a');
    EXPECT_EQ(out[2], 'c');
    EXPECT_EQ(out[3], 0);
    EXPECT_EQ(out[4], 0xFFFF);

    EXPECT_EQ(VXConvertLocalToUnicode("", nullptr, 0, 42, 0), 1u);
    EXPECT_EQ(VXConvertLocalToUnicode(nullptr, nullptr, 0, 42, 0), 0u);
    // Too small: nothing claimed as converted, nothing written past the end.
    uint16_t small[2] = {0x1111, 0x1111};
    EXPECT_EQ(VXConvertLocalToUnicode("abc", small, 1, 42, 0), 0u);
    EXPECT_EQ(small[1], 0x1111);
}
