// The bounded registry reader: the room from both sides, the type check, and
// outputs left as they were on every refusal.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/Handles.h"
#include "platform/RegistryValue.h"
#include "support/ScratchHive.h"

namespace {

const char kPath[] = "Software\\SingTest\\Values";

class RegistryValue : public ::testing::Test {
protected:
    void SetUp() override {
        hive.CreateKey(kPath);
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPath, 0, KEY_READ, key.Receive()), ERROR_SUCCESS);
    }
    ScratchHive hive;
    ScopedRegKey key;
};

}  // namespace

TEST_F(RegistryValue, DataUpToTheRoomAreReadOnePastIsRefused) {
    const std::string eight(8, 'x');  // REG_SZ of 9 bytes with its NUL
    hive.SetString(kPath, "Nine", eight);
    char out[16];
    std::memset(out, '#', sizeof out);
    DWORD size = 77;
    EXPECT_EQ(ReadRegValue(key.Get(), "Nine", kRegSz, out, 9, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 9u);
    EXPECT_EQ(std::string(out, 9), eight + '\0');

    std::memset(out, '#', sizeof out);
    size = 77;
    EXPECT_EQ(ReadRegValue(key.Get(), "Nine", kRegSz, out, 8, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 77u);
    EXPECT_EQ(out[0], '#');

    EXPECT_EQ(ReadRegValue(key.Get(), "Nine", kRegSz, out, kRegValueRoomMax + 1, &size), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(ReadRegValue(key.Get(), "Missing", kAnyRegType, out, 9, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(size, 77u);
    EXPECT_EQ(out[0], '#');
}

TEST_F(RegistryValue, TypesOutsideTheMaskAreRefused) {
    hive.SetDword(kPath, "Number", 0x01020304);
    hive.SetString(kPath, "Expand", "%TEMP%", REG_EXPAND_SZ);
    char out[8] = "keep";
    DWORD size = 0;
    EXPECT_EQ(ReadRegValue(key.Get(), "Number", kRegStrings, out, sizeof out, &size), ERROR_INVALID_DATATYPE);
    EXPECT_STREQ(out, "keep");
    EXPECT_EQ(ReadRegValue(key.Get(), "Number", kAnyRegType, out, sizeof out, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(out[0], 0x04);

    char text[16] = "keep";
    EXPECT_EQ(ReadRegText(key.Get(), "Expand", kRegSz, 16, text, 15), ERROR_INVALID_DATATYPE);
    EXPECT_STREQ(text, "keep");
    EXPECT_EQ(ReadRegText(key.Get(), "Expand", kRegStrings, 16, text, 15), ERROR_SUCCESS);
    EXPECT_STREQ(text, "%TEMP%");
}

TEST_F(RegistryValue, TextsStopAtTheFirstNulAndAtTheCut) {
    const char unterminated[] = {'a', 'b', 'c', 'd', 'e'};
    hive.SetRaw(kPath, "Raw", REG_SZ, unterminated, sizeof unterminated);
    const char inner[] = "ab\0cd";
    hive.SetRaw(kPath, "Inner", REG_SZ, inner, sizeof inner);
    char out[8];
    uint32_t length = 99;
    // The platform's ANSI query wants room for a NUL it may add.
    EXPECT_EQ(ReadRegText(key.Get(), "Raw", kRegSz, 6, out, 7, &length), ERROR_SUCCESS);
    EXPECT_STREQ(out, "abcde");
    EXPECT_EQ(length, 5u);
    EXPECT_EQ(ReadRegText(key.Get(), "Raw", kRegSz, 6, out, 4, &length), ERROR_SUCCESS);
    EXPECT_STREQ(out, "abcd");
    EXPECT_EQ(length, 4u);
    EXPECT_EQ(ReadRegText(key.Get(), "Inner", kRegSz, 6, out, 7, &length), ERROR_SUCCESS);
    EXPECT_STREQ(out, "ab");
    EXPECT_EQ(length, 2u);
    // A text that does not fit the room leaves the output and length alone.
    std::strcpy(out, "keep");
    EXPECT_EQ(ReadRegText(key.Get(), "Raw", kRegSz, 4, out, 7, &length), ERROR_MORE_DATA);
    EXPECT_STREQ(out, "keep");
    EXPECT_EQ(length, 2u);
}
