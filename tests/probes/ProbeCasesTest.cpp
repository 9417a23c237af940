// The identity and NT 4 TCP/IP probes against the cases of
// probes/probe-cases.txt (its header says what each key does), each case on
// a fresh scratch hive.
#include <winsock2.h>
#include <windows.h>
#include <ntsecapi.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "probes/IdentityProbe.h"
#include "probes/IpConfigProbe.h"
#include "support/CaseFile.h"
#include "support/ChildProcess.h"
#include "support/CodePage.h"
#include "support/ScratchHive.h"
#include "support/TestMachine.h"

namespace {
// Wine's NT 4 setting is per program name: this child is test_probes' alone.
const char kChild[] = "sing_nt4_ipconfig_probes.exe";

// Room for seven outputs of 256 bytes between guard zones, all 'X'.
constexpr size_t kFront = 256, kBack = 100000;

// The local host name's first address as Windows Sockets resolves it; empty
// when it does not resolve.
std::string HostAddress() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0)
        return "";
    char name[256] = "";
    const hostent* h = gethostname(name, 255) == 0 ? gethostbyname(name) : nullptr;
    std::string text = h != nullptr ? inet_ntoa(*reinterpret_cast<const in_addr*>(h->h_addr_list[0])) : "";
    WSACleanup();
    return text;
}

// One call of a case ("identity 255", "nt4 present 0 1", ...) on `hive`, as
// the text the case gives; its outputs in `room`.
std::string Call(const ScratchHive& hive, const std::string& what, const std::string& args, std::string& room) {
    char* t[7];
    for (size_t i = 0; i < 7; ++i)
        t[i] = &room[kFront + 256 * i];
    if (what == "identity") {
        EXPECT_EQ(QueryWorkstationIdentity(t[0], t[1], t[2], t[3], t[4], t[5], t[6], std::stoul(args)), 1u);
        return std::string(t[0]) + "|" + t[1] + "|" + t[2] + "|" + t[3] + "|" + t[4] + "|" + t[5] + "|" + t[6];
    }
    if (what == "policy") {
        void* handle = nullptr;
        const std::wstring name(args == "-" ? 0 : std::stoul(args), L'a');
        const int32_t status = OpenLocalPolicy(args == "-" ? nullptr : name.c_str(), 1, &handle);
        std::snprintf(t[0], 256, "%X%s", static_cast<unsigned>(status), status && handle ? " with a handle" : "");
        if (handle != nullptr)
            LsaClose(handle);
        return t[0];
    }
    if (what == "service") {
        uint32_t dhcp = 99;
        for (int i = 0; i < 3; ++i)
            std::strcpy(t[i], "keep");
        const bool read = ReadIpConfigNt4(std::stoul(args), t[0], t[1], t[2], &dhcp, 255);
        return std::string(read ? "1|" : "0|") + t[0] + "|" + t[1] + "|" + t[2] + "|" + std::to_string(dhcp);
    }
    // "nt4 LIBRARY INDEX...": the child's lines.
    WineVersionOverride nt4{kChild, "nt40"};
    const std::string kind = args.substr(0, args.find(' '));
    const std::string dir = kind == "-" ? kind : TestFolder() + "\\hwnic\\" + kind;
    const std::string out = RunChild(kChild + (" " + hive.RootPath()) + " \"" + dir + "\"" + args.substr(kind.size()));
    EXPECT_EQ(out.substr(0, 6), "nt5=0\n") << "the child must see Windows NT 4";
    return out.substr(out.find('\n') + 1);
}

// The cases marked "dbcs", or the others.
void RunCases(bool dbcs) {
    const std::vector<TestCase> cases = ReadCases(SING_CASES_DIR "/probes/probe-cases.txt");
    ASSERT_GT(cases.size(), 15u);
    const std::string ip = HostAddress();
    for (const TestCase& c : cases) {
        if (c.Has("dbcs") != dbcs)
            continue;
        SCOPED_TRACE(c.name);
        ScratchHive hive;
        if (c.Has("layout"))
            hive.LoadLayout(c.Get("layout"));
        for (const auto& [key, value] : c.values)  // "TYPE PATH\NAME": a value
            if (std::isdigit(static_cast<unsigned char>(key[0]))) {
                const size_t path = key.find(' ') + 1, name = key.rfind('\\') + 1;
                hive.SetRaw(key.substr(path, name - 1 - path), key.c_str() + name, std::stoul(key), value.data(),
                            static_cast<DWORD>(value.size()));
            }
        for (const auto& [key, value] : c.values) {  // "CALL ARGUMENTS": a call and its answer
            const size_t space = key.find(' ');
            if (space == std::string::npos || std::isdigit(static_cast<unsigned char>(key[0])))
                continue;
            std::string want = value;
            for (size_t at; (at = want.find("{ip}")) != std::string::npos;)
                want.replace(at, 4, ip.empty() ? "(the host name does not resolve)" : ip);
            std::string room(kFront + 7 * 256 + kBack, 'X');
            EXPECT_EQ(Call(hive, key.substr(0, space), key.substr(space + 1), room), want) << key;
            // Nothing written outside the outputs, whatever size the probe is told.
            EXPECT_EQ(room.substr(0, kFront) + room.substr(kFront + 7 * 256), std::string(kFront + kBack, 'X')) << key;
        }
    }
}
}  // namespace

TEST(ProbeCases, IdentityAndNt4Adapters) { RunCases(false); }

// Run again by "test_probes_dbcs" in a process with code page 932.
TEST(ProbeCases, DoubleByteWorkgroupKeepsItsCharacters) {
    if (std::string why = NotDoubleByteCodePage(); !why.empty())
        GTEST_SKIP() << why;
    RunCases(true);
}
