// The bounded registry reader: the room from both sides, the type mask, the
// errors it answers, and outputs left as they were on every refusal (the
// output is a guarded buffer filled with a known byte). Texts cut at their
// first NUL, at the limit or unterminated are the lookups' rows in
// hostile/RegistryHostileTest.cpp.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/RegistryValue.h"
#include "support/Guarded.h"
#include "support/ScratchHive.h"

TEST(RegistryValue, ReadsAtTheLimitsAndRefusesWithoutTouchingTheOutputs) {
    const char kPath[] = "Software\\SingTest\\Values";
    ScratchHive hive;
    hive.SetString(kPath, "Nine", std::string(8, 'x'));  // 9 bytes with the NUL
    hive.SetRaw(kPath, "Max", REG_BINARY, std::string(kRegValueRoomMax, 'm').data(), kRegValueRoomMax);
    hive.SetDword(kPath, "Number", 0x01020304);
    hive.SetString(kPath, "Expand", "%TEMP%", REG_EXPAND_SZ);
    ScopedRegKey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPath, 0, KEY_READ, key.Receive()), ERROR_SUCCESS);
    // ReadRegText (room - 1 characters) when `text`; the bytes written (a text with its NUL), the
    // rest of the room keeping the fill; the size or length, 77 untouched.
    const std::tuple<const char*, bool, RegTypes, DWORD, LONG, std::string, uint32_t> cases[] = {
        {"Nine", false, kRegSz, 9, ERROR_SUCCESS, std::string(8, 'x') + '\0', 9},
        {"Nine", false, kRegSz, 8, ERROR_MORE_DATA, "", 77},
        {"Max", false, kAnyRegType, kRegValueRoomMax, ERROR_SUCCESS, std::string(kRegValueRoomMax, 'm'),
         kRegValueRoomMax},
        {"Max", false, kAnyRegType, kRegValueRoomMax + 1, ERROR_INVALID_PARAMETER, "", 77},
        {"Number", false, kAnyRegType, 8, ERROR_SUCCESS, "\x04\x03\x02\x01", 4},
        {"Number", false, kRegStrings, 8, ERROR_INVALID_DATATYPE, "", 77},
        {"Number", true, kAnyRegType, 4, ERROR_SUCCESS, std::string("\x04\x03\x02\0", 4), 3},  // no NUL: cut
        {"Expand", true, kRegSz, 16, ERROR_INVALID_DATATYPE, "", 77},
        {"Expand", true, kRegStrings, 16, ERROR_SUCCESS, std::string("%TEMP%\0", 7), 6},
    };
    for (const auto& [name, text, types, room, rc, out, size] : cases) {
        SCOPED_TRACE(std::string(name) + " in " + std::to_string(room));
        Guarded g(room);
        DWORD got = 77;
        uint32_t length = 77;
        EXPECT_EQ(text ? ReadRegText(key.Get(), name, types, room, g.Out(), room - 1, &length)
                       : ReadRegValue(key.Get(), name, types, g.Out(), room, &got),
                  rc);
        EXPECT_EQ(g.Room(), out + std::string(room - out.size(), Guarded::kFill));
        EXPECT_EQ(text ? length : got, size);
        EXPECT_TRUE(g.CanariesIntact());
    }
}
