// The TCP/IP probe's Windows NT 4 path, run in sing_nt4_ipconfig_probes.exe with
// Wine reporting NT 4.0 to it, against this process's scratch hive and with
// kmzhwnic.dll present, absent, without GetIpAddressInfo or failing.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/ChildProcess.h"
#include "support/ScratchHive.h"

namespace {
// Wine's NT 4 setting is per program name: this child is test_probes' alone.
const char kChild[] = "sing_nt4_ipconfig_probes.exe";
const std::string kParams = "System\\CurrentControlSet\\Services\\Tcpip\\Parameters";
const std::string kService = "SYSTEM\\CurrentControlSet\\Services\\E1\\Parameters\\Tcpip";

// The local host name's first address, as Windows Sockets resolves it.
std::string HostAddress() {
    WSADATA data;
    EXPECT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
    char name[256] = "";
    const hostent* h = gethostname(name, 255) == 0 ? gethostbyname(name) : nullptr;
    std::string text = h != nullptr ? inet_ntoa(*reinterpret_cast<const in_addr*>(h->h_addr_list[0])) : "";
    WSACleanup();
    return text;
}

// The child's lines for `indices` on `hive`, with the kmzhwnic.dll double `kind` ("-": none).
std::string RunNt4(const ScratchHive& hive, const std::string& kind, const std::string& indices) {
    WineVersionOverride nt4{kChild, "nt40"};
    char path[MAX_PATH];
    std::string dir(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    dir = kind == "-" ? kind : dir.substr(0, dir.find_last_of('\\')) + "\\hwnic\\" + kind;
    std::string out = RunChild(std::string(kChild) + " " + hive.RootPath() + " \"" + dir + "\" " + indices);
    EXPECT_EQ(out.substr(0, 6), "nt5=0\n") << "the child must see Windows NT 4";
    return out.substr(out.find('\n') + 1);
}

class Nt4Layout : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(ip.empty()) << "the host name must resolve on this machine";
        hive.SetString(kParams, "Hostname", "nt4host");
        hive.SetString(kParams, "Domain", "nt4.example");
        hive.SetString(kParams, "NameServer", "10.0.0.1,10.0.0.2");
        hive.SetString(kParams, "DhcpNameServer", "10.9.9.1 10.9.9.2");
        hive.SetMultiString("SYSTEM\\CurrentControlSet\\Services\\tcpip\\Linkage", "Bind", {"\\Device\\E1"});
        hive.SetString(kService, "IPAddress", "192.168.50.7");
        hive.SetString(kService, "SubnetMask", "255.255.255.0");
        hive.SetString(kService, "DefaultGateway", "192.168.50.1");
        hive.SetDword(kService, "EnableDHCP", 1);
    }

    ScratchHive hive;
    const std::string ip = HostAddress();
    // The name-server lists split at spaces only; DhcpNameServer replaces
    // NameServer once the library step is passed.
    const std::string tail = "nt4.example|nt4host|10.9.9.1|10.9.9.2|";
    const std::string tailWithoutDhcp = "nt4.example|nt4host|10.0.0.1,10.0.0.2||";
};
}  // namespace

TEST_F(Nt4Layout, CompanionLibraryPresent) {
    // A complete static configuration leaves the library unloaded; index 1
    // has none, so the library answers for it. Every index that gets to the
    // end reports the host's resolved address.
    const std::string fromLibrary = "|255.255.0.0|10.77.0.254|" + tail + "I G";
    hive.SetDword(kService, "EnableDHCP", 0);
    EXPECT_EQ(RunNt4(hive, "present", "0 1 7"), "1|" + ip + "|255.255.255.0|192.168.50.1|" + tail + "-\n1|" + ip +
                                                 fromLibrary + "1 \n1|" + ip + fromLibrary + "7 \n");
    hive.SetString(kService, "SubnetMask", "0.0.0.0");  // incomplete: the library answers
    EXPECT_EQ(RunNt4(hive, "present", "0"), "1|" + ip + fromLibrary + "0 \n");
}

TEST_F(Nt4Layout, CompanionLibraryMissingIncompleteOrFailing) {
    // Absent: result 0, the registry's facts stay, the rest is skipped.
    EXPECT_EQ(RunNt4(hive, "-", "0 3"), "0|192.168.50.7|255.255.255.0|192.168.50.1|" + tailWithoutDhcp + "-\n" +
                                         "0||||" + tailWithoutDhcp + "-\n");
    // Without GetIpAddressInfo the probe goes on (DHCP: the library is asked).
    EXPECT_EQ(RunNt4(hive, "noinfo", "0"), "1|" + ip + "|255.255.255.0|192.168.50.1|" + tail + "I \n");
    // Failing: what it wrote stays (cut to 255 characters where it left no
    // terminator), result 0, the rest is skipped.
    EXPECT_EQ(RunNt4(hive, "failing", "0"),
              "0|10.66.0.0|" + std::string(255, 'M') + "|10.66.0.254|" + tailWithoutDhcp + "I G0 \n");
}

// The NT 4.0 server of tests/layouts/nt4.reg, as its ipconfig /all shows it
// (host ntsrv01.corp.example, DNS 10.0.0.5 and 10.0.0.6, E100B1 10.0.0.21 /
// 255.255.255.0, gateway 10.0.0.1), without kmzhwnic.dll: adapter 0's static
// configuration is complete, so the library is not needed and the address
// becomes the host name's resolved one; index 1 needs the library and ends
// with 0, keeping the global facts.
TEST(Nt4LayoutExport, Nt4Server) {
    const std::string ip = HostAddress();
    ASSERT_FALSE(ip.empty()) << "the host name must resolve on this machine";
    ScratchHive hive;
    hive.LoadLayout("nt4");
    EXPECT_EQ(RunNt4(hive, "-", "0 1"), "1|" + ip + "|255.255.255.0|10.0.0.1|corp.example|ntsrv01|10.0.0.5|10.0.0.6|-\n"
                                     "0||||corp.example|ntsrv01|10.0.0.5|10.0.0.6|-\n");
}
