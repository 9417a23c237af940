// The TCP/IP probe's Windows NT 4 path, run in sing_nt4_ipconfig.exe with
// Wine reporting NT 4.0 to it, against this process's scratch hive and with
// kmzhwnic.dll present, absent, without GetIpAddressInfo, failing, or real.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/ChildProcess.h"
#include "support/ScratchHive.h"

namespace {

const std::string kParams = "System\\CurrentControlSet\\Services\\Tcpip\\Parameters";
const std::string kService = "SYSTEM\\CurrentControlSet\\Services\\E1\\Parameters\\Tcpip";

std::string TestFolder() {
    char path[MAX_PATH];
    std::string p(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return p.substr(0, p.find_last_of('\\'));
}

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
    // The child's lines for `indices`, kmzhwnic.dll from `dllDir`.
    std::string Run(const std::string& dllDir, const std::string& indices) {
        std::string out = RunChild("sing_nt4_ipconfig.exe " + hive.RootPath() + " \"" + dllDir + "\" " + indices);
        EXPECT_EQ(out.substr(0, 6), "nt5=0\n") << "the child must see Windows NT 4";
        return out.substr(out.find('\n') + 1);
    }
    std::string Double(const char* kind) { return TestFolder() + "\\hwnic\\" + kind; }

    WineVersionOverride nt4{"sing_nt4_ipconfig.exe", "nt40"};
    ScratchHive hive;
    const std::string ip = HostAddress();
    // Global facts: the name-server lists split at spaces only, and
    // DhcpNameServer replaces NameServer once the library step is passed.
    const std::string tail = "nt4.example|nt4host|10.9.9.1|10.9.9.2|";
    const std::string tailWithoutDhcp = "nt4.example|nt4host|10.0.0.1,10.0.0.2||";
};

}  // namespace

TEST_F(Nt4Layout, CompanionLibraryPresent) {
    // A complete static configuration leaves the library unloaded; index 1
    // has no registry configuration, so the library answers for it. Every
    // index that gets to the end reports the host's resolved address.
    hive.SetDword(kService, "EnableDHCP", 0);
    EXPECT_EQ(Run(Double("present"), "0 1 7"), "1|" + ip + "|255.255.255.0|192.168.50.1|" + tail + "-\n" +
                                                  "1|" + ip + "|255.255.0.0|10.77.0.254|" + tail + "I G1 \n" +
                                                  "1|" + ip + "|255.255.0.0|10.77.0.254|" + tail + "I G7 \n");
    hive.SetString(kService, "SubnetMask", "0.0.0.0");
    EXPECT_EQ(Run(Double("present"), "0"), "1|" + ip + "|255.255.0.0|10.77.0.254|" + tail + "I G0 \n");
    hive.SetString(kService, "SubnetMask", "255.255.255.0");
    hive.SetDword(kService, "EnableDHCP", 1);
    EXPECT_EQ(Run(Double("present"), "0"), "1|" + ip + "|255.255.0.0|10.77.0.254|" + tail + "I G0 \n");
}

TEST_F(Nt4Layout, CompanionLibraryMissingIncompleteOrFailing) {
    // Absent: result 0, the registry's facts stay, the rest is skipped.
    EXPECT_EQ(Run("-", "0 3"), "0|192.168.50.7|255.255.255.0|192.168.50.1|" + tailWithoutDhcp + "-\n" +
                                   "0||||" + tailWithoutDhcp + "-\n");
    // Without GetIpAddressInfo the probe goes on.
    EXPECT_EQ(Run(Double("noinfo"), "0"), "1|" + ip + "|255.255.255.0|192.168.50.1|" + tail + "I \n");
    // Failing: what it wrote stays (cut to 255 characters where it left no
    // terminator), result 0, the rest is skipped.
    EXPECT_EQ(Run(Double("failing"), "0"),
              "0|10.66.0.0|" + std::string(255, 'M') + "|10.66.0.254|" + tailWithoutDhcp + "I G0 \n");
}

TEST_F(Nt4Layout, RealCompanionLibrary) {
    char path[MAX_PATH];
    char* file = nullptr;
    ASSERT_GT(SearchPathA(nullptr, "kmzhwnic.dll", nullptr, MAX_PATH, path, &file), 0u);
    HMODULE real = LoadLibraryA(path);
    auto get = reinterpret_cast<uint32_t(__stdcall*)(uint32_t, char*, char*, char*)>(
        reinterpret_cast<void*>(GetProcAddress(real, "GetIpAddressInfo")));
    ASSERT_NE(get, nullptr);
    char libIp[256], mask[256], gw[256];
    std::string expected = get(0, libIp, mask, gw) ? "1|" + ip + "|" + mask + "|" + gw + "|" + tail + "(real)\n"
                                                   : "0|192.168.50.7|255.255.255.0|192.168.50.1|" +
                                                         tailWithoutDhcp + "(real)\n";
    FreeLibrary(real);
    EXPECT_EQ(Run(std::string(path, file - 1), "0"), expected) << path;
}
