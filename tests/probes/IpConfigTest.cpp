// The NT 4 layout's adapter service, read in this process (the full NT 4
// path runs in IpConfigNt4Test's child): which binding names which service,
// and the 126-byte rooms its values are read in, at the limit and one past.
#include <gtest/gtest.h>

#include <string>
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
    ScratchHive hive;  // with tests/layouts/nt4-services.reg
    EXPECT_EQ(ReadNt4(0), "0|keep|keep|keep|99");  // no Linkage key
    hive.LoadLayout("nt4-services");
    const std::string s48(48, 's'), s49(49, 's');
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
        hive.SetRaw("SYSTEM\\CurrentControlSet\\Services\\tcpip\\Linkage", "Bind", REG_MULTI_SZ, data.data(), static_cast<DWORD>(data.size()));
        EXPECT_EQ(ReadNt4(index), want);
    }
}
