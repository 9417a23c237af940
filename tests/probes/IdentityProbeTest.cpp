// The identity probe against a scratch hive. Under Wine the workstation
// service reports the computer name as the LAN group, and the local policy
// names no domain: the machine is in a workgroup.
#include <windows.h>
#include <ntsecapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "probes/IdentityProbe.h"
#include "support/CodePage.h"
#include "support/ScratchHive.h"

namespace {
const std::string kControl = "System\\CurrentControlSet\\Control";
const std::string kCurrentVersion = "Software\\Microsoft\\Windows NT\\CurrentVersion";

// "computer|domain|workgroup|user|owner|organization|productId".
std::string Query(uint32_t size = 255) {
    char t[7][256];
    std::memset(t, 'X', sizeof t);
    EXPECT_EQ(QueryWorkstationIdentity(t[0], t[1], t[2], t[3], t[4], t[5], t[6], size), 1u);
    return std::string(t[0]) + "|" + t[1] + "|" + t[2] + "|" + t[3] + "|" + t[4] + "|" + t[5] + "|" + t[6];
}
}  // namespace

TEST(IdentityProbe, ReadsEveryFactFromItsSourceWithinSize) {
    ScratchHive hive;
    hive.SetComputerName("pc02");
    hive.SetString(kCurrentVersion + "\\Winlogon", "DefaultUserName", "someone");
    hive.SetString(kCurrentVersion, "ProductId", std::string(300, 'p'));
    // No CurrentUser: Winlogon is not asked. The LAN group is bounded by its
    // 256-byte buffer alone; sizes past 256 count as 256.
    EXPECT_EQ(Query(4), "pc0||PC02||||ppp");
    EXPECT_EQ(Query(0), "||||||");
    EXPECT_EQ(Query(100000), "pc02||PC02||||" + std::string(255, 'p'));

    hive.SetString(kControl, "CurrentUser", "jdoe");
    hive.SetString(kCurrentVersion, "RegisteredOwner", std::string(300, 'o'));  // cut to 254
    hive.SetString(kCurrentVersion, "RegisteredOrganization", "Example Ltd");
    hive.SetDword(kCurrentVersion, "ProductId", 12345);  // not a string: absent
    EXPECT_EQ(Query(), "pc02||PC02|jdoe|" + std::string(254, 'o') + "|Example Ltd|");
    EXPECT_EQ(QueryDomainMembership(), 0u);
    // Winlogon's name stands in only for the exact word USERNAME (the layout
    // scenarios show it does for that word).
    hive.SetString(kControl, "CurrentUser", "username");
    EXPECT_EQ(Query().substr(0, 20), "pc02||PC02|username|");
    // The local policy refuses a name too long for a counted string.
    void* handle = nullptr;
    ASSERT_EQ(OpenLocalPolicy(nullptr, 1, &handle), 0);
    LsaClose(handle);
    handle = nullptr;
    std::wstring huge(40000, L'a');
    EXPECT_EQ(static_cast<uint32_t>(OpenLocalPolicy(huge.c_str(), 1, &handle)), 0xC000000Du);
    EXPECT_EQ(handle, nullptr);
}

// Run again by "test_probes_dbcs" in a process with code page 932, where
// "\x83\x61" is one character whose trail byte is a small letter's.
TEST(IdentityProbe, DoubleByteWorkgroupKeepsItsCharacters) {
    if (std::string why = NotDoubleByteCodePage(); !why.empty())
        GTEST_SKIP() << why;
    ScratchHive hive;
    for (auto [name, workgroup] : {std::pair{"\x83\x61\x83\x7A", "\x83\x61\x83\x7A"},
                                   {"ab\x83\x61-\x83\x41z", "AB\x83\x61-\x83\x41Z"}}) {
        hive.SetComputerName(name);
        const std::string want = std::string(name) + "||" + workgroup + "|";
        EXPECT_EQ(Query().substr(0, want.size()), want);
    }
}
