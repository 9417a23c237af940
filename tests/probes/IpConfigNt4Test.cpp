// The TCP/IP probe's Windows NT 4 path, run in sing_nt4_ipconfig.exe with
// Wine reporting NT 4.0 to it, against this process's scratch hive and with
// kmzhwnic.dll present, absent, without GetIpAddressInfo, failing, or real.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/ScratchHive.h"

namespace {

using Fields = std::map<std::string, std::string>;

const std::string kParams = "System\\CurrentControlSet\\Services\\Tcpip\\Parameters";
const std::string kService = "SYSTEM\\CurrentControlSet\\Services\\E1\\Parameters\\Tcpip";

std::string TestFolder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path, n);
    return p.substr(0, p.find_last_of('\\'));
}

// The local host name's first address, as Windows Sockets resolves it.
std::string HostAddress() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0)
        return "";
    std::string text;
    char name[256] = "";
    if (gethostname(name, 255) == 0) {
        const hostent* h = gethostbyname(name);
        if (h != nullptr && h->h_addr_list[0] != nullptr)
            text = inet_ntoa(*reinterpret_cast<const in_addr*>(h->h_addr_list[0]));
    }
    WSACleanup();
    return text;
}

class Nt4Layout : public ::testing::Test {
protected:
    void SetUp() override {
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

    // Runs the probe for `indices` with kmzhwnic.dll from `dllDir` ("-": none).
    std::vector<Fields> Run(const std::string& dllDir, const std::string& indices) {
        std::string out = RunChild("sing_nt4_ipconfig.exe " + hive.RootPath() + " \"" + dllDir + "\" " + indices);
        EXPECT_NE(out.find("nt5=0"), std::string::npos) << "the child must see Windows NT 4: " << out;
        std::vector<Fields> lines;
        std::istringstream in(out);
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("index=", 0) != 0)
                continue;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            Fields f;
            std::istringstream fields(line);
            std::string kv;
            while (std::getline(fields, kv, '|'))
                f[kv.substr(0, kv.find('='))] = kv.substr(kv.find('=') + 1);
            lines.push_back(f);
        }
        return lines;
    }
    std::string Double(const char* kind) { return TestFolder() + "\\hwnic\\" + kind; }

    ScratchHive hive;
    WineVersionOverride nt4{"sing_nt4_ipconfig.exe", "nt40"};
    const std::string resolved = HostAddress();
};

}  // namespace

TEST_F(Nt4Layout, CompanionLibraryPresent) {
    ASSERT_FALSE(resolved.empty()) << "the host name must resolve on this machine";
    hive.SetDword(kService, "EnableDHCP", 0);
    std::vector<Fields> r = Run(Double("present"), "0 1 7");
    ASSERT_EQ(r.size(), 3u);
    // A complete static configuration: the library is not loaded.
    EXPECT_EQ(r[0]["result"], "1");
    EXPECT_EQ(r[0]["loaded"], "0");
    EXPECT_EQ(r[0]["mask"], "255.255.255.0");
    EXPECT_EQ(r[0]["gw"], "192.168.50.1");
    EXPECT_EQ(r[0]["host"], "nt4host");
    EXPECT_EQ(r[0]["domain"], "nt4.example");
    // The global lists split at spaces only; DhcpNameServer replaces NameServer.
    EXPECT_EQ(r[0]["dns1"], "10.9.9.1");
    EXPECT_EQ(r[0]["dns2"], "10.9.9.2");
    EXPECT_EQ(r[0]["reserved"], "");
    EXPECT_EQ(r[0]["r1"], "0");
    EXPECT_EQ(r[0]["r2"], "0");
    // Every index that gets to the end reports the host's resolved address.
    EXPECT_EQ(r[0]["ip"], resolved);

    // Other indices have no registry configuration: the library answers,
    // initialised before each question.
    for (int i : {1, 2}) {
        EXPECT_EQ(r[i]["result"], "1");
        EXPECT_EQ(r[i]["calls"], i == 1 ? "I G1 " : "I G7 ");
        EXPECT_EQ(r[i]["mask"], "255.255.0.0");
        EXPECT_EQ(r[i]["gw"], "10.77.0.254");
        EXPECT_EQ(r[i]["ip"], resolved);
        EXPECT_EQ(r[i]["dns1"], "10.9.9.1");
    }
}

TEST_F(Nt4Layout, DhcpOrMissingAddressConsultsTheLibrary) {
    std::vector<Fields> r = Run(Double("present"), "0");
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0]["calls"], "I G0 ");
    EXPECT_EQ(r[0]["gw"], "10.77.0.254");

    hive.SetDword(kService, "EnableDHCP", 0);
    hive.SetString(kService, "SubnetMask", "0.0.0.0");
    r = Run(Double("present"), "0");
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0]["calls"], "I G0 ");
}

TEST_F(Nt4Layout, CompanionLibraryAbsent) {
    std::vector<Fields> r = Run("-", "0 3");
    ASSERT_EQ(r.size(), 2u);
    for (Fields& f : r) {
        EXPECT_EQ(f["result"], "0");
        EXPECT_EQ(f["loaded"], "0");
        EXPECT_EQ(f["host"], "nt4host");
        EXPECT_EQ(f["domain"], "nt4.example");
        // NameServer only: DhcpNameServer and the host's address are skipped.
        EXPECT_EQ(f["dns1"], "10.0.0.1,10.0.0.2");
        EXPECT_EQ(f["dns2"], "");
    }
    EXPECT_EQ(r[0]["ip"], "192.168.50.7");
    EXPECT_EQ(r[0]["gw"], "192.168.50.1");
    EXPECT_EQ(r[1]["ip"], "");
}

TEST_F(Nt4Layout, CompanionLibraryWithoutGetIpAddressInfo) {
    std::vector<Fields> r = Run(Double("noinfo"), "0");
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0]["result"], "1");
    EXPECT_EQ(r[0]["calls"], "I ");
    EXPECT_EQ(r[0]["mask"], "255.255.255.0");
    EXPECT_EQ(r[0]["dns1"], "10.9.9.1");
    EXPECT_EQ(r[0]["ip"], resolved);
}

TEST_F(Nt4Layout, CompanionLibraryFailing) {
    std::vector<Fields> r = Run(Double("failing"), "0 5");
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0]["result"], "0");
    EXPECT_EQ(r[0]["calls"], "I G0 ");
    // What the library wrote stays, cut to 255 characters where it left
    // the text unterminated; the rest of the probe is skipped.
    EXPECT_EQ(r[0]["ip"], "10.66.0.0");
    EXPECT_EQ(r[0]["mask"], std::string(255, 'M'));
    EXPECT_EQ(r[0]["gw"], "10.66.0.254");
    EXPECT_EQ(r[0]["dns1"], "10.0.0.1,10.0.0.2");
    EXPECT_EQ(r[1]["ip"], "10.66.0.5");
    // Each probe initialises the library again before asking.
    EXPECT_EQ(r[1]["calls"], "I G5 ");
}

TEST_F(Nt4Layout, RealCompanionLibrary) {
    char path[MAX_PATH];
    char* file = nullptr;
    ASSERT_GT(SearchPathA(nullptr, "kmzhwnic.dll", nullptr, MAX_PATH, path, &file), 0u)
        << "the built kmzhwnic.dll must be on the search path";
    std::string folder(path, file - 1);
    HMODULE real = LoadLibraryA(path);
    ASSERT_NE(real, nullptr);
    auto get = reinterpret_cast<uint32_t(__stdcall*)(uint32_t, char*, char*, char*)>(
        reinterpret_cast<void*>(GetProcAddress(real, "GetIpAddressInfo")));
    ASSERT_NE(get, nullptr);
    char ip[256], mask[256], gw[256];
    bool hasAdapter0 = get(0, ip, mask, gw) != 0;
    std::string mask0 = hasAdapter0 ? mask : "";
    FreeLibrary(real);

    std::vector<Fields> r = Run(folder, "0");
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0]["calls"], "(not a test double)");
    EXPECT_EQ(r[0]["result"], hasAdapter0 ? "1" : "0");
    if (hasAdapter0) {
        EXPECT_EQ(r[0]["mask"], mask0);
    }
}
