// The identity probe against a scratch hive. Under Wine the workstation
// service reports the computer name as the LAN group, and the local policy
// names no domain: the machine is in a workgroup.
#include <windows.h>
#include <ntsecapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "probes/IdentityProbe.h"
#include "support/ScratchHive.h"

namespace {

const std::string kControl = "System\\CurrentControlSet\\Control";
const std::string kWinlogon = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const std::string kCurrentVersion = "Software\\Microsoft\\Windows NT\\CurrentVersion";

struct Identity {
    char computerName[256], domain[256], workgroup[256], userName[256], owner[256], organization[256],
        productId[256];
};

Identity Query(uint32_t size = 255) {
    Identity id;
    std::memset(&id, 'X', sizeof id);
    EXPECT_EQ(QueryWorkstationIdentity(id.computerName, id.domain, id.workgroup, id.userName, id.owner,
                                       id.organization, id.productId, size),
              1u);
    return id;
}

}  // namespace

TEST(IdentityProbe, ReadsEveryFactFromItsSource) {
    ScratchHive hive;
    hive.SetComputerName("office7");
    hive.SetString(kControl, "CurrentUser", "jdoe");
    hive.SetString(kWinlogon, "DefaultUserName", "someone");
    hive.SetString(kCurrentVersion, "RegisteredOwner", std::string(300, 'o'));
    hive.SetString(kCurrentVersion, "RegisteredOrganization", "Example Ltd");
    hive.SetDword(kCurrentVersion, "ProductId", 12345);  // not a string: absent

    Identity id = Query();
    EXPECT_STRCASEEQ(id.computerName, "office7");
    EXPECT_STREQ(id.userName, "jdoe");
    EXPECT_EQ(std::string(id.owner), std::string(254, 'o'));
    EXPECT_STREQ(id.organization, "Example Ltd");
    EXPECT_STREQ(id.productId, "");
    EXPECT_STREQ(id.domain, "");
    EXPECT_STREQ(id.workgroup, "OFFICE7");  // upper-cased
    EXPECT_EQ(QueryDomainMembership(), 0u);
}

TEST(IdentityProbe, UserNameComesFromCurrentUserOrWinlogon) {
    ScratchHive hive;
    hive.SetString(kWinlogon, "DefaultUserName", "winlogon-user");
    EXPECT_STREQ(Query().userName, "");  // no CurrentUser: Winlogon is not asked
    hive.SetString(kControl, "CurrentUser", "USERNAME");
    EXPECT_STREQ(Query().userName, "winlogon-user");
    hive.SetString(kControl, "CurrentUser", "username");
    EXPECT_STREQ(Query().userName, "username");

    ScratchHive other;
    other.SetString(kControl, "CurrentUser", "USERNAME");
    EXPECT_STREQ(Query().userName, "");
}

TEST(IdentityProbe, SizeBoundsEveryCopy) {
    ScratchHive hive;
    hive.SetComputerName("pc02");
    hive.SetString(kControl, "CurrentUser", "jdoe-long");
    hive.SetString(kCurrentVersion, "ProductId", std::string(300, 'p'));

    Identity id = Query(4);
    EXPECT_EQ(std::strlen(id.computerName), 3u);
    EXPECT_STREQ(id.userName, "jdo");
    EXPECT_STREQ(id.productId, "ppp");

    // Nothing fits into 0 bytes; sizes past the 256-byte buffers count as 256.
    id = Query(0);
    for (const char* t : {id.computerName, id.domain, id.workgroup, id.userName, id.owner, id.organization,
                          id.productId})
        EXPECT_STREQ(t, "");
    id = Query(100000);
    EXPECT_EQ(std::string(id.productId), std::string(255, 'p'));
}

TEST(IdentityProbe, LocalPolicyOpensForTheLocalMachineOnly) {
    void* handle = nullptr;
    EXPECT_EQ(OpenLocalPolicy(nullptr, POLICY_VIEW_LOCAL_INFORMATION, &handle), 0);
    ASSERT_NE(handle, nullptr);
    LsaClose(handle);
    // A name too long for a counted string is refused before the call.
    std::wstring huge(40000, L'a');
    handle = nullptr;
    EXPECT_EQ(static_cast<uint32_t>(OpenLocalPolicy(huge.c_str(), POLICY_VIEW_LOCAL_INFORMATION, &handle)),
              0xC000000Du);
    EXPECT_EQ(handle, nullptr);
}
