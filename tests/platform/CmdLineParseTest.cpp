// CmdLine fed with texts and in-memory response files, and its separator
// scans: the cases are in cmdline-cases.txt, which says what each key means.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/CmdLine.h"
#include "tests/platform/CmdLineView.h"
#include "support/CaseFile.h"
#include "support/Guarded.h"
#include "support/MemoryFiles.h"

namespace {

bool SjisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// What the case's input gives, under the keys it is expected in.
std::map<std::string, std::string> RunCase(const TestCase& c, MemoryFiles& files) {
    const LeadByteTest lead = c.Get("lead") == "sjis" ? SjisLead : nullptr;
    auto text = [&](const char* key) { return c.Has(key) ? CopyText(c.Get(key).c_str()) : nullptr; };
    if (c.Has("backslash")) {
        Guarded g(std::stoul(c.Get("room")));
        std::memcpy(g.Out(), c.Get("backslash").c_str(), c.Get("backslash").size() + 1);
        bool added = AddTrailingBackslash(g.Out(), std::stoul(c.Get("room")), lead);
        return {{"added", std::to_string(added)}, {"after", g.Text()}, {"guards", g.CanariesIntact() ? "" : "hit"}};
    }
    uint16_t atom = 0;
    if (c.Has("atom") || c.Has("dirpart"))
        return {{"found", std::to_string(FindHandOverAtom(c.Get("atom").c_str(), &atom))},
                {"number", std::to_string(atom)},
                {"length", std::to_string(DirectoryPartLength(c.Get("dirpart").c_str(), lead))}};
    files.reads.clear();
    CmdLineView cmd(files, nullptr);
    HostFacts f{text("cwd"), text("exe"), text("command"), text("data"), text("log")};
    c.Has("command") ? cmd.Apply(f) : cmd.Parse(c.Get("text").c_str());
    std::string reads;
    for (const std::string& r : files.reads)
        reads += r + "|";
    return {{"calls", cmd.calls}, {"error", std::to_string(cmd.responseFileError)}, {"reads", reads},
            {"readCount", std::to_string(files.reads.size())}, {"kept", cmd.Kept()}};
}

}  // namespace

TEST(CmdLineParse, CasesFromTheCaseFile) {
    std::vector<TestCase> cases = ReadCases(SING_CASES_DIR "/platform/cmdline-cases.txt");
    ASSERT_GT(cases.size(), 20u);
    MemoryFiles files;
    for (const auto& [key, contents] : cases[0].values)
        files.files[key.substr(5)] = contents;  // "file NAME"
    for (size_t i = 1; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        std::map<std::string, std::string> got = RunCase(cases[i], files);
        EXPECT_EQ(got["guards"], "");
        for (const auto& [key, value] : got)
            if (cases[i].Has(key)) {
                EXPECT_EQ(value, cases[i].Get(key)) << key;
            }
    }
}
