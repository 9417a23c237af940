#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "probes/RegistryLookup.h"
#include "support/ScratchHive.h"

namespace {
const char* kKey = "Software\\LookupTest";

class RegistryLookup : public ::testing::Test {
protected:
    ScratchHive hive;
    char out[256];
    void SetUp() override { std::memset(out, '#', sizeof out); }
    bool Untouched() const { return out[0] == '#' && out[1] == '#'; }
    uint32_t Text(const char* name, const char* key = kKey) {
        return GetRegStringValue(HKEY_LOCAL_MACHINE, key, name, out, 255);
    }
    uint32_t Number(const char* name, uint32_t& value) {
        value = 0xEEEEEEEE;
        return GetRegDwordValue(HKEY_LOCAL_MACHINE, kKey, name, &value);
    }
};
}  // namespace

TEST_F(RegistryLookup, FindsValuesByNameInAnyCaseAndByType) {
    // Spelled as some upgraded machines spell it; asked for as "Hostname".
    hive.SetString(kKey, "HostName", "PC01");
    hive.SetString(kKey, "Expand", "%PATH%", REG_EXPAND_SZ);
    hive.SetMultiString(kKey, "IPAddress", {"10.0.0.5", "10.0.0.6"});
    hive.SetDword(kKey, "EnableDHCP", 1);

    for (const char* name : {"Hostname", "HOSTNAME", "hostname", "HostName"}) {
        std::memset(out, '#', sizeof out);
        EXPECT_EQ(Text(name), 1u) << name;
        EXPECT_STREQ(out, "PC01") << name;
    }
    EXPECT_EQ(Text("ipaddress"), 1u);
    EXPECT_STREQ(out, "10.0.0.5");
    uint32_t n = 0;
    EXPECT_EQ(Number("enabledhcp", n), 1u);
    EXPECT_EQ(n, 1u);

    std::memset(out, '#', sizeof out);
    EXPECT_EQ(Text("Expand"), 0u);
    EXPECT_EQ(Text("EnableDHCP"), 0u);
    EXPECT_EQ(Text("Hostname", "Software\\Missing"), 0u);
    EXPECT_EQ(Text("Missing"), 0u);
    EXPECT_TRUE(Untouched());
    EXPECT_EQ(Number("HostName", n), 0u);
    EXPECT_EQ(n, 0xEEEEEEEEu);
}

TEST_F(RegistryLookup, CopiesAreBoundedAndTerminated) {
    hive.SetString(kKey, "Long", std::string(300, 'x'));
    EXPECT_EQ(Text("Long"), 1u);
    EXPECT_EQ(std::strlen(out), 255u);
    EXPECT_EQ(out[256 - 1], '\0');

    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, kKey, "Long", out, 4), 1u);
    EXPECT_STREQ(out, "xxxx");
}

TEST_F(RegistryLookup, TheWantedValueCountsOnlyWhenItFits) {
    // Values too large to read stand beside the wanted ones without hiding them.
    std::vector<uint8_t> blob(64 * 1024, 0xB7);
    hive.SetRaw(kKey, "A_Huge", REG_BINARY, blob.data(), static_cast<DWORD>(blob.size()));
    hive.SetRaw(kKey, "B_TooLarge", REG_BINARY, blob.data(), 401);

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
}
