#include <gtest/gtest.h>

#include <fstream>

#include "platform/Handles.h"
#include "probes/AdapterAddress.h"
#include "support/ScratchHive.h"
#include "tests/probes/FakeNet.h"

namespace {
const std::vector<uint8_t> kMac = {0x00, 0xA0, 0x24, 0x1B, 0x2C, 0x3D};
constexpr DWORD k8025 = 0x02010102, k8023 = 0x01010102;
const std::string kCards = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
using Log = std::vector<std::string>;

struct Probe {
    char address[16] = "#";
    uint32_t type = 7;
    char description[256] = "#";
    uint32_t Query(const std::string& service) { return QueryAdapterAddress(service.c_str(), address, &type); }
};
}  // namespace

TEST(AdapterAddress, TokenRingFirstThenEthernet) {
    FakeDevices dev;
    dev.dosNames = {"TR0"};  // exists: nothing is defined or removed
    dev.answers["\\\\.\\TR0"] = {{k8025, kMac}, {k8023, {1, 2, 3, 4, 5, 6}}};
    dev.answers["\\\\.\\E1"] = {{k8023, kMac}};
    Probe tr, eth;
    EXPECT_EQ(tr.Query("TR0"), 1u);
    EXPECT_EQ(tr.type, 255u);
    EXPECT_STREQ(tr.address, "00A0241B2C3D");
    EXPECT_EQ(eth.Query("E1"), 1u);  // the name it defines stays after the read
    EXPECT_EQ(eth.type, 253u);
    EXPECT_STREQ(eth.address, "00A0241B2C3D");
    EXPECT_EQ(dev.log, (Log{"query TR0 512", "open \\\\.\\TR0", "802.5", "close", "query E1 512",
                            "define 1 E1 \\Device\\E1", "open \\\\.\\E1", "802.5", "802.3", "close"}));
}

TEST(AdapterAddress, UnreadableCardsLoseOnlyTheDefinitionTheCallMade) {
    FakeDevices dev;
    dev.answers["\\\\.\\Odd"] = {{k8025, std::vector<uint8_t>(5)}, {k8023, std::vector<uint8_t>(7)}};
    dev.answers["\\\\.\\Lo"] = {{k8023, {}}};  // the loopback card's 0 bytes
    dev.dosNames = {"Lo"};
    Probe p;
    EXPECT_EQ(p.Query("Odd"), 0u);
    EXPECT_EQ(p.Query("Lo"), 0u);
    EXPECT_EQ(p.Query("Gone"), 0u);  // a device that does not open
    EXPECT_TRUE(p.address[0] == '#' && p.type == 7);
    EXPECT_EQ(dev.log, (Log{"query Odd 512", "define 1 Odd \\Device\\Odd", "open \\\\.\\Odd", "802.5", "802.3",
                            "close", "define 7 Odd \\Device\\Odd", "query Lo 512", "open \\\\.\\Lo", "802.5",
                            "802.3", "close", "query Gone 512", "define 1 Gone \\Device\\Gone", "open \\\\.\\Gone",
                            "define 7 Gone \\Device\\Gone"}));

    dev.log.clear();
    dev.defineFails = true;
    EXPECT_EQ(p.Query("Svc"), 0u);
    dev.queryError = ERROR_ACCESS_DENIED;
    EXPECT_EQ(p.Query("Svc"), 0u);
    // "\Device\" + 72 characters would not fit the 80-byte buffers.
    EXPECT_EQ(p.Query(std::string(72, 'n')), 0u);
    EXPECT_EQ(p.Query(""), 0u);
    EXPECT_EQ(dev.log, (Log{"query Svc 512", "define 1 Svc \\Device\\Svc", "query Svc 512"}));
}

TEST(AdapterAddress, Nt4CountsOnlyExistingCardKeys) {
    ScratchHive hive;
    FakeDevices dev;
    for (const char* n : {"1", "2", "5"}) {
        hive.SetString(kCards + "\\" + n, "ServiceName", std::string("Svc") + n);
        hive.SetString(kCards + "\\" + n, "Description", std::string("Card ") + n);
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
// driver answers with the MAC that Linux shows under /sys/class/net.
TEST(AdapterAddress, RealCardsUnderWineAnswerTheirLinuxMacs) {
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr)
        GTEST_SKIP() << "needs Wine";
    // Wine's network driver fills the card list, and starts answering, a
    // little after the prefix starts; a busy machine can take a while.
    struct Seen {
        std::string description, address, mac;
        uint32_t type;
    };
    std::vector<Seen> seen;
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
            seen.push_back({p.description, p.address, hex, p.type});
        }
    }
    for (const Seen& s : seen) {
        EXPECT_EQ(s.address, s.mac) << s.description;
        EXPECT_EQ(s.type, 253u) << s.description;
    }
    int compared = static_cast<int>(seen.size());
    EXPECT_GT(compared, 0) << "no card answered with an address";
}
