#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "probes/RegistryLookup.h"
#include "support/ScratchHive.h"

// Wine enumerates a key's values sorted by name, Windows in creation order;
// the names below are chosen so that the values that do not fit come first
// in name order, which is where they could hide the others.
namespace {
const char* kKey = "Software\\LookupTest";

class RegistryLookup : public ::testing::Test {
protected:
    ScratchHive hive;
    char out[256];
    void SetUp() override { std::memset(out, '#', sizeof out); }
    bool Untouched() const { return out[0] == '#' && out[1] == '#'; }

    // Every lookup runs twice: a repeated lookup must answer as the first.
    uint32_t Text(const char* name, const char* key = kKey) {
        uint32_t first = GetRegStringValue(HKEY_LOCAL_MACHINE, key, name, out, 255);
        std::string firstText(out, sizeof out);
        EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, key, name, out, 255), first) << name;
        EXPECT_EQ(std::string(out, sizeof out), firstText) << name;
        return first;
    }
    uint32_t Number(const char* name, uint32_t& value) {
        value = 0xEEEEEEEE;
        uint32_t first = GetRegDwordValue(HKEY_LOCAL_MACHINE, kKey, name, &value);
        uint32_t again = 0xEEEEEEEE;
        EXPECT_EQ(GetRegDwordValue(HKEY_LOCAL_MACHINE, kKey, name, &again), first) << name;
        EXPECT_EQ(again, value) << name;
        return first;
    }
    void Blob(const char* name, size_t size) {
        std::vector<uint8_t> bytes(size, 0xB7);
        hive.SetRaw(kKey, name, REG_BINARY, bytes.data(), static_cast<DWORD>(size));
    }
};
}  // namespace

TEST_F(RegistryLookup, FindsStringsByExactNameAndType) {
    // Value names are case-insensitive to the registry itself, so the
    // differently cased name lives in its own key.
    hive.SetString("Software\\Cased", "hostname", "lower");
    hive.SetString(kKey, "Expand", "%PATH%", REG_EXPAND_SZ);
    hive.SetString(kKey, "Hostname", "PC01");
    hive.SetMultiString(kKey, "IPAddress", {"10.0.0.5", "10.0.0.6"});

    EXPECT_EQ(Text("Hostname"), 1u);
    EXPECT_STREQ(out, "PC01");
    EXPECT_EQ(Text("IPAddress"), 1u);
    EXPECT_STREQ(out, "10.0.0.5");

    std::memset(out, '#', sizeof out);
    EXPECT_EQ(Text("HOSTNAME"), 0u);
    EXPECT_EQ(Text("Hostname", "Software\\Cased"), 0u);
    EXPECT_EQ(Text("Expand"), 0u);
    EXPECT_EQ(Text("Hostname", "Software\\Missing"), 0u);
    EXPECT_TRUE(Untouched());
}

TEST_F(RegistryLookup, CopiesAreBoundedAndTerminated) {
    hive.SetString(kKey, "Long", std::string(300, 'x'));
    EXPECT_EQ(Text("Long"), 1u);
    EXPECT_EQ(std::strlen(out), 255u);
    EXPECT_EQ(out[256 - 1], '\0');

    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, kKey, "Long", out, 4), 1u);
    EXPECT_STREQ(out, "xxxx");
}

TEST_F(RegistryLookup, ValuesThatDoNotFitArePassedOver) {
    // Data of 400 bytes fits, 401 do not; both stand before the wanted values.
    Blob("A_Fits", 400);
    Blob("B_TooLarge", 401);
    Blob("C_Huge", 64 * 1024);
    hive.SetString(kKey, "D_Text", "after the blobs");
    hive.SetDword(kKey, "E_Number", 7);
    EXPECT_EQ(Text("D_Text"), 1u);
    EXPECT_STREQ(out, "after the blobs");
    uint32_t n = 0;
    EXPECT_EQ(Number("E_Number", n), 1u);
    EXPECT_EQ(n, 7u);

    // A name of 399 characters fits the 400-byte room with its NUL, one of
    // 400 does not; the wanted values after it are still found.
    const std::string fits(399, 'N'), tooLong(400, 'N');
    hive.SetString(kKey, fits.c_str(), "name at the room");
    EXPECT_EQ(Text(fits.c_str()), 1u);
    EXPECT_STREQ(out, "name at the room");
    hive.SetString(kKey, tooLong.c_str(), "name past the room");
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(Text(tooLong.c_str()), 0u);
    EXPECT_TRUE(Untouched());
    EXPECT_EQ(Text("D_Text"), 1u);
    EXPECT_STREQ(out, "after the blobs");
}

TEST_F(RegistryLookup, TheWantedValueCountsOnlyWhenItFits) {
    // A terminated text of 400 bytes fits and is cut to 255 characters; 401 not.
    std::string at(399, 'a'), past(400, 'p');
    hive.SetString(kKey, "AtRoom", at);
    hive.SetString(kKey, "PastRoom", past);
    EXPECT_EQ(Text("AtRoom"), 1u);
    EXPECT_EQ(std::string(out), std::string(255, 'a'));
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(Text("PastRoom"), 0u);
    EXPECT_TRUE(Untouched());

    // The same for a number: its first 4 bytes at 400 bytes of data, nothing at 401.
    std::vector<uint8_t> bytes(401, 0);
    bytes[0] = 0x2A;
    hive.SetRaw(kKey, "NumberAtRoom", REG_DWORD, bytes.data(), 400);
    hive.SetRaw(kKey, "NumberPastRoom", REG_DWORD, bytes.data(), 401);
    hive.SetRaw(kKey, "NumberShort", REG_DWORD, bytes.data(), 3);
    uint32_t n = 0;
    EXPECT_EQ(Number("NumberAtRoom", n), 1u);
    EXPECT_EQ(n, 0x2Au);
    EXPECT_EQ(Number("NumberPastRoom", n), 0u);
    EXPECT_EQ(n, 0xEEEEEEEEu);
    EXPECT_EQ(Number("NumberShort", n), 0u);
    EXPECT_EQ(Number("numberatroom", n), 0u);
}

TEST_F(RegistryLookup, RepeatedLookupsFollowTheRegistry) {
    hive.SetString(kKey, "M_Wanted", "first");
    EXPECT_EQ(Text("M_Wanted"), 1u);
    // Values added before it, one too large to read, move it to another
    // place in the enumeration.
    hive.SetString(kKey, "A_New", "x");
    Blob("B_New", 500);
    EXPECT_EQ(Text("M_Wanted"), 1u);
    EXPECT_STREQ(out, "first");
    // Stored again in other letter case: the exact name is gone.
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kKey, "M_Wanted");
    hive.SetString(kKey, "m_wanted", "lower");
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(Text("M_Wanted"), 0u);
    EXPECT_TRUE(Untouched());
    EXPECT_EQ(Text("m_wanted"), 1u);
    EXPECT_STREQ(out, "lower");
    // Grown past the room, then of a type not accepted.
    hive.SetString(kKey, "m_wanted", std::string(450, 'g'));
    EXPECT_EQ(Text("m_wanted"), 0u);
    hive.SetDword(kKey, "m_wanted", 5);
    EXPECT_EQ(Text("m_wanted"), 0u);
    uint32_t n = 0;
    EXPECT_EQ(Number("m_wanted", n), 1u);
    EXPECT_EQ(n, 5u);
}
