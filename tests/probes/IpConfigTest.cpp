// The NT 4 layout's adapter service, read in this process (the full NT 4
// path runs in IpConfigNt4Test's child): which binding names which service,
// and the 126-byte rooms its values are read in, at the limit and one past.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "probes/IpConfigProbe.h"
#include "support/ScratchHive.h"

namespace {
// "result|ip|mask|gateway|dhcp" from outputs that start as "keep" and 99.
std::string ReadNt4(uint32_t index) {
    char ip[256] = "keep", mask[256] = "keep", gw[256] = "keep";
    uint32_t dhcp = 99;
    bool read = ReadIpConfigNt4(index, ip, mask, gw, &dhcp, 255);
    return std::string(read ? "1" : "0") + "|" + ip + "|" + mask + "|" + gw + "|" + std::to_string(dhcp);
}
}  // namespace

TEST(Nt4AdapterService, ReadsTheFirstBoundService) {
    ScratchHive hive;
    const std::string kLinkage = "SYSTEM\\CurrentControlSet\\Services\\tcpip\\Linkage";
    auto service = [](const std::string& s) { return "SYSTEM\\CurrentControlSet\\Services\\" + s + "\\Parameters\\Tcpip"; };
    EXPECT_EQ(ReadNt4(0), "0|keep|keep|keep|99");  // no Linkage key
    hive.SetMultiString(service("El59x1"), "IPAddress", {"10.5.5.5", "10.5.5.6"});
    hive.SetString(service("El59x1"), "SubnetMask", std::string(125, '2'));      // 126 bytes: read
    hive.SetString(service("El59x1"), "DefaultGateway", std::string(126, '3'));  // 127 bytes: not read
    const uint8_t raw[5] = {2, 0, 0, 0, 9};  // EnableDHCP: the first 4 bytes of any type
    hive.SetRaw(service("El59x1"), "EnableDHCP", REG_BINARY, raw, sizeof raw);
    hive.SetString(service("Short"), "IPAddress", "10.7.7.7");
    hive.SetRaw(service("Short"), "EnableDHCP", REG_DWORD, raw, 3);  // too short: missing
    // The 100-byte path holds service names of up to 48 characters.
    const std::string s48(48, 's'), s49(49, 's');
    hive.SetString(service(s48), "IPAddress", "10.6.6.6");
    hive.SetString(service(s49), "IPAddress", "10.6.6.6");

    const std::string el = "1|10.5.5.5|" + std::string(125, '2') + "|keep|2", none = "0|keep|keep|keep|99";
    // Bind, the index asked, the answer. Bind is read in 126 bytes: "\Device\El59x1",
    // a second entry of 109 characters and the closing NUL take 126.
    const std::vector<std::tuple<std::vector<std::string>, uint32_t, std::string>> rows = {
        {{"\\Device\\El59x1", "\\Device\\Other"}, 0, el},
        {{"\\Device\\El59x1"}, 1, none},  // index 0 only
        {{"El59x1"}, 0, el},              // no backslash: the whole entry
        {{"\\Device\\" + s48}, 0, "1|10.6.6.6|keep|keep|99"},
        {{"\\Device\\" + s49}, 0, none},
        {{"\\Device\\Short"}, 0, "1|10.7.7.7|keep|keep|99"},
        {{"", "\\Device\\El59x1"}, 0, none},  // an empty first entry
        {{"\\Device\\El59x1", std::string(109, 'x')}, 0, el},
        {{"\\Device\\El59x1", std::string(110, 'x')}, 0, none},
    };
    for (const auto& [bind, index, want] : rows) {
        SCOPED_TRACE(bind[0] + " +" + std::to_string(bind.size() - 1));
        std::string data;
        for (const std::string& b : bind)
            data += b + '\0';
        data += '\0';
        hive.SetRaw(kLinkage, "Bind", REG_MULTI_SZ, data.data(), static_cast<DWORD>(data.size()));
        EXPECT_EQ(ReadNt4(index), want);
    }
}
