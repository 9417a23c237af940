// The support libraries KMZIPC32.DLL and KMZUCD32.DLL.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "kmzipc32.h"
#include "kmzucd32.h"
#include "support/ChildProcess.h"

// The version probe runs as its own program, with Wine's per-program
// Windows version set. Windows 10 tells programs without a manifest that
// it is 6.2; the answer must not depend on that.
TEST(Kmzipc32, AnswersFromTheRealWindowsVersion) {
    const std::pair<const char*, std::string> cases[] = {
        {"nt40", "1 0"}, {"win2k", "1 1"}, {"win7", "1 1"}, {"win10", "1 1"}, {"win98", "0 0"}};  // IsWinNT, IsWinNT5
    for (const auto& [version, answer] : cases) {
        WineVersionOverride as("sing_version_probe.exe", version);
        EXPECT_EQ(RunChild("sing_version_probe.exe"), answer + "\n") << version;
    }
}

TEST(Kmzipc32, MessageBlocksAreZeroFilledAndFreed) {
    for (uint32_t size : {64u, 0u}) {
        auto* block = static_cast<char*>(AllocateMessage(size));
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(std::string(block, size), std::string(size, '\0'));
        EXPECT_EQ(FreeMessage(block), 1u);
    }
    EXPECT_EQ(FreeMessage(nullptr), 0u);
}

// Counts include the terminator; too small a room converts nothing and
// writes nothing past its end.
TEST(Kmzucd32, CountsIncludeTheTerminatorWhenSizingAndConverting) {
    EXPECT_EQ(VXConvertLocalToUnicode("abc", nullptr, 0, 42, 0), 4u);
    EXPECT_EQ(VXConvertLocalToUnicode("", nullptr, 0, 42, 0), 1u);
    EXPECT_EQ(VXConvertLocalToUnicode(nullptr, nullptr, 0, 42, 0), 0u);
    std::u16string out(8, u'\xFFFF');
    EXPECT_EQ(VXConvertLocalToUnicode("abc", reinterpret_cast<uint16_t*>(out.data()), 8, 42, 0), 4u);
    EXPECT_EQ(out, std::u16string(u"abc\0\xFFFF\xFFFF\xFFFF\xFFFF", 8));
    EXPECT_EQ(VXConvertLocalToUnicode("abc", reinterpret_cast<uint16_t*>(out.data()), 1, 42, 0), 0u);
    EXPECT_EQ(out[1], u'b');
}
