#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/DataBuf.h"
#include "gatherers/IpGatherer.h"
#include "support/ScratchHive.h"

namespace {

// Offset tables in the buffer's field order (reservedText's table stands
// apart, after the first two u32 arrays).
const uint32_t kTextSlots[] = {12, 28, 44, 60, 76, 92, 108, 188};
const uint32_t kNumberArrays[] = {124, 156, 204, 236};

std::vector<uint8_t> Fill(IpGatherer& g) {
    std::vector<uint8_t> buf(g.GetDataBufLen() + 8, 0xEE);
    EXPECT_EQ(g.FillDataBuf(buf.data()), 1u);
    for (size_t i = buf.size() - 8; i < buf.size(); ++i)
        EXPECT_EQ(buf[i], 0xEE) << "written past the length at " << i;
    buf.resize(buf.size() - 8);
    return buf;
}

}  // namespace

TEST(IpGatherer, BeforeTheFirstUpdate) {
    IpGatherer g;
    EXPECT_STREQ(g.GetName(), "IPInfo");
    ASSERT_EQ(g.GetDataBufLen(), 332u);
    std::vector<uint8_t> buf = Fill(g);
    EXPECT_EQ(databuf::GetU32(buf.data(), 0), 332u);
    EXPECT_EQ(databuf::GetU32(buf.data(), 4), 0xABACAB02u);
    EXPECT_EQ(databuf::GetU32(buf.data(), 8), 3u);
    for (size_t i = 12; i < buf.size(); ++i)
        EXPECT_EQ(buf[i], 0) << i;
}

// One static interface in a Windows 2000 layout; its host name is not
// ASCII and must travel unconverted.
TEST(IpGatherer, OneInterfaceBuffer) {
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

    IpGatherer g;
    EXPECT_EQ(g.Update(), 1u);
    // In field order: ip, host, domain, gateway, dns1, dns2, mask, reserved.
    const std::vector<std::string> adapter0 = {"10.1.2.3", "h\xF4te",   "corp",      "10.0.0.1",
                                               "10.0.0.2", "10.0.0.3", "255.0.0.0", ""};
    uint32_t chars = 0;
    for (const std::string& t : adapter0)
        chars += static_cast<uint32_t>(t.size());
    ASSERT_EQ(g.GetDataBufLen(), 332u + chars);
    std::vector<uint8_t> buf = Fill(g);

    std::vector<uint8_t> expected(332 + chars, 0);
    databuf::WriteHeader(expected.data(), 332 + chars, 0xABACAB02, 3);
    uint32_t pos = 268;
    for (uint32_t adapter = 0; adapter < 8; ++adapter) {
        for (size_t field = 0; field < 8; ++field) {
            databuf::PutU16(expected.data(), kTextSlots[field] + 2 * adapter, static_cast<uint16_t>(pos));
            const std::string text = adapter == 0 ? adapter0[field] : "";
            std::copy(text.begin(), text.end(), expected.begin() + pos);
            pos += static_cast<uint32_t>(text.size()) + 1;
        }
    }
    ASSERT_EQ(pos, expected.size());
    EXPECT_EQ(buf, expected);
    for (uint32_t array : kNumberArrays)
        for (uint32_t i = 0; i < 8; ++i)
            EXPECT_EQ(databuf::GetU32(buf.data(), array + 4 * i), 0u);

    // Without the Interfaces key every index reports the host name alone;
    // nothing is carried over from the previous update.
    hive.DeleteKey(params + "\\Interfaces");
    g.Update();
    EXPECT_EQ(g.GetDataBufLen(), 332u + 8 * 4);
}
