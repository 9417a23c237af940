#include <gtest/gtest.h>

#include <fstream>

#include "probes/AdapterAddress.h"
#include "support/ScratchHive.h"
#include "tests/probes/FakeNet.h"

namespace {
constexpr DWORD k8023 = 0x01010102;

struct Probe {
    char address[16] = "#";
    uint32_t type = 7;
    char description[256] = "#";
};
}  // namespace

// Each layout's card list (tests/scenarios/LAYOUT/cards.txt), every driver
// answering with its card's 802.3 address: the cards in the order the list
// enumerates them (Windows NT 4: the numbered keys that exist).
TEST(AdapterAddress, LayoutCardLists) {
    for (const char* layout : {"win10", "win10up", "win7", "xp", "win2000", "nt4"}) {
        SCOPED_TRACE(layout);
        ScratchHive hive;
        hive.LoadLayout(layout);
        FakeDevices dev;
        std::ifstream list(std::string(SING_SCENARIO_DIR "/") + layout + "/cards.txt");
        std::vector<std::string> want, seen;
        for (std::string service, address, description; list >> service >> address >> std::ws;) {
            std::getline(list, description);
            if (service[0] == '#')
                continue;
            for (size_t i = 0; address != "-" && i < 6; ++i)
                dev.answers["\\\\.\\" + service][k8023].push_back(static_cast<uint8_t>(std::stoul(address.substr(2 * i, 2), nullptr, 16)));
            want.push_back(address + " " + description);
        }
        const bool nt4 = std::string(layout) == "nt4";
        Probe p;
        for (uint32_t i = 0;; ++i) {
            p.address[0] = p.description[0] = '\0';
            int32_t r = (nt4 ? ReadNetworkCardNt4 : ReadNetworkCardWin2000)(i, p.address, p.description, &p.type, 255);
            if (r < 0 || (nt4 && r == 0))
                break;
            seen.push_back(std::string(p.address[0] ? p.address : "-") + " " + p.description);
        }
        EXPECT_FALSE(want.empty());
        EXPECT_EQ(seen, want);
    }
}

// Wine lists one card per Linux interface, described by its name, whose
// driver answers with the MAC that Linux shows under /sys/class/net. The card
// list fills in a little after the prefix starts: poll for up to a minute.
TEST(AdapterAddress, RealCardsUnderWineAnswerTheirLinuxMacs) {
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr)
        GTEST_SKIP() << "needs Wine";
    std::vector<std::string> seen, expected;  // "name address type"
    for (int attempt = 0; attempt < 600 && seen.empty(); ++attempt) {
        Sleep(attempt ? 100 : 0);
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
