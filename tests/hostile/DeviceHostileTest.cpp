// The card address probe against drivers answering in every shape: which
// answer is an address, which DOS device names it defines and removes again,
// and that a refused answer leaves the caller's outputs as they were.
#include <gtest/gtest.h>

#include <optional>

#include "probes/AdapterAddress.h"
#include "tests/probes/FakeNet.h"

namespace {
constexpr DWORD k8025 = 0x02010102, k8023 = 0x01010102;
using Answer = std::optional<std::vector<uint8_t>>;  // none: the query fails
const std::vector<uint8_t> kMac = {0x00, 0xA0, 0x24, 0x1B, 0x2C, 0x3D};

struct Row {
    std::string service;
    bool exists;        // the DOS name is already defined
    Answer tokenRing, ethernet;
    std::string want;   // "ADDRESS TYPE", or "" when refused
    std::string log;    // the device calls, ';' between them
    bool defineFails = false;
    DWORD queryError = ERROR_FILE_NOT_FOUND;
};

std::string Calls(const std::string& s, const char* first) {  // the usual sequence for an existing name
    return "query " + s + " 512;" + first + "open \\\\.\\" + s + ";802.5;";
}
}  // namespace

TEST(HostileDevice, OnlyASixByteAnswerIsAnAddress) {
    const std::string n71(71, 'n'), n72(72, 'n');
    std::vector<Row> rows = {
        // Token ring is asked first; a name that exists is neither defined nor removed.
        {"TR0", true, kMac, std::vector<uint8_t>{1, 2, 3, 4, 5, 6}, "00A0241B2C3D 255", Calls("TR0", "") + "close"},
        // A name the call defined stays after a good read.
        {"E1", false, {}, kMac, "00A0241B2C3D 253", Calls("E1", "define 1 E1 \\Device\\E1;") + "802.3;close"},
        {n71, true, {}, kMac, "00A0241B2C3D 253", Calls(n71, "") + "802.3;close"},
        // ... and is removed again when nothing was read.
        {"Odd", false, std::vector<uint8_t>(5), std::vector<uint8_t>(7), "",
         Calls("Odd", "define 1 Odd \\Device\\Odd;") + "802.3;close;define 7 Odd \\Device\\Odd"},
        {"Gone", false, {}, {}, "", "query Gone 512;define 1 Gone \\Device\\Gone;open \\\\.\\Gone;define 7 Gone \\Device\\Gone"},
        {"Lo", true, {}, std::vector<uint8_t>{}, "", Calls("Lo", "") + "802.3;close"},  // the loopback's 0 bytes
        // "\Device\" + 72 characters would not fit the 80-byte names; nothing asked.
        {n72, true, {}, kMac, "", ""},
        {"", true, {}, kMac, "", ""},
        // A definition that fails, or a name query failing otherwise than "not found".
        {"Svc", false, {}, kMac, "", "query Svc 512;define 1 Svc \\Device\\Svc", true},
        {"Svc", false, {}, kMac, "", "query Svc 512", false, ERROR_ACCESS_DENIED},
        {"Card", true, {}, std::vector<uint8_t>{0xDE, 0xAD, 0xBE, 0xEF, 0x00, 0x01}, "DEADBEEF0001 253",
         Calls("Card", "") + "802.3;close"},
    };
    // Answers of every other length, also longer than the 4096-byte buffer.
    for (size_t size : {0u, 1u, 5u, 7u, 12u, 4095u, 4096u, 8192u, 1u << 20})
        rows.push_back({"Card", true, {}, std::vector<uint8_t>(size, 0xAB), "", Calls("Card", "") + "802.3;close"});

    for (const Row& r : rows) {
        SCOPED_TRACE(r.service.substr(0, 8) + " " + std::to_string(r.ethernet ? r.ethernet->size() : 99));
        FakeDevices dev;
        if (r.exists)
            dev.dosNames = {r.service};
        dev.defineFails = r.defineFails;
        dev.queryError = r.queryError;
        if (r.tokenRing)  // a device with no answer at all does not open
            dev.answers["\\\\.\\" + r.service][k8025] = *r.tokenRing;
        if (r.ethernet)
            dev.answers["\\\\.\\" + r.service][k8023] = *r.ethernet;
        std::string address(16 + 8, '#');
        uint32_t type = 7;
        const bool read = QueryAdapterAddress(r.service.c_str(), &address[0], &type) == 1;
        std::string log;
        for (const std::string& l : dev.log)
            log += (log.empty() ? "" : ";") + l;
        EXPECT_EQ(log, r.log);
        // Twelve digits and a NUL, nothing past them; nothing at all when refused.
        const std::string want = r.want.empty() ? "" : r.want.substr(0, 12) + '\0';
        EXPECT_EQ(address, want + std::string(address.size() - want.size(), '#'));
        EXPECT_EQ(std::to_string(type), r.want.empty() ? "7" : r.want.substr(13));
    }
}
