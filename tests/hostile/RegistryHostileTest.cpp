// Registry values that other people control, in every wrong shape: the
// lookups must stay inside their buffers and give the documented answer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "probes/RegistryLookup.h"
#include "support/ScratchHive.h"

namespace {
const char* kKey = "Software\\Hostile";

// A guarded output buffer: 256 usable bytes between two canary zones.
struct Guarded {
    char bytes[256 + 64];
    Guarded() { std::memset(bytes, 0x5A, sizeof bytes); }
    char* Out() { return bytes + 32; }
    bool CanariesIntact() const {
        for (int i = 0; i < 32; ++i)
            if (bytes[i] != 0x5A || bytes[sizeof bytes - 1 - i] != 0x5A)
                return false;
        return true;
    }
};
}  // namespace

TEST(HostileRegistry, WrongTypesAreNeverTakenForText) {
    ScratchHive hive;
    const uint32_t number = 0x41414141;
    const DWORD types[] = {REG_NONE, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_DWORD_BIG_ENDIAN, REG_LINK,
                           REG_RESOURCE_LIST, REG_QWORD, 0x1234};
    for (DWORD t : types) {
        SCOPED_TRACE(t);
        hive.SetRaw(kKey, "Value", t, &number, sizeof number);
        Guarded g;
        EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, kKey, "Value", g.Out(), 255), 0u);
        EXPECT_EQ(g.Out()[0], 0x5A);
        uint32_t v = 7;
        EXPECT_EQ(GetRegDwordValue(HKEY_LOCAL_MACHINE, kKey, "Value", &v), t == REG_DWORD ? 1u : 0u);
    }
}

TEST(HostileRegistry, OversizedAndUnterminatedDataStaysInBounds) {
    ScratchHive hive;
    std::string big64k(64 * 1024, 'A');
    hive.SetRaw(kKey, "A_Huge", REG_SZ, big64k.data(), static_cast<DWORD>(big64k.size()));
    hive.SetString(kKey, "B_Behind", "seen");
    Guarded g;
    // Over 400 bytes: not found itself; the value beside it is unaffected.
    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, kKey, "A_Huge", g.Out(), 255), 0u);
    EXPECT_EQ(g.Out()[0], 0x5A);
    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, kKey, "B_Behind", g.Out(), 255), 1u);
    EXPECT_STREQ(g.Out(), "seen");
    EXPECT_TRUE(g.CanariesIntact());

    ScratchHive second;
    // No terminator anywhere: 399 bytes still fit the 400-byte room (the
    // ANSI query adds one), 400 do not.
    std::string full(400, 'B');
    second.SetRaw(kKey, "B_Fits", REG_SZ, full.data(), 399);
    second.SetRaw(kKey, "C_TooLong", REG_SZ, full.data(), 400);
    Guarded h;
    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, kKey, "B_Fits", h.Out(), 255), 1u);
    EXPECT_EQ(std::strlen(h.Out()), 255u);
    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, kKey, "C_TooLong", h.Out(), 255), 0u);
    EXPECT_TRUE(h.CanariesIntact());

    ScratchHive third;
    // Odd length, one byte, and a NUL in the middle.
    third.SetRaw(kKey, "C_Odd", REG_SZ, "abcde", 5);
    third.SetRaw(kKey, "D_One", REG_SZ, "z", 1);
    third.SetRaw(kKey, "E_Inner", REG_SZ, "ab\0cd", 5);
    Guarded i;
    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, kKey, "C_Odd", i.Out(), 255), 1u);
    EXPECT_STREQ(i.Out(), "abcde");
    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, kKey, "D_One", i.Out(), 255), 1u);
    EXPECT_STREQ(i.Out(), "z");
    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, kKey, "E_Inner", i.Out(), 255), 1u);
    EXPECT_STREQ(i.Out(), "ab");
    EXPECT_TRUE(i.CanariesIntact());
}

TEST(HostileRegistry, MalformedMultiStrings) {
    ScratchHive hive;
    hive.SetRaw(kKey, "A_Empty", REG_MULTI_SZ, "", 0);
    hive.SetRaw(kKey, "B_OnlyNul", REG_MULTI_SZ, "\0", 1);
    hive.SetRaw(kKey, "C_NoDoubleNul", REG_MULTI_SZ, "first\0second", 12);
    hive.SetRaw(kKey, "D_LeadingNul", REG_MULTI_SZ, "\0hidden\0\0", 9);
    Guarded g;
    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, kKey, "A_Empty", g.Out(), 255), 1u);
    EXPECT_STREQ(g.Out(), "");
    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, kKey, "B_OnlyNul", g.Out(), 255), 1u);
    EXPECT_STREQ(g.Out(), "");
    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, kKey, "C_NoDoubleNul", g.Out(), 255), 1u);
    EXPECT_STREQ(g.Out(), "first");
    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, kKey, "D_LeadingNul", g.Out(), 255), 1u);
    EXPECT_STREQ(g.Out(), "");
    EXPECT_TRUE(g.CanariesIntact());

    // A DWORD stored in fewer than 4 bytes, or in 64 KB.
    std::vector<char> huge(64 * 1024, 1);
    ScratchHive other;
    other.SetRaw(kKey, "A_Short", REG_DWORD, "\x01", 1);
    other.SetRaw(kKey, "B_Long", REG_DWORD, huge.data(), static_cast<DWORD>(huge.size()));
    uint32_t v = 9;
    EXPECT_EQ(GetRegDwordValue(HKEY_LOCAL_MACHINE, kKey, "A_Short", &v), 0u);
    EXPECT_EQ(GetRegDwordValue(HKEY_LOCAL_MACHINE, kKey, "B_Long", &v), 0u);
    EXPECT_EQ(v, 9u);
}
