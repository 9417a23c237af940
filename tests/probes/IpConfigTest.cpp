// The TCP/IP probe on this prefix's Windows version (the per-interface
// layout), and the NT 4 adapter-service reading. Fixtures: a scratch hive.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "kmzipc32.h"
#include "probes/IpConfigProbe.h"
#include "support/ScratchHive.h"

namespace {
const std::string kParams = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
const std::string kInterfaces = kParams + "\\Interfaces\\";

// "ip|mask|gateway|domain|host|dns1|dns2" for `index`, probed into junk-filled buffers.
std::string Probe(uint32_t index) {
    char t[7][256], reserved[16];
    std::memset(t, 'X', sizeof t);
    std::memset(reserved, 'X', sizeof reserved);
    uint32_t r1 = 5, r2 = 5;
    EXPECT_EQ(GetAdapterIpConfig(index, t[0], t[1], t[4], t[3], t[2], t[5], t[6], reserved, &r1, &r2), 1);
    EXPECT_TRUE(reserved[0] == '\0' && r1 == 0 && r2 == 0);
    std::string s = t[0];
    for (int i = 1; i < 7; ++i)
        s += std::string("|") + t[i];
    return s;
}

// "result|ip|mask|gateway|dhcp" from outputs that start as "keep" and 99.
std::string ReadNt4(uint32_t index) {
    char ip[256] = "keep", mask[256] = "keep", gw[256] = "keep";
    uint32_t dhcp = 99;
    bool read = ReadIpConfigNt4(index, ip, mask, gw, &dhcp, 255);
    return std::string(read ? "1" : "0") + "|" + ip + "|" + mask + "|" + gw + "|" + std::to_string(dhcp);
}
}  // namespace

// Interface names sort in creation order (Wine enumerates subkeys by name).
TEST(IpConfigWin2000Layout, StaticDhcpAndMissingKeys) {
    ASSERT_NE(IsWinNT5(), 0u) << "the test prefix must report Windows 2000 or later";
    ScratchHive hive;
    hive.CreateKey(kParams + "\\Adapters");
    hive.SetString(kParams, "Hostname", "ws01");
    const std::string a = kInterfaces + "{A-STATIC}", b = kInterfaces + "{B-DHCP}", c = kInterfaces + "{C-EMPTY}";
    hive.SetDword(a, "EnableDHCP", 0);
    hive.SetMultiString(a, "IPAddress", {"10.1.2.3", "10.1.2.4"});
    hive.SetString(a, "DhcpIPAddress", "9.9.9.9");
    hive.SetDword(b, "EnableDHCP", 1);
    hive.SetString(b, "IPAddress", "7.7.7.7");
    hive.SetMultiString(b, "DhcpDefaultGateway", {"192.168.1.1", "192.168.1.254"});
    hive.SetString(b, "NameServer", "10.0.0.9 , 10.0.0.8");
    hive.SetString(b, "DhcpNameServer", "192.168.1.1,192.168.1.2");
    hive.SetDword(c, "EnableDHCP", 5);
    hive.SetString(c, "DhcpNameServer", "1.1.1.1 2.2.2.2 3.3.3.3");
    for (auto [key, name, value] : {std::tuple{a, "SubnetMask", "0.0.0.0"}, {a, "Domain", "corp.example"},
                                    {a, "DefaultGateway", "0.0.0.0"}, {a, "NameServer", "10.0.0.1,10.0.0.2"},
                                    {b, "DhcpIPAddress", "192.168.1.20"}, {b, "DhcpSubnetMask", "255.255.255.0"},
                                    {b, "DhcpDomain", "dhcp.example"}, {c, "DhcpIPAddress", "0.0.0.0"},
                                    {c, "DhcpSubnetMask", "0.0.0.0"}, {c, "DhcpDefaultGateway", "0.0.0.0"}})
        hive.SetString(key, name, value);
    // "0.0.0.0" is no address and no gateway, but a mask taken as it is. The
    // interface's NameServer splits at commas and spaces, the DHCP list at
    // spaces only (its one token replaces only the first server); a third server is dropped.
    EXPECT_EQ(Probe(0), "10.1.2.3|0.0.0.0||corp.example|ws01|10.0.0.1|10.0.0.2");
    EXPECT_EQ(Probe(1), "192.168.1.20|255.255.255.0|192.168.1.1|dhcp.example|ws01|192.168.1.1,192.168.1.2|10.0.0.8");
    EXPECT_EQ(Probe(2), "|0.0.0.0|||ws01|1.1.1.1|2.2.2.2");
    EXPECT_EQ(Probe(3), "||||||");  // past the last interface: not even the host name

    for (const std::string& k : {a, b, c})
        hive.DeleteKey(k);
    const std::string d = kInterfaces + "{D}";
    hive.SetString(d, "NameServer", "10.0.0.1 10.0.0.2");
    hive.SetString(d, "IPAddress", "10.1.2.3");
    hive.SetString(d, "EnableDHCP", "0");  // not a number: missing
    // Interface names of 39 characters are served, longer ones are not.
    hive.CreateKey(kInterfaces + "{Y" + std::string(37, 'L'));
    hive.CreateKey(kInterfaces + "{Z" + std::string(38, 'L'));
    EXPECT_EQ(Probe(0), "||||ws01|10.0.0.1|10.0.0.2");
    EXPECT_EQ(Probe(1), "||||ws01||");
    EXPECT_EQ(Probe(2), "||||||");
    hive.SetDword(d, "EnableDHCP", 0);
    EXPECT_EQ(Probe(0), "10.1.2.3||||ws01|10.0.0.1|10.0.0.2");
    hive.DeleteKey(kParams + "\\Adapters");
    EXPECT_EQ(Probe(0), "||||||");
    hive.CreateKey(kParams + "\\Adapters");
    hive.DeleteKey(kParams + "\\Interfaces");
    EXPECT_EQ(Probe(0), "||||ws01||");
}

TEST(Nt4AdapterService, ReadsTheFirstBoundService) {
    ScratchHive hive;
    const std::string kLinkage = "SYSTEM\\CurrentControlSet\\Services\\tcpip\\Linkage";
    auto service = [](const std::string& s) { return "SYSTEM\\CurrentControlSet\\Services\\" + s + "\\Parameters\\Tcpip"; };
    EXPECT_EQ(ReadNt4(0), "0|keep|keep|keep|99");  // no Linkage key
    hive.SetMultiString(kLinkage, "Bind", {"\\Device\\El59x1", "\\Device\\Other"});
    hive.SetMultiString(service("El59x1"), "IPAddress", {"10.5.5.5", "10.5.5.6"});
    hive.SetString(service("El59x1"), "SubnetMask", std::string(125, '2'));
    hive.SetString(service("El59x1"), "DefaultGateway", std::string(126, '3'));  // over 126 bytes: not read
    const uint8_t raw[5] = {2, 0, 0, 0, 9};  // EnableDHCP: the first 4 bytes of any type
    hive.SetRaw(service("El59x1"), "EnableDHCP", REG_BINARY, raw, sizeof raw);
    EXPECT_EQ(ReadNt4(0), "1|10.5.5.5|" + std::string(125, '2') + "|keep|2");
    EXPECT_EQ(ReadNt4(1), "0|keep|keep|keep|99");  // index 0 only

    // The 100-byte path holds service names of up to 48 characters; a name
    // without a backslash is taken whole; an empty or over-long first entry fails.
    hive.SetString(service(std::string(48, 's')), "IPAddress", "10.6.6.6");
    hive.SetString(service(std::string(49, 's')), "IPAddress", "10.6.6.6");
    for (auto [bind, want] : {std::pair{std::string("\\Device\\") + std::string(48, 's'), "1|10.6.6.6"},
                              {"\\Device\\" + std::string(49, 's'), "0|keep|kee"}, {"El59x1", "1|10.5.5.5"}}) {
        hive.SetMultiString(kLinkage, "Bind", {bind});
        EXPECT_EQ(ReadNt4(0).substr(0, 10), want) << bind;
    }
    hive.SetMultiString(kLinkage, "Bind", {"", "\\Device\\El59x1"});
    EXPECT_EQ(ReadNt4(0)[0], '0');
    hive.SetMultiString(kLinkage, "Bind", {"\\Device\\El59x1", std::string(120, 'x')});  // over 126 bytes
    EXPECT_EQ(ReadNt4(0)[0], '0');
}
