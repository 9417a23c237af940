#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "kmzipc32.h"
#include "kmzucd32.h"
#include "support/ChildProcess.h"

namespace {

// Runs the version probe as its own program with Wine's per-program
// Windows version set to `version`, and returns what it printed.
std::string ProbeAs(const char* version) {
    WineVersionOverride as("sing_version_probe.exe", version);
    std::string out = RunChild("sing_version_probe.exe");
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
