// Every gatherer's buffer byte for byte against an image written here from
// sing32.h's offsets with this file's own little-endian writer (never the
// library's). Each image is also decoded: every text must come out under the
// field name it was written for.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "decode/Decoders.h"
#include "gatherers/IpGatherer.h"
#include "gatherers/IpxInfoGatherer.h"
#include "gatherers/KmzUserGatherer.h"
#include "gatherers/NetbiosGatherer.h"
#include "gatherers/RegionalInfoGatherer.h"
#include "gatherers/WinUserGatherer.h"
#include "support/ScratchHive.h"
#include "support/TempDir.h"
#include "tests/probes/FakeNet.h"

namespace {
using Bytes = std::vector<uint8_t>;

// An expected buffer: the fixed part, then the texts in the order added;
// `shows` holds what the decoded JSON must contain ("field":value).
struct Image {
    Image(uint32_t fixed, uint32_t packet, uint32_t version) : bytes(fixed, 0) {
        Put(SING_HEADER_PACKET_ID, packet, 4).Put(SING_HEADER_VERSION, version, 4);
    }
    // A number; `field` (when given) shows it as `shown`, or else in decimal.
    Image& Put(uint32_t at, uint32_t value, int width, const std::string& field = "", const char* shown = nullptr) {
        for (int i = 0; i < width; ++i)
            bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
        return field.empty() ? *this : Shows("\"" + field + "\":" + (shown ? shown : std::to_string(value)));
    }
    // The text's offset goes into a slot `width` bytes wide (0: no slot).
    Image& Text(uint32_t slot, const std::string& text, const std::string& field, int width = 2) {
        if (width != 0)
            Put(slot, static_cast<uint32_t>(bytes.size()), width);
        bytes.insert(bytes.end(), text.c_str(), text.c_str() + text.size() + 1);
        return field.empty() ? *this : Shows("\"" + field + "\":" + JsonString(text));
    }
    Image& Shows(const std::string& json) { return shows.push_back(json), *this; }
    // Each absent text (slot 0) still takes one zero byte at the end.
    Image& Absent(uint32_t count) { return bytes.resize(bytes.size() + count, 0), *this; }
    Bytes Done() { return Put(SING_HEADER_LENGTH, static_cast<uint32_t>(bytes.size()), 4).bytes; }
    Bytes bytes;
    std::vector<std::string> shows;
};

// The gatherer's buffer of `size` bytes (its own length when 0), filled over
// 0xEE bytes so that unwritten bytes show; nothing may land past it.
Bytes Fill(Gatherer& g, uint32_t size = 0) {
    size = size != 0 ? size : g.GetDataBufLen();
    Bytes buf(size + 8, 0xEE);
    EXPECT_EQ(g.FillDataBuf(buf.data()), 1u);
    EXPECT_EQ(Bytes(buf.begin() + size, buf.end()), Bytes(8, 0xEE)) << "written past the length";
    buf.resize(size);
    return buf;
}
template <class G>
Bytes Updated() {
    G g;
    g.Update();
    return Fill(g);
}

// kmzhwnic.dll's time zone: Newfoundland (three different biases), with the
// standard name given to the object.
const char* standardName;
uint32_t __stdcall Newfoundland(char* t1, char* t2, char* t3, int32_t* bias, int32_t* standard, int32_t* daylight,
                                uint32_t size) {
    std::strncpy(t1, standardName, size), std::strncpy(t2, "Newfoundland Daylight Time", size);
    std::strncpy(t3, "UTC-03:30", size);
    return *bias = 210, *standard = 0, *daylight = -60, 1;
}
struct TimeZone : TimezoneApi {
    explicit TimeZone(const char* name) { standardName = name; }
    TimezoneApi* previous = Install(this);
    ~TimeZone() override { Install(previous); }
    bool Load(GetTimezoneInfoFn* fn) override { return *fn = Newfoundland, true; }
};

struct Case {
    const char* what;
    std::function<Bytes()> actual;
    Image expected;
};

}  // namespace

TEST(BufferBytes, EveryGathererAgainstItsImage) {
    ASSERT_EQ(GetACP(), 1252u) << "the local texts below are code page 1252";
    const Case cases[] = {
        {"WindowsUserInfo before an update: every text absent", [] { WinUserGatherer g; return Fill(g); },
         Image(SING_WINUSER_FIXED_SIZE, SING_WINUSER_PACKET_ID, SING_WINUSER_VERSION).Absent(7)},
        {"WindowsUserInfo in a workgroup: the domain empty, the workgroup packed last",
         [] {
             WinUserGatherer g;
             g.StoreFacts("jdoe", "PC-0815", "", "OFFICE", "Zo\xEB AG", "Jos\xE9 Pe\xF1" "a", "55274-OEM-0011903");
             return Fill(g);
         },
         Image(SING_WINUSER_FIXED_SIZE, SING_WINUSER_PACKET_ID, SING_WINUSER_VERSION)
             .Text(SING_WINUSER_USER_NAME, "jdoe", "userName")
             .Text(SING_WINUSER_COMPUTER_NAME, "PC-0815", "computerName")
             .Text(SING_WINUSER_DOMAIN, "", "domain")
             .Text(SING_WINUSER_OWNER, "Jos\xC3\xA9 Pe\xC3\xB1" "a", "owner")
             .Text(SING_WINUSER_ORGANIZATION, "Zo\xC3\xAB AG", "organization")
             .Text(SING_WINUSER_PRODUCT_ID, "55274-OEM-0011903", "productId")
             .Text(SING_WINUSER_WORKGROUP, "OFFICE", "workgroup")},
        {"IPInfo, one static interface: adapter by adapter, texts unconverted",
         [] { ScratchHive hive; hive.LoadLayout("../sdk/buffer_bytes"); return Updated<IpGatherer>(); },
         [] {
             const std::tuple<uint32_t, const char*, const char*> texts[] = {
                 {SING_IPINFO_IP_ADDRESS, "ipAddress", "10.1.2.3"},  {SING_IPINFO_HOST_NAME, "hostName", "h\xF4tel-42"},
                 {SING_IPINFO_DOMAIN_NAME, "domainName", "corp.example"}, {SING_IPINFO_DEFAULT_GATEWAY, "defaultGateway", "10.1.0.1"},
                 {SING_IPINFO_PRIMARY_DNS, "primaryDns", "10.1.0.53"}, {SING_IPINFO_SECONDARY_DNS, "secondaryDns", "10.2.0.53"},
                 {SING_IPINFO_SUBNET_MASK, "subnetMask", "255.255.240.0"}, {SING_IPINFO_RESERVED_TEXT, "reservedText", ""}};
             Image m(SING_IPINFO_FIXED_SIZE, SING_IPINFO_PACKET_ID, SING_IPINFO_VERSION);
             for (uint32_t a = 0; a < SING_IPINFO_ADAPTERS; ++a)  // the other adapters' texts empty
                 for (const auto& [slot, field, text] : texts)
                     m.Text(slot + 2 * a, a == 0 ? text : "", a == 0 ? field : "");
             return m;
         }()},
        {"NETBIOSInfo: card by card, address before description; a silent card keeps type 0",
         [] {
             ScratchHive hive;
             hive.LoadLayout("../sdk/buffer_bytes");  // tests/sdk/buffer_bytes.reg
             FakeDevices dev;
             dev.answers["\\\\.\\E1G60"] = {{0x01010102, {0x00, 0x0C, 0x29, 0x3E, 0x5A, 0x7F}}};  // 802.3
             dev.answers["\\\\.\\IBMTOK"] = {{0x02010102, {0x10, 0x00, 0x5A, 0xB4, 0x02, 0xC1}}};  // 802.5
             return Updated<NetbiosGatherer>();
         },
         [] {
             Image m(SING_NETBIOS_FIXED_SIZE, SING_NETBIOS_PACKET_ID, SING_NETBIOS_VERSION);
             const char* texts[2][2] = {{"000C293E5A7F", "Intel(R) PRO/1000 MT Network Connection"},
                                        {"10005AB402C1", "Caf\xC3\xA9 Token Ring"}};
             for (uint32_t c = 0; c < SING_NETBIOS_CARDS; ++c) {
                 m.Text(SING_NETBIOS_ADDRESS + 2 * c, c < 2 ? texts[c][0] : "", c < 2 ? "address" : "");
                 m.Text(SING_NETBIOS_DESCRIPTION + 2 * c, c < 2 ? texts[c][1] : "", c < 2 ? "description" : "");
                 m.Put(SING_NETBIOS_TYPE + 2 * c, c == 0 ? SING_NETBIOS_ETHERNET : c == 2 ? 0 : SING_NETBIOS_TOKEN_RING, 2);
             }
             return m.Shows("\"typeName\":\"Ethernet\"").Shows("\"typeName\":\"token ring\"").Shows("\"typeName\":\"none\"");
         }()},
        {"KMZUserInfo: texts in key order, whatever the file's order",
         [] {
             ScratchHive hive;
             TempDir tmp;
             hive.SetString("SOFTWARE\\Oberan\\Vantreel\\CurrentVersion", "Data", tmp.Path() + "\\");
             tmp.Write("kmzuser.ini", "[USER]\r\nHOME_PHONE=+49 30 1234567\r\nFIRST_NAME=J\xF6rg\r\n"
                                      "[LOCATION]\r\nCOUNTRY=Germany\r\nCITY=Berlin\r\n");
             return Updated<KmzUserGatherer>();
         },
         Image(SING_KMZUSER_FIXED_SIZE, SING_KMZUSER_PACKET_ID, SING_KMZUSER_VERSION)
             .Text(SING_KMZUSER_SLOT(SING_KMZUSER_CITY), "Berlin", "CITY")
             .Text(SING_KMZUSER_SLOT(SING_KMZUSER_COUNTRY), "Germany", "COUNTRY")
             .Text(SING_KMZUSER_SLOT(SING_KMZUSER_FIRST_NAME), "J\xC3\xB6rg", "FIRST_NAME")
             .Text(SING_KMZUSER_SLOT(SING_KMZUSER_HOME_PHONE), "+49 30 1234567", "HOME_PHONE")
             .Absent(SING_KMZUSER_KEYS - 4)},
        {"IPX Data without a transport: no address, every byte written",
         [] { FakeIpx ipx; ipx.socketFails = true; return Updated<IpxInfoGatherer>(); },
         Image(SING_IPX_FIXED_SIZE, SING_IPX_PACKET_ID, SING_IPX_VERSION).Put(SING_IPX_FIRST, SING_IPX_FIXED_SIZE, 4)},
        {"IPX Data: highest adapter first, without gaps",
         [] {
             FakeIpx ipx;
             ipx.adapterCount = 3;  // adapter 1 does not answer
             ipx.adapters[0] = {0x00, 0x0A, 0x0B, 0x0C, 0x01, 0x02, 0x03, 0x04, 0x05, 0xAF};
             ipx.adapters[2] = {0xFE, 0xDC, 0xBA, 0x98, 0x00, 0x00, 0x1B, 0x2C, 0x3D, 0x4E};
             return Updated<IpxInfoGatherer>();
         },
         Image(SING_IPX_FIXED_SIZE, SING_IPX_PACKET_ID, SING_IPX_VERSION)
             .Put(SING_IPX_COUNT, 2, 4, "count")
             .Put(SING_IPX_FIRST, SING_IPX_FIXED_SIZE, 4)
             .Text(0, "FEDCBA98:00001B2C3D4E", "", 0)
             .Text(0, "000A0B0C:0102030405AF", "", 0)
             .Shows("\"addresses\":[\"FEDCBA98:00001B2C3D4E\",\"000A0B0C:0102030405AF\"]")},
        {"Regional Data in the length asked before Init: texts absent, even one that would fit",
         [] {
             TimeZone tz("");
             RegionalInfoGatherer g;
             uint32_t early = g.GetDataBufLen();
             g.Init();
             return Fill(g, early);
         },
         Image(SING_REGIONAL_FIXED_SIZE, SING_REGIONAL_PACKET_ID, SING_REGIONAL_VERSION)
             .Put(SING_REGIONAL_BIAS, 210, 4)
             .Put(SING_REGIONAL_DAYLIGHT_BIAS, 0xFFFFFFC4, 4)
             .Absent(3)},
        {"Regional Data: standard bias, bias, daylight bias, then the u32 text slots",
         [] {
             TimeZone tz("Newfoundland Standard Time");
             RegionalInfoGatherer g;
             g.Init();
             return Fill(g);
         },
         Image(SING_REGIONAL_FIXED_SIZE, SING_REGIONAL_PACKET_ID, SING_REGIONAL_VERSION)
             .Put(SING_REGIONAL_STANDARD_BIAS, 0, 4, "standardBias")
             .Put(SING_REGIONAL_BIAS, 210, 4, "bias")
             .Put(SING_REGIONAL_DAYLIGHT_BIAS, 0xFFFFFFC4, 4, "daylightBias", "-60")
             .Text(SING_REGIONAL_STANDARD_NAME, "Newfoundland Standard Time", "standardName", 4)
             .Text(SING_REGIONAL_DAYLIGHT_NAME, "Newfoundland Daylight Time", "daylightName", 4)
             .Text(SING_REGIONAL_UTC_OFFSET, "UTC-03:30", "utcOffset", 4)},
    };
    for (Case c : cases) {
        const Bytes want = c.expected.Done();
        EXPECT_EQ(c.actual(), want) << c.what;
        DecodeResult r = DecodeBuffer(want.data(), want.size(), sing_u32_at(want.data(), 12, SING_HEADER_PACKET_ID));
        EXPECT_TRUE(r.ok) << c.what << ": " << r.error;
        const std::string json = RenderJson(r.fields);
        for (const std::string& shown : c.expected.shows) {
            const size_t at = json.find(shown);
            EXPECT_TRUE(at != std::string::npos && std::strchr(",}]", json[at + shown.size()])) << c.what << ": " << shown;
        }
    }
}
