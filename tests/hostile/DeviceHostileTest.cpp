// The card address probe against drivers answering in every shape: which
// answer is an address, which DOS device names it defines and removes again,
// and that a refused answer leaves the caller's outputs as they were. The
// answers: device-cases.txt beside this file.
#include <gtest/gtest.h>

#include "probes/AdapterAddress.h"
#include "support/CaseFile.h"
#include "tests/probes/FakeNet.h"

TEST(HostileDevice, OnlyASixByteAnswerIsAnAddress) {
    const std::vector<TestCase> cases = ReadCases(SING_CASES_DIR "/hostile/device-cases.txt");
    ASSERT_GE(cases.size(), 15u);
    const std::map<std::string, DWORD> oids = {{"802.5", 0x02010102}, {"802.3", 0x01010102}};
    for (const TestCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string service = Runs(c.Get("service"));
        FakeDevices dev;
        if (c.Has("exists"))
            dev.dosNames = {service};
        dev.defineFails = c.Has("defineFails");
        if (c.Has("queryError"))
            dev.queryError = std::stoul(c.Get("queryError"));
        for (const auto& [name, oid] : oids) {  // a device with no answer at all does not open
            const std::string answer = Runs(c.Get(name));
            if (c.Has(name))
                dev.answers["\\\\.\\" + service][oid].assign(answer.begin(), answer.end());
        }
        std::string address(16 + 8, '#');
        uint32_t type = 7;
        EXPECT_EQ(QueryAdapterAddress(service.c_str(), &address[0], &type), c.Has("address") ? 1u : 0u);
        std::string log;
        for (const std::string& l : dev.log)
            log += (log.empty() ? "" : ";") + l;
        EXPECT_EQ(log, Runs(c.Get("log")));
        // Twelve digits and a NUL, nothing past them; nothing at all when refused.
        const std::string want = c.Has("address") ? c.Get("address") + '\0' : "";
        EXPECT_EQ(address, want + std::string(address.size() - want.size(), '#'));
        EXPECT_EQ(type, c.Has("address") ? std::stoul(c.Get("type")) : 7u);
    }
}
