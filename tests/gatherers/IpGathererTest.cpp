#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/DataBuf.h"
#include "gatherers/FillChecked.h"
#include "gatherers/IpGatherer.h"
#include "support/ScratchHive.h"

namespace {
// The buffer with adapter 0's texts (ip, host, domain, gateway, dns1, dns2,
// mask, reserved), empty texts elsewhere; no texts before the first update.
std::vector<uint8_t> Expected(const std::vector<std::string>& adapter0, bool updated = true) {
    uint32_t length = 332;
    for (const std::string& t : adapter0)
        length += static_cast<uint32_t>(t.size());
    std::vector<uint8_t> buf(length, 0);
    databuf::WriteHeader(buf.data(), length, 0xABACAB02, 3);
    const uint32_t tables[] = {12, 28, 44, 60, 76, 92, 108, 188};
    uint32_t pos = 268;
    for (uint32_t adapter = 0; updated && adapter < 8; ++adapter)
        for (size_t field = 0; field < 8; ++field) {
            databuf::PutU16(buf.data(), tables[field] + 2 * adapter, static_cast<uint16_t>(pos));
            const std::string text = adapter == 0 ? adapter0[field] : "";
            std::copy(text.begin(), text.end(), buf.begin() + pos);
            pos += static_cast<uint32_t>(text.size()) + 1;
        }
    return buf;
}
}  // namespace

TEST(IpGatherer, Buffers) {
    IpGatherer g;
    EXPECT_EQ(FillChecked(g), Expected({}, false));

    // One static interface whose non-ASCII host name travels unconverted.
    ScratchHive hive;
    const std::string params = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
    const std::string itf = params + "\\Interfaces\\{A}";
    hive.CreateKey(params + "\\Adapters");
    hive.SetString(params, "Hostname", "h\xF4te");
    hive.SetDword(itf, "EnableDHCP", 0);
    hive.SetString(itf, "IPAddress", "10.1.2.3");
    hive.SetString(itf, "SubnetMask", "255.0.0.0");
    hive.SetString(itf, "Domain", "corp");
    hive.SetString(itf, "DefaultGateway", "10.0.0.1");
    hive.SetString(itf, "NameServer", "10.0.0.2,10.0.0.3");
    EXPECT_EQ(g.Update(), 1u);
    EXPECT_EQ(FillChecked(g),
              Expected({"10.1.2.3", "h\xF4te", "corp", "10.0.0.1", "10.0.0.2", "10.0.0.3", "255.0.0.0", ""}));

    // No Interfaces key: every index reports the host name alone, nothing carried over.
    hive.DeleteKey(params + "\\Interfaces");
    g.Update();
    EXPECT_EQ(g.GetDataBufLen(), 332u + 8 * 4);
}
