// The registry-reading gatherers on the registry layouts of real machines
// (tests/layouts, registry export files): each buffer byte for byte against
// the facts ipconfig /all and the System control panel show on that machine.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "framework/DataBuf.h"
#include "gatherers/FillChecked.h"
#include "gatherers/IpGatherer.h"
#include "gatherers/NetbiosGatherer.h"
#include "gatherers/WinUserGatherer.h"
#include "probes/AdapterAddress.h"
#include "support/ChildProcess.h"
#include "support/ScratchHive.h"
#include "tests/probes/FakeNet.h"

namespace {

// ip, host, domain, gateway, first DNS, second DNS, mask.
using Adapter = std::array<std::string, 7>;
// user, computer, domain, owner, organisation, product id, workgroup.
using Identity = std::array<std::string, 7>;
struct Card {
    std::string service;
    std::vector<uint8_t> mac;  // the driver's 802.3 answer; empty: none
    std::string address, description;
    uint16_t type;  // in the buffer
};

struct Layout {
    const char* name;
    std::vector<Adapter> adapters;  // in interface order; the rest empty
    Identity identity;
    std::vector<Card> cards;  // eight: the buffer's cards
};

std::vector<uint8_t> IpBuffer(const std::vector<Adapter>& adapters) {
    const uint32_t tables[] = {12, 28, 44, 60, 76, 92, 108, 188};  // field order of the string area
    std::vector<std::string> texts;
    for (size_t a = 0; a < 8; ++a) {
        Adapter t = a < adapters.size() ? adapters[a] : Adapter{};
        for (size_t f : {0, 1, 2, 3, 4, 5, 6})
            texts.push_back(t[f]);
        texts.push_back("");  // reserved text
    }
    uint32_t length = 268;
    for (const std::string& t : texts)
        length += static_cast<uint32_t>(t.size()) + 1;
    std::vector<uint8_t> buf(length, 0);
    databuf::WriteHeader(buf.data(), length, 0xABACAB02, 3);
    uint32_t pos = 268;
    for (size_t i = 0; i < texts.size(); ++i) {
        databuf::PutU16(buf.data(), tables[i % 8] + 2 * static_cast<uint32_t>(i / 8), static_cast<uint16_t>(pos));
        std::copy(texts[i].begin(), texts[i].end(), buf.begin() + pos);
        pos += static_cast<uint32_t>(texts[i].size()) + 1;
    }
    return buf;
}

std::vector<uint8_t> UserBuffer(const Identity& t) {
    uint32_t length = 28;
    for (const std::string& s : t)
        length += static_cast<uint32_t>(s.size()) + 1;
    std::vector<uint8_t> buf(length, 0);
    databuf::WriteHeader(buf.data(), length, 0xABACAB01, 1);
    uint32_t pos = 28;
    for (size_t i = 0; i < t.size(); ++i) {
        databuf::PutU16(buf.data(), 14 + 2 * static_cast<uint32_t>(i), static_cast<uint16_t>(pos));
        std::copy(t[i].begin(), t[i].end(), buf.begin() + pos);
        pos += static_cast<uint32_t>(t[i].size()) + 1;
    }
    return buf;
}

std::vector<uint8_t> CardBuffer(const std::vector<Card>& cards) {
    uint32_t length = 60;
    for (const Card& c : cards)
        length += static_cast<uint32_t>(c.address.size() + c.description.size()) + 2;
    std::vector<uint8_t> buf(length, 0);
    databuf::WriteHeader(buf.data(), length, 0xABACAB04, 4);
    uint32_t pos = 60;
    for (uint32_t i = 0; i < cards.size(); ++i) {
        databuf::PutU16(buf.data(), 28 + 2 * i, cards[i].type);
        for (const std::string* t : {&cards[i].address, &cards[i].description}) {
            databuf::PutU16(buf.data(), (t == &cards[i].address ? 12 : 44) + 2 * i, static_cast<uint16_t>(pos));
            std::copy(t->begin(), t->end(), buf.begin() + pos);
            pos += static_cast<uint32_t>(t->size()) + 1;
        }
    }
    return buf;
}

// Cards past the list: empty texts, the type read last carried over.
std::vector<Card> WithAbsentCards(std::vector<Card> cards, uint16_t carried) {
    while (cards.size() < 8)
        cards.push_back({"", {}, "", "", carried});
    return cards;
}

const std::vector<Layout>& Layouts() {
    static const std::vector<Layout> layouts = {
        {"win10",
         {{"172.28.16.1", "DESKTOP-7Q2K9LM", "", "", "", "", "255.255.240.0"},
          {"192.168.56.1", "DESKTOP-7Q2K9LM", "", "", "", "", "255.255.255.0"},
          {"192.168.1.37", "DESKTOP-7Q2K9LM", "home.example", "192.168.1.1", "192.168.1.1", "192.168.1.2",
           "255.255.255.0"},
          {"", "DESKTOP-7Q2K9LM", "", "", "", "", ""}},
         {"jana", "DESKTOP-7Q2K9LM", "", "Jana Novak", "", "00330-80000-00000-AA123", "DESKTOP-7Q2K9LM"},
         WithAbsentCards(
             {{"{0B3A6E2C-5D41-4C7A-9E16-2F8D0C41A7B3}", {0x00, 0x15, 0x5D, 0x01, 0x02, 0x0A}, "00155D01020A",
               "Hyper-V Virtual Ethernet Adapter", 253},
              {"{1E9F4B70-2A3C-4D85-B6E1-7C0A9D3F5E28}", {0x0A, 0x00, 0x27, 0x00, 0x00, 0x11}, "0A0027000011",
               "VirtualBox Host-Only Ethernet Adapter", 253},
              {"{6D2C8A14-93E7-4B0F-A5D2-1C7E4F9B0A61}", {0x3C, 0x61, 0x04, 0x7E, 0x2B, 0x19}, "3C61047E2B19",
               "Intel(R) Ethernet Connection (7) I219-V", 253},
              {"{A47E0D93-6B25-4F1C-8D3A-5E9C2B7F1046}", {0x84, 0x1B, 0x77, 0x5A, 0x90, 0xC3}, "841B775A90C3",
               "Intel(R) Wireless-AC 9560 160MHz", 253}},
             253)},
        // Exported whole: ControlSet001 is the current set (ControlSet002
        // holds an older host name), and the TCP/IP parameters spell
        // HostName as upgraded machines do.
        {"win10up",
         {{"", "BUCHHALTUNG-PC", "", "", "", "", ""},
          {"172.17.80.1", "BUCHHALTUNG-PC", "", "", "", "", "255.255.240.0"},
          {"10.12.0.57", "BUCHHALTUNG-PC", "buero.example", "10.12.0.1", "10.12.0.10", "10.12.0.11", "255.255.0.0"}},
         {"kasse", "BUCHHALTUNG-PC", "", "Buchhaltung", "Meier & Soehne KG", "00331-10000-00001-AA482",
          "BUCHHALTUNG-PC"},
         WithAbsentCards(
             {{"{0A4D2E91-7C35-4B68-9F02-6E1B8D3C5A70}", {0x00, 0xFF, 0x0A, 0x4D, 0x2E, 0x91}, "00FF0A4D2E91",
               "TAP-Windows Adapter V9", 253},
              {"{2F7B9C04-E163-4A5D-8B21-0C6F4D9E7A38}", {0x00, 0x15, 0x5D, 0x00, 0xA1, 0x01}, "00155D00A101",
               "Hyper-V Virtual Ethernet Adapter", 253},
              {"{8C5E1A37-40D9-4F26-A7B3-D91E6C28F045}", {0xD8, 0xBB, 0xC1, 0x22, 0x33, 0x44}, "D8BBC1223344",
               "Intel(R) Ethernet Connection I217-LM", 253}},
             253)},
        {"win7",
         {{"192.168.126.1", "PC-LAGER-07", "", "", "", "", "255.255.255.0"},
          {"192.168.211.1", "PC-LAGER-07", "", "", "", "", "255.255.255.0"},
          {"10.20.30.40", "PC-LAGER-07", "lager.example", "10.20.0.1", "10.20.0.10", "10.20.0.11", "255.255.0.0"},
          {"", "PC-LAGER-07", "", "", "", "", ""}},
         {"admin-lager", "PC-LAGER-07", "", "Lager GmbH", "Lager GmbH IT", "00371-OEM-8992671-00524",
          "PC-LAGER-07"},
         WithAbsentCards(
             {{"{2B9C4A11-0F6E-4E52-9A3D-6C8B1E7F0D24}", {0x00, 0x50, 0x56, 0xC0, 0x00, 0x01}, "005056C00001",
               "VMware Virtual Ethernet Adapter for VMnet1", 253},
              {"{3F70D2A5-8B14-4C69-B0E7-59A2C6D13E8F}", {0x00, 0x50, 0x56, 0xC0, 0x00, 0x08}, "005056C00008",
               "VMware Virtual Ethernet Adapter for VMnet8", 253},
              {"{7A1E5C90-4D38-4B2F-8E6A-0F3C9B5D2147}", {0x00, 0x1B, 0x21, 0x4A, 0x5C, 0x6D}, "001B214A5C6D",
               "Realtek PCIe GBE Family Controller", 253}},
             253)},
        // The unleased 1394 interface reports the 255.0.0.0 Windows leaves in
        // its DhcpSubnetMask; its driver gives no 6-byte address, so the card
        // shows empty texts and no type.
        {"xp",
         {{"", "werkstatt-xp", "", "", "", "", "255.0.0.0"},
          {"192.168.0.104", "werkstatt-xp", "werkstatt.example", "192.168.0.254", "192.168.0.254", "8.8.4.4",
           "255.255.255.0"}},
         {"maria", "WERKSTATT-XP", "", "Maria Lopez", "Werkstatt Lopez", "76487-OEM-0011903-00102", "WERKSTATT-XP"},
         WithAbsentCards({{"{4C1F8E27-6A90-4B3D-9E52-0D7A3C6B1F84}", {}, "", "", 0},
                          {"{9E3B5D02-1C74-4A8F-B6D9-27E0F4A8C513}", {0x00, 0xE0, 0x4C, 0x12, 0x34, 0x56},
                           "00E04C123456", "Realtek RTL8139 Family PCI Fast Ethernet NIC", 253}},
                         253)},
        {"win2000",
         {{"10.254.254.1", "buero2k", "", "", "", "", "255.255.255.252"},
          {"172.16.4.23", "buero2k", "buero.example", "172.16.4.1", "172.16.0.53", "172.16.0.54", "255.255.252.0"}},
         {"schmidt", "BUERO2K", "", "Buero Schmidt", "Schmidt & Partner", "51873-OEM-0012345-67890", "BUERO2K"},
         WithAbsentCards({{"{5A0E7C31-2D94-4F68-A1B3-8C6E0D9F2A47}", {0x02, 0x00, 0x4C, 0x4F, 0x4F, 0x50},
                           "02004C4F4F50", "Microsoft Loopback Adapter", 253},
                          {"{C81D4B66-7E20-4A35-9F0C-3B5A1E8D6C92}", {0x00, 0x50, 0xDA, 0x11, 0x22, 0x33},
                           "0050DA112233", "3Com EtherLink XL 10/100 PCI TX NIC (3C905B-TX)", 253}},
                         253)},
        // Read in this process as Windows 2000 and later read it: no
        // Adapters key, so no TCP/IP facts (the NT 4 path runs below).
        {"nt4",
         {},
         {"administrator", "NTSRV01", "", "IT Department", "Example Corp", "12345-OEM-0023456-78901", "NTSRV01"},
         WithAbsentCards({{"E100B1", {0x00, 0x90, 0x27, 0xAA, 0xBB, 0xCC}, "009027AABBCC",
                           "Intel 82558-based Integrated Ethernet with Wake on LAN*", 253},
                          {"NdisWan4", {}, "", "", 0}},
                         253)},
    };
    return layouts;
}

const Layout& Find(const std::string& name) {
    for (const Layout& l : Layouts())
        if (l.name == name)
            return l;
    ADD_FAILURE() << "no layout " << name;
    return Layouts().front();
}

}  // namespace

TEST(Layouts, IpInfo) {
    for (const Layout& layout : Layouts()) {
        SCOPED_TRACE(layout.name);
        ScratchHive hive;
        hive.LoadLayout(layout.name);
        IpGatherer g;
        g.Update();
        EXPECT_EQ(FillChecked(g), IpBuffer(layout.adapters));
    }
}

TEST(Layouts, WindowsUserInfo) {
    ASSERT_EQ(GetACP(), 1252u);
    for (const Layout& layout : Layouts()) {
        SCOPED_TRACE(layout.name);
        ScratchHive hive;
        hive.LoadLayout(layout.name);
        WinUserGatherer g;
        g.Update();
        EXPECT_EQ(FillChecked(g), UserBuffer(layout.identity));
    }
}

TEST(Layouts, NetbiosInfo) {
    for (const Layout& layout : Layouts()) {
        SCOPED_TRACE(layout.name);
        ScratchHive hive;
        hive.LoadLayout(layout.name);
        FakeDevices dev;
        for (const Card& c : layout.cards)
            if (!c.mac.empty())
                dev.answers["\\\\.\\" + c.service] = {{0x01010102, c.mac}};
        NetbiosGatherer g;
        g.Update();
        EXPECT_EQ(FillChecked(g), CardBuffer(layout.cards));
    }
}

// The Windows NT 4 numbered card keys, read by the NT 4 walk: keys 1 and 3.
TEST(Layouts, Nt4NetworkCardKeys) {
    ScratchHive hive;
    hive.LoadLayout("nt4");
    FakeDevices dev;
    dev.answers["\\\\.\\E100B1"] = {{0x01010102, Find("nt4").cards[0].mac}};
    char address[16], description[256];
    uint32_t type = 0;
    EXPECT_EQ(ReadNetworkCardNt4(0, address, description, &type, 255), 1);
    EXPECT_STREQ(address, "009027AABBCC");
    EXPECT_STREQ(description, "Intel 82558-based Integrated Ethernet with Wake on LAN*");
    EXPECT_EQ(type, 253u);
    address[0] = description[0] = '\0';
    EXPECT_EQ(ReadNetworkCardNt4(1, address, description, &type, 255), 1);
    EXPECT_STREQ(address, "");
    EXPECT_STREQ(description, "RAS Async Adapter");
    EXPECT_EQ(ReadNetworkCardNt4(2, address, description, &type, 255), 0);
}

// The NT 4 TCP/IP path in a child that Wine tells it runs on NT 4, without
// kmzhwnic.dll: adapter 0's static configuration is complete, so the library
// is not needed and the address becomes the host name's resolved one; index
// 1 needs the library and ends with 0, keeping the global facts.
TEST(Layouts, Nt4IpInfo) {
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
    char name[256] = "";
    const hostent* h = gethostname(name, 255) == 0 ? gethostbyname(name) : nullptr;
    ASSERT_NE(h, nullptr) << "the host name must resolve on this machine";
    const std::string ip = inet_ntoa(*reinterpret_cast<const in_addr*>(h->h_addr_list[0]));
    WSACleanup();

    const char kChild[] = "sing_nt4_ipconfig_layouts.exe";  // this program's own (Wine's setting is per name)
    WineVersionOverride nt4{kChild, "nt40"};
    ScratchHive hive;
    hive.LoadLayout("nt4");
    EXPECT_EQ(RunChild(std::string(kChild) + " " + hive.RootPath() + " - 0 1"),
              "nt5=0\n1|" + ip + "|255.255.255.0|10.0.0.1|corp.example|ntsrv01|10.0.0.5|10.0.0.6|-\n"
              "0||||corp.example|ntsrv01|10.0.0.5|10.0.0.6|-\n");
}
