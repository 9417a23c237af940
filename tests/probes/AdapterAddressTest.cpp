#include <gtest/gtest.h>

#include <fstream>

#include "probes/AdapterAddress.h"
#include "support/ScratchHive.h"
#include "tests/probes/FakeNet.h"

namespace {
const std::vector<uint8_t> kMac = {0x00, 0xA0, 0x24, 0x1B, 0x2C, 0x3D};
constexpr DWORD k8025 = 0x02010102, k8023 = 0x01010102;
using Log = std::vector<std::string>;

struct Probe {
    char address[16] = "#";
    uint32_t type = 7;
    char description[256] = "#";
    uint32_t Query(const std::string& service) { return QueryAdapterAddress(service.c_str(), address, &type); }
};
}  // namespace

// Token ring is asked first; a DOS name that exists is neither defined nor
// removed; the name the call defines stays after a good read.
TEST(AdapterAddress, TokenRingFirstThenEthernet) {
    FakeDevices dev;
    dev.dosNames = {"TR0"};
    dev.answers["\\\\.\\TR0"] = {{k8025, kMac}, {k8023, {1, 2, 3, 4, 5, 6}}};
    dev.answers["\\\\.\\E1"] = {{k8023, kMac}};
    Probe tr, eth;
    EXPECT_EQ(tr.Query("TR0") + eth.Query("E1"), 2u);
    EXPECT_EQ(std::string(tr.address) + std::to_string(tr.type) + eth.address + std::to_string(eth.type),
              "00A0241B2C3D25500A0241B2C3D253");
    EXPECT_EQ(dev.log, (Log{"query TR0 512", "open \\\\.\\TR0", "802.5", "close", "query E1 512",
                            "define 1 E1 \\Device\\E1", "open \\\\.\\E1", "802.5", "802.3", "close"}));
}

TEST(AdapterAddress, UnreadableCardsLoseOnlyTheDefinitionTheCallMade) {
    FakeDevices dev;
    dev.answers["\\\\.\\Odd"] = {{k8025, std::vector<uint8_t>(5)}, {k8023, std::vector<uint8_t>(7)}};
    dev.answers["\\\\.\\Lo"] = {{k8023, {}}};  // the loopback card's 0 bytes
    dev.dosNames = {"Lo"};
    Probe p;
    // "Gone" does not open; "\Device\" + 72 characters would not fit the 80-byte buffers.
    for (const std::string& name : {std::string("Odd"), std::string("Lo"), std::string("Gone"), std::string(72, 'n'),
                                    std::string()})
        EXPECT_EQ(p.Query(name), 0u) << name;
    EXPECT_TRUE(p.address[0] == '#' && p.type == 7);
    EXPECT_EQ(dev.log, (Log{"query Odd 512", "define 1 Odd \\Device\\Odd", "open \\\\.\\Odd", "802.5", "802.3",
                            "close", "define 7 Odd \\Device\\Odd", "query Lo 512", "open \\\\.\\Lo", "802.5",
                            "802.3", "close", "query Gone 512", "define 1 Gone \\Device\\Gone", "open \\\\.\\Gone",
                            "define 7 Gone \\Device\\Gone"}));
    // A definition that fails, or a name query failing otherwise than "not found": nothing opened.
    dev.log.clear();
    dev.defineFails = true;
    EXPECT_EQ(p.Query("Svc"), 0u);
    dev.queryError = ERROR_ACCESS_DENIED;
    EXPECT_EQ(p.Query("Svc"), 0u);
    EXPECT_EQ(dev.log, (Log{"query Svc 512", "define 1 Svc \\Device\\Svc", "query Svc 512"}));
}

TEST(AdapterAddress, Nt4CountsOnlyExistingCardKeys) {
    ScratchHive hive;
    FakeDevices dev;
    const std::string cards = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\";
    for (const char* n : {"1", "2", "5"}) {
        hive.SetString(cards + n, "ServiceName", std::string("Svc") + n);
        hive.SetString(cards + n, "Description", std::string("Card ") + n);
    }
    dev.answers["\\\\.\\Svc5"] = {{k8023, kMac}};
    Probe p[4];
    for (uint32_t i = 0; i < 4; ++i)
        EXPECT_EQ(ReadNetworkCardNt4(i, p[i].address, p[i].description, &p[i].type, 255), i < 3 ? 1 : 0);
    EXPECT_EQ(std::string(p[1].description) + p[2].description, "Card 2Card 5");
    EXPECT_TRUE(p[1].address[0] == '#' && p[1].type == 7);  // found, not readable
    EXPECT_EQ(p[2].type, 253u);
}

// Wine lists one card per Linux interface, described by its name, whose
// driver answers with the MAC that Linux shows under /sys/class/net. The card
// list fills in a little after the prefix starts: poll for up to a minute.
TEST(AdapterAddress, RealCardsUnderWineAnswerTheirLinuxMacs) {
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr)
        GTEST_SKIP() << "needs Wine";
    std::vector<std::string> seen, expected;  // "name address type"
    for (int attempt = 0; attempt < 600 && seen.empty(); ++attempt) {
        if (attempt > 0)
            Sleep(100);
        Probe p;
        for (uint32_t i = 0; GetAdapterAddress(i, p.address, &p.type, p.description) >= 0; ++i) {
            std::ifstream sys(std::string("Z:\\sys\\class\\net\\") + p.description + "\\address");
            std::string mac, hex;
            if (p.address[0] == 0 || !(sys >> mac))
                continue;
            for (char c : mac)
                if (c != ':')
                    hex += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            seen.push_back(std::string(p.description) + " " + p.address + " " + std::to_string(p.type));
            expected.push_back(std::string(p.description) + " " + hex + " 253");
        }
    }
    EXPECT_FALSE(seen.empty()) << "no card answered with an address";
    EXPECT_EQ(seen, expected);
}
