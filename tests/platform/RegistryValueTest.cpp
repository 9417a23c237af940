// The bounded registry reader: the room from both sides, the type mask, texts
// cut at their first NUL and at the limit, and outputs left as they were on
// every refusal (the output is a guarded buffer filled with a known byte).
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
    hive.SetDword(kPath, "Number", 0x01020304);
    hive.SetString(kPath, "Expand", "%TEMP%", REG_EXPAND_SZ);
    hive.SetRaw(kPath, "Raw", REG_SZ, "abcde", 5);  // no terminator
    hive.SetRaw(kPath, "Inner", REG_SZ, "ab\0cd", 6);
    ScopedRegKey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPath, 0, KEY_READ, key.Receive()), ERROR_SUCCESS);
    struct Case {
        const char* name;
        bool text;  // ReadRegText with `cut` characters, else ReadRegValue
        RegTypes types;
        DWORD room;
        uint32_t cut;
        LONG rc;
        std::string out;  // the bytes written (for a text with its NUL); the rest keeps the fill
        uint32_t size;     // 77: untouched
    };
    const Case cases[] = {
        {"Nine", false, kRegSz, 9, 0, ERROR_SUCCESS, std::string(8, 'x') + '\0', 9},
        {"Nine", false, kRegSz, 8, 0, ERROR_MORE_DATA, "", 77},
        {"Nine", false, kRegSz, kRegValueRoomMax + 1, 0, ERROR_INVALID_PARAMETER, "", 77},
        {"Missing", false, kAnyRegType, 9, 0, ERROR_FILE_NOT_FOUND, "", 77},
        {"Number", false, kRegStrings, 8, 0, ERROR_INVALID_DATATYPE, "", 77},
        {"Number", false, kAnyRegType, 8, 0, ERROR_SUCCESS, "\x04\x03\x02\x01", 4},
        {"Expand", true, kRegSz, 16, 15, ERROR_INVALID_DATATYPE, "", 77},
        {"Expand", true, kRegStrings, 16, 15, ERROR_SUCCESS, std::string("%TEMP%\0", 7), 6},
        // The platform's ANSI query wants room for a NUL it may add.
        {"Raw", true, kRegSz, 6, 7, ERROR_SUCCESS, std::string("abcde\0", 6), 5},
        {"Raw", true, kRegSz, 6, 4, ERROR_SUCCESS, std::string("abcd\0", 5), 4},
        {"Raw", true, kRegSz, 4, 7, ERROR_MORE_DATA, "", 77},
        {"Inner", true, kRegSz, 6, 7, ERROR_SUCCESS, std::string("ab\0", 3), 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " in " + std::to_string(c.room));
        Guarded g(c.text ? c.cut + 1 : c.room);
        DWORD size = 77;
        uint32_t length = 77;
        LONG rc = c.text ? ReadRegText(key.Get(), c.name, c.types, c.room, g.Out(), c.cut, &length)
                         : ReadRegValue(key.Get(), c.name, c.types, g.Out(), c.room, &size);
        EXPECT_EQ(rc, c.rc);
        const std::string room = g.Room();
        EXPECT_EQ(room, c.out + std::string(room.size() - c.out.size(), Guarded::kFill));
        EXPECT_EQ(c.text ? length : size, c.size);
        EXPECT_TRUE(g.CanariesIntact());
    }
}
