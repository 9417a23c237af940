#include <gtest/gtest.h>

#include <cstring>
#include <string>

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
};
}  // namespace

TEST_F(RegistryLookup, FindsStringsByExactNameAndType) {
    // Value names are case-insensitive to the registry itself, so the
    // differently cased name lives in its own key.
    hive.SetString("Software\\Cased", "hostname", "lower");
    hive.SetString(kKey, "Expand", "%PATH%", REG_EXPAND_SZ);
    hive.SetString(kKey, "Hostname", "PC01");
    hive.SetMultiString(kKey, "IPAddress", {"10.0.0.5", "10.0.0.6"});

    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, kKey, "Hostname", out, 255), 1u);
    EXPECT_STREQ(out, "PC01");
    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, kKey, "IPAddress", out, 255), 1u);
    EXPECT_STREQ(out, "10.0.0.5");

    std::memset(out, '#', sizeof out);
    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, kKey, "HOSTNAME", out, 255), 0u);
    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, "Software\\Cased", "Hostname", out, 255), 0u);
    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, kKey, "Expand", out, 255), 0u);
    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, "Software\\Missing", "Hostname", out, 255), 0u);
    EXPECT_TRUE(Untouched());
}

TEST_F(RegistryLookup, CopiesAreBoundedAndTerminated) {
    hive.SetString(kKey, "Long", std::string(300, 'x'));
    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, kKey, "Long", out, 255), 1u);
    EXPECT_EQ(std::strlen(out), 255u);
    EXPECT_EQ(out[256 - 1], '\0');

    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, kKey, "Long", out, 4), 1u);
    EXPECT_STREQ(out, "xxxx");
}

// Wine enumerates values in name order, Windows in creation order: the names
// here sort in the order they are created.
TEST_F(RegistryLookup, AValueOver400BytesHidesTheValuesAfterIt) {
    hive.SetString(kKey, "A_Before", "seen");
    hive.SetString(kKey, "B_Big", std::string(450, 'b'));
    hive.SetString(kKey, "C_After", "hidden");
    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, kKey, "A_Before", out, 255), 1u);
    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, kKey, "B_Big", out, 255), 0u);
    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, kKey, "C_After", out, 255), 0u);

    // 399 characters and a terminator fit exactly.
    ScratchHive other;
    other.SetString(kKey, "A_Fits", std::string(399, 'f'));
    other.SetString(kKey, "B_Next", "reached");
    EXPECT_EQ(GetRegStringValue(HKEY_LOCAL_MACHINE, kKey, "B_Next", out, 255), 1u);
    EXPECT_STREQ(out, "reached");
}
