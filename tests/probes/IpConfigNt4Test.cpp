// The TCP/IP probe's Windows NT 4 path, run in sing_nt4_ipconfig_probes.exe with
// Wine reporting NT 4.0 to it, against this process's scratch hive and with
// kmzhwnic.dll present, absent, without GetIpAddressInfo or failing.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/ChildProcess.h"
#include "support/ScratchHive.h"
#include "support/TestMachine.h"

namespace {
// Wine's NT 4 setting is per program name: this child is test_probes' alone.
const char kChild[] = "sing_nt4_ipconfig_probes.exe";

// The child's lines for `indices` on `hive`, with the kmzhwnic.dll double `kind` ("-": none).
std::string RunNt4(const ScratchHive& hive, const std::string& kind, const std::string& indices) {
    WineVersionOverride nt4{kChild, "nt40"};
    const std::string dir = kind == "-" ? kind : TestFolder() + "\\hwnic\\" + kind;
    std::string out = RunChild(std::string(kChild) + " " + hive.RootPath() + " \"" + dir + "\" " + indices);
    EXPECT_EQ(out.substr(0, 6), "nt5=0\n") << "the child must see Windows NT 4";
    return out.substr(out.find('\n') + 1);
}
}  // namespace

TEST(Nt4Layout, CompanionLibraryPresentMissingIncompleteOrFailing) {
    const std::string ip = HostAddress();
    ASSERT_FALSE(ip.empty()) << "the host name must resolve on this machine";
    // tests/layouts/nt4.reg as its ipconfig /all shows it, without kmzhwnic.dll:
    // adapter 0 is complete, its address the host name's resolved one; index 1
    // needs the library and ends with 0, keeping the global facts.
    {
        ScratchHive hive;
        hive.LoadLayout("nt4");
        EXPECT_EQ(RunNt4(hive, "-", "0 1"), "1|" + ip + "|255.255.255.0|10.0.0.1|corp.example|ntsrv01|10.0.0.5|10.0.0.6|-\n"
                                         "0||||corp.example|ntsrv01|10.0.0.5|10.0.0.6|-\n");
    }
    ScratchHive hive;  // tests/layouts/nt4-dhcp.reg
    hive.LoadLayout("nt4-dhcp");
    const std::string service = "SYSTEM\\CurrentControlSet\\Services\\E1\\Parameters\\Tcpip";
    // The name-server lists split at spaces only; DhcpNameServer replaces
    // NameServer once the library step is passed.
    const std::string tail = "nt4.example|nt4host|10.9.9.1|10.9.9.2|", noDhcp = "nt4.example|nt4host|10.0.0.1,10.0.0.2||";
    // Absent: result 0, the registry's facts stay, the rest is skipped.
    EXPECT_EQ(RunNt4(hive, "-", "0 3"), "0|192.168.50.7|255.255.255.0|192.168.50.1|" + noDhcp + "-\n0||||" + noDhcp + "-\n");
    // Without GetIpAddressInfo the probe goes on (DHCP: the library is asked).
    EXPECT_EQ(RunNt4(hive, "noinfo", "0"), "1|" + ip + "|255.255.255.0|192.168.50.1|" + tail + "I \n");
    // Failing: what it wrote stays (cut to 255 characters where it left no
    // terminator), result 0, the rest is skipped.
    EXPECT_EQ(RunNt4(hive, "failing", "0"),
              "0|10.66.0.0|" + std::string(255, 'M') + "|10.66.0.254|" + noDhcp + "I G0 \n");
    // A complete static configuration leaves the library unloaded; the library
    // answers for index 1 (none) and for an incomplete one.
    const std::string fromLibrary = "|255.255.0.0|10.77.0.254|" + tail + "I G";
    hive.SetDword(service, "EnableDHCP", 0);
    EXPECT_EQ(RunNt4(hive, "present", "0 1 7"), "1|" + ip + "|255.255.255.0|192.168.50.1|" + tail + "-\n1|" + ip +
                                                 fromLibrary + "1 \n1|" + ip + fromLibrary + "7 \n");
    hive.SetString(service, "SubnetMask", "0.0.0.0");
    EXPECT_EQ(RunNt4(hive, "present", "0"), "1|" + ip + fromLibrary + "0 \n");
}
