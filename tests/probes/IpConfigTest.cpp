// The TCP/IP probe on this prefix's Windows version (2000 or later: the
// per-interface layout), and the NT 4 adapter-service reading, which does
// not depend on the version. Registry fixtures live in a scratch hive.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "kmzipc32.h"
#include "probes/IpConfigProbe.h"
#include "support/ScratchHive.h"

namespace {

const std::string kParams = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
const std::string kInterfaces = kParams + "\\Interfaces";

struct IpConfig {
    int32_t result;
    char ip[256], mask[256], host[256], domain[256], gw[256], dns1[256], dns2[256], reserved[16];
    uint32_t r1, r2;
};

IpConfig Probe(uint32_t index) {
    IpConfig c;
    std::memset(&c, 'X', sizeof c);  // unterminated junk everywhere
    c.result = GetAdapterIpConfig(index, c.ip, c.mask, c.host, c.domain, c.gw, c.dns1, c.dns2, c.reserved, &c.r1,
                                  &c.r2);
    return c;
}

void ExpectAllEmpty(const IpConfig& c) {
    for (const char* t : {c.ip, c.mask, c.host, c.domain, c.gw, c.dns1, c.dns2})
        EXPECT_STREQ(t, "");
}

class Win2000Layout : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(IsWinNT5(), 0u) << "the test prefix must report Windows 2000 or later";
        hive.CreateKey(kParams + "\\Adapters");
        hive.SetString(kParams, "Hostname", "ws01");
    }
    ScratchHive hive;
};

}  // namespace

// Interface names sort in creation order (Wine enumerates subkeys by name).
TEST_F(Win2000Layout, StaticAndDhcpInterfaces) {
    const std::string a = kInterfaces + "\\{A-STATIC}";
    hive.SetDword(a, "EnableDHCP", 0);
    hive.SetMultiString(a, "IPAddress", {"10.1.2.3", "10.1.2.4"});
    hive.SetString(a, "SubnetMask", "0.0.0.0");
    hive.SetString(a, "Domain", "corp.example");
    hive.SetString(a, "DefaultGateway", "0.0.0.0");
    hive.SetString(a, "NameServer", "10.0.0.1,10.0.0.2");
    hive.SetString(a, "DhcpIPAddress", "9.9.9.9");
    const std::string b = kInterfaces + "\\{B-DHCP}";
    hive.SetDword(b, "EnableDHCP", 1);
    hive.SetString(b, "IPAddress", "7.7.7.7");
    hive.SetString(b, "DhcpIPAddress", "192.168.1.20");
    hive.SetString(b, "DhcpSubnetMask", "255.255.255.0");
    hive.SetString(b, "DhcpDomain", "dhcp.example");
    hive.SetMultiString(b, "DhcpDefaultGateway", {"192.168.1.1", "192.168.1.254"});
    hive.SetString(b, "NameServer", "10.0.0.9 , 10.0.0.8");
    hive.SetString(b, "DhcpNameServer", "192.168.1.1,192.168.1.2");
    const std::string c = kInterfaces + "\\{C-DHCP-EMPTY}";
    hive.SetDword(c, "EnableDHCP", 5);
    hive.SetString(c, "DhcpIPAddress", "0.0.0.0");
    hive.SetString(c, "DhcpSubnetMask", "0.0.0.0");
    hive.SetString(c, "DhcpDefaultGateway", "0.0.0.0");
    hive.SetString(c, "DhcpNameServer", "1.1.1.1 2.2.2.2 3.3.3.3");

    IpConfig s = Probe(0);
    EXPECT_EQ(s.result, 1);
    EXPECT_STREQ(s.ip, "10.1.2.3");
    EXPECT_STREQ(s.mask, "0.0.0.0");  // taken as it is
    EXPECT_STREQ(s.gw, "");           // "0.0.0.0" is no gateway
    EXPECT_STREQ(s.domain, "corp.example");
    EXPECT_STREQ(s.host, "ws01");
    EXPECT_STREQ(s.dns1, "10.0.0.1");
    EXPECT_STREQ(s.dns2, "10.0.0.2");
    EXPECT_STREQ(s.reserved, "");
    EXPECT_EQ(s.r1, 0u);
    EXPECT_EQ(s.r2, 0u);

    IpConfig d = Probe(1);
    EXPECT_STREQ(d.ip, "192.168.1.20");
    EXPECT_STREQ(d.mask, "255.255.255.0");
    EXPECT_STREQ(d.gw, "192.168.1.1");
    EXPECT_STREQ(d.domain, "dhcp.example");
    EXPECT_STREQ(d.host, "ws01");
    // The interface's NameServer (comma or space) comes first; the DHCP list
    // splits at spaces only, so its one token replaces the first server.
    EXPECT_STREQ(d.dns1, "192.168.1.1,192.168.1.2");
    EXPECT_STREQ(d.dns2, "10.0.0.8");

    IpConfig e = Probe(2);
    EXPECT_STREQ(e.ip, "");
    EXPECT_STREQ(e.mask, "0.0.0.0");
    EXPECT_STREQ(e.gw, "");
    EXPECT_STREQ(e.domain, "");
    EXPECT_STREQ(e.dns1, "1.1.1.1");
    EXPECT_STREQ(e.dns2, "2.2.2.2");

    // Past the last interface: nothing at all, not even the host name.
    IpConfig none = Probe(3);
    EXPECT_EQ(none.result, 1);
    ExpectAllEmpty(none);
    EXPECT_STREQ(none.reserved, "");
}

TEST_F(Win2000Layout, MissingKeysAtEachStep) {
    const std::string a = kInterfaces + "\\{A}";
    hive.SetString(a, "NameServer", "10.0.0.1 10.0.0.2");
    hive.SetString(a, "IPAddress", "10.1.2.3");
    hive.SetString(a, "EnableDHCP", "0");  // not a number: counts as missing
    // Interface names of 39 characters are served, longer ones are not.
    hive.CreateKey(kInterfaces + "\\{Y" + std::string(37, 'L'));
    hive.CreateKey(kInterfaces + "\\{Z" + std::string(38, 'L'));

    // Without EnableDHCP only the name servers and the host name are read.
    IpConfig c = Probe(0);
    EXPECT_STREQ(c.dns1, "10.0.0.1");
    EXPECT_STREQ(c.dns2, "10.0.0.2");
    EXPECT_STREQ(c.host, "ws01");
    EXPECT_STREQ(c.ip, "");
    EXPECT_STREQ(Probe(1).host, "ws01");
    ExpectAllEmpty(Probe(2));

    // No Adapters key: nothing is read.
    hive.SetDword(a, "EnableDHCP", 0);
    EXPECT_STREQ(Probe(0).ip, "10.1.2.3");
    hive.DeleteKey(kParams + "\\Adapters");
    ExpectAllEmpty(Probe(0));

    // No Interfaces key: the host name alone.
    hive.CreateKey(kParams + "\\Adapters");
    hive.DeleteKey(kInterfaces);
    c = Probe(0);
    EXPECT_STREQ(c.host, "ws01");
    EXPECT_STREQ(c.ip, "");
    EXPECT_STREQ(c.dns1, "");
}

namespace {

const std::string kLinkage = "SYSTEM\\CurrentControlSet\\Services\\tcpip\\Linkage";

struct Nt4Config {
    uint16_t result;
    char ip[256] = "keep", mask[256] = "keep", gw[256] = "keep";
    uint32_t dhcp = 99;
};

Nt4Config ReadNt4(uint32_t index) {
    Nt4Config c;
    c.result = ReadIpConfigNt4(index, c.ip, c.mask, c.gw, &c.dhcp, 255);
    return c;
}

std::string ServiceKey(const std::string& service) {
    return "SYSTEM\\CurrentControlSet\\Services\\" + service + "\\Parameters\\Tcpip";
}

}  // namespace

TEST(Nt4AdapterService, ReadsTheFirstBoundService) {
    ScratchHive hive;
    EXPECT_EQ(ReadNt4(0).result, 0);  // no Linkage key
    hive.SetMultiString(kLinkage, "Bind", {"\\Device\\El59x1", "\\Device\\NetBT_Other"});
    hive.SetMultiString(ServiceKey("El59x1"), "IPAddress", {"10.5.5.5", "10.5.5.6"});
    hive.SetMultiString(ServiceKey("El59x1"), "SubnetMask", {"255.0.0.0"});
    hive.SetString(ServiceKey("El59x1"), "DefaultGateway", "10.0.0.254");
    hive.SetDword(ServiceKey("El59x1"), "EnableDHCP", 1);

    Nt4Config c = ReadNt4(0);
    EXPECT_EQ(c.result, 1);
    EXPECT_STREQ(c.ip, "10.5.5.5");
    EXPECT_STREQ(c.mask, "255.0.0.0");
    EXPECT_STREQ(c.gw, "10.0.0.254");
    EXPECT_EQ(c.dhcp, 1u);

    // Only index 0 is served.
    c = ReadNt4(1);
    EXPECT_EQ(c.result, 0);
    EXPECT_STREQ(c.ip, "keep");

    // EnableDHCP: the first 4 bytes whatever the type. A value that cannot be
    // read (missing, or over 126 bytes) leaves its output alone.
    const uint8_t raw[5] = {2, 0, 0, 0, 9};
    hive.DeleteKey(ServiceKey("El59x1"));
    hive.SetRaw(ServiceKey("El59x1"), "EnableDHCP", REG_BINARY, raw, sizeof raw);
    hive.SetString(ServiceKey("El59x1"), "IPAddress", std::string(126, '1'));
    hive.SetString(ServiceKey("El59x1"), "SubnetMask", std::string(125, '2'));
    c = ReadNt4(0);
    EXPECT_EQ(c.result, 1);
    EXPECT_EQ(c.dhcp, 2u);
    EXPECT_STREQ(c.ip, "keep");
    EXPECT_EQ(std::string(c.mask), std::string(125, '2'));
    EXPECT_STREQ(c.gw, "keep");
}

TEST(Nt4AdapterService, BindListAndServiceNameLimits) {
    ScratchHive hive;
    auto serve = [&](const std::string& service) {
        hive.SetString(ServiceKey(service), "IPAddress", "10.6.6.6");
        hive.SetMultiString(kLinkage, "Bind", {"\\Device\\" + service});
        return ReadNt4(0);
    };
    // The path holds service names of up to 48 characters.
    EXPECT_EQ(serve(std::string(48, 's')).result, 1);
    EXPECT_EQ(serve(std::string(49, 's')).result, 0);
    // A name without a backslash is the service name itself.
    hive.SetMultiString(kLinkage, "Bind", {"Plain"});
    hive.SetString(ServiceKey("Plain"), "IPAddress", "10.7.7.7");
    EXPECT_STREQ(ReadNt4(0).ip, "10.7.7.7");
    // An empty first string, and a list over 126 bytes.
    hive.SetMultiString(kLinkage, "Bind", {"", "\\Device\\Plain"});
    EXPECT_EQ(ReadNt4(0).result, 0);
    hive.SetMultiString(kLinkage, "Bind", {"\\Device\\Plain", std::string(120, 'x')});
    EXPECT_EQ(ReadNt4(0).result, 0);
}
