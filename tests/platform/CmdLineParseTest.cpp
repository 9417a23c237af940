// CmdLine fed with texts and in-memory response files: the options it hands
// on and keeps, response-file bounds, directory fall-backs, separator scans.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/CmdLine.h"
#include "support/Guarded.h"
#include "support/MemoryFiles.h"

namespace {

// Records every option handed on ("name=value", "name" without a value),
// "|"-separated, and shows what was kept.
class RecordingCmdLine : public CmdLine {
public:
    explicit RecordingCmdLine(ResponseFileReader& files) : CmdLine(files, nullptr) {}
    void HandleOption(const char* name, const char* value) override {
        calls += (calls.empty() ? "" : "|") + (value ? std::string(name) + "=" + value : std::string(name));
        CmdLine::HandleOption(name, value);
    }
    // Every text kept (texts never set left out), then the three flags.
    std::string Kept() const {
        std::string out;
        const std::pair<const char*, const OwnedText*> texts[] = {
            {"start", &startDir}, {"module", &moduleDir}, {"data", &dataDir}, {"log", &logDir}, {"N", &nValue},
            {"N2", &n2Value},     {"N3", &n3Value},       {"L", &lValue},     {"R", &rValue},   {"S", &sValue},
            {"UID", &uidValue},   {"MN", &mnValue},       {"GN", &gnValue}};
        for (const auto& [name, text] : texts)
            if (*text)
                out += std::string(name) + "=" + text->get() + "|";
        return out + std::to_string(nGiven) + std::to_string(managerFlag) + std::to_string(initFlag);
    }
    std::string calls;
    using CmdLine::argText;
    using CmdLine::responseFileError;
};

bool SjisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

}  // namespace

TEST(CmdLineParse, TokensOptionsAndResponseFiles) {
    MemoryFiles files;
    files.files["a.rsp"] = "/L:one\r\n/S:two\t@\"b b.rsp\"\n-R:three";
    files.files["b b.rsp"] = "/MN:four";
    files.files["nul.rsp"] = std::string("/GN:five\0/UID:hidden", 20);
    files.files["c1"] = "@c2 /R:a";  // a loop, its names in other case
    files.files["c2"] = "@C1 /MN:b";
    for (int i = 0; i < 20; ++i)  // deeper than the nesting limit
        files.files["d" + std::to_string(i)] = "@d" + std::to_string(i + 1) + " /GN:" + std::to_string(i);
    for (int i = 0; i < 6 * 4; ++i)  // each names the next four times: 4^6 reads without a cap
        files.files["w" + std::to_string(i / 4)] += "@w" + std::to_string(i / 4 + 1) + " ";
    files.files["w6"] = "/L:leaf";
    struct Case {
        const char* text;
        const char* calls;
        uint32_t error;
        std::string reads;
    };
    const Case cases[] = {
        {" /N:abc\t-uid:ab-cd plain \"two words\" /L:\"say \"\"hi\"\"\" -S:x/R:y\v/GN:a\xA0z",
         "N=abc|uid=ab|cd|=plain|=two words|L=say \"hi\"|S=x|R=y|GN=a\xA0z", 0, ""},
        // "" outside quotes is an empty text, never a quote, and ends nothing.
        {"/L:\"\" /S:a\"\"b \"\" x /R:\"\"\"\"", "L=|S=ab|=|=x|R=\"", 0, ""},
        {"@a.rsp @missing.rsp @ @nul.rsp /NDP:\"D:/data\" /S:\"open -quote",
         "L=one|S=two|MN=four|R=three|GN=five|NDP=D:/data|S=open -quote", 1, "a.rsp|b b.rsp|missing.rsp|nul.rsp|"},
        {"@c1", "MN=b|R=a", 1, "c1|c2|"},
        {"@d0", "GN=7|GN=6|GN=5|GN=4|GN=3|GN=2|GN=1|GN=0", 1, "d0|d1|d2|d3|d4|d5|d6|d7|"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        files.reads.clear();
        RecordingCmdLine cmd(files);
        cmd.Parse(c.text);
        EXPECT_EQ(cmd.calls, c.calls);
        EXPECT_EQ(cmd.responseFileError, c.error);
        std::string reads;
        for (const std::string& r : files.reads)
            reads += r + "|";
        EXPECT_EQ(reads, c.reads);
    }
    files.reads.clear();
    RecordingCmdLine wide(files);
    wide.Parse("@w0");
    EXPECT_EQ(files.reads.size(), CmdLine::kMaxResponseFiles);
    EXPECT_EQ(wide.responseFileError, 1u);
}

TEST(CmdLineParse, WhatTheOptionsKeep) {
    MemoryFiles none;
    RecordingCmdLine c(none);
    c.Parse("/N:IPX:123456789:00C0FFEE -n2:\"ipx:12-456789:\" /N3:IPX:12345678: -uid:ab-cd /L /R: /s:first "
            "/S:second /MANAGER:no /l:\"say \"\"hi\"\"\" /NDP:\"Q:\\quoted dir\" /mn /gn:g /init");
    // The address rule from 14 characters on; "/L" and "/MN" without a value keep nothing.
    EXPECT_EQ(c.Kept(), "data=Q:\\quoted dir|N=IPX:123456789.00C0FFEE|N2=ipx:12-456789.|N3=IPX:12345678:|"
                        "L=say \"hi\"|R=|S=second|UID=ab|GN=g|111");
}

TEST(CmdLineApply, DirectoryFallBacksAndProgramName) {
    struct Case {
        const char *cwd, *exe, *command, *registryData, *registryLog;
        const char *kept, *argText;
    };
    const Case cases[] = {
        // No separator in the executable's name: the working directory stands in.
        {"C:\\", "host.exe", "\"C:\\Program Files\\host.exe\" /N:x /NDP:D:\\nd", nullptr, "L:\\log\\",
         "start=C:\\|module=C:\\|data=D:\\nd|log=L:\\log\\|N=x|100", " /N:x /NDP:D:\\nd"},
        // Unquoted, the program name ends at the first space.
        {"C:\\w", "D:host.exe", "C:\\Program Files\\host.exe /S:y", "R:\\data\\", nullptr,
         "start=C:\\w\\|module=D:|data=R:\\data\\|log=R:\\data\\|S=y|000", " Files\\host.exe /S:y"},
        // Only a space ends it: a tab after it does not.
        {"C:\\w", "C:\\p\\probe.exe", "probe.exe\t/N:x /S:y", nullptr, nullptr,
         "start=C:\\w\\|module=C:\\p\\|data=C:\\p\\|log=C:\\p\\|S=y|000", " /S:y"},
        {"", "", "\"\"", nullptr, nullptr, "start=|module=|data=|log=|000", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        HostFacts f;
        f.workingDir = CopyText(c.cwd);
        f.exePath = CopyText(c.exe);
        f.commandText = CopyText(c.command);
        f.registryDataDir = CopyText(c.registryData);
        f.registryLogDir = CopyText(c.registryLog);
        MemoryFiles none;
        RecordingCmdLine cmd(none);
        cmd.Apply(f);
        EXPECT_EQ(cmd.Kept(), c.kept);
        EXPECT_EQ(std::string(cmd.argText.get()), c.argText);
    }
}

TEST(CmdLinePaths, DoubleByteScansAndAtomNumber) {
    // 0x95 0x5C is one Shift-JIS character whose second byte looks like '\'.
    EXPECT_EQ(DirectoryPartLength("C:\\dir\\\x95\\probe.exe", SjisLead), 7u);
    EXPECT_EQ(DirectoryPartLength("C:\\dir\\\x95\\probe.exe", nullptr), 9u);
    EXPECT_EQ(DirectoryPartLength("C:\\d\\\x95", SjisLead), 5u);  // lead byte before the end
    EXPECT_EQ(DirectoryPartLength("a/b:c", nullptr), 4u);

    struct Case {
        const char* text;
        size_t room;
        LeadByteTest lead;
        bool added;
        const char* after;
    };
    const Case cases[] = {
        {"C:\\d\\\x95\\", 16, SjisLead, true, "C:\\d\\\x95\\\\"},
        {"C:\\d\\\x95", 16, SjisLead, true, "C:\\d\\\x95\\"},
        {"C:\\\xE9\\", 16, nullptr, true, "C:\\\xE9\\"},  // single-byte code page
        {"C:\\d", 6, nullptr, true, "C:\\d\\"},            // just room
        {"C:\\d", 5, nullptr, false, "C:\\d"},             // no room
        {"", 16, nullptr, false, ""},
    };
    for (const Case& c : cases) {
        Guarded g(c.room);
        std::memcpy(g.Out(), c.text, std::strlen(c.text) + 1);
        EXPECT_EQ(AddTrailingBackslash(g.Out(), c.room, c.lead), c.added) << c.text;
        EXPECT_EQ(g.Text(), c.after) << c.text;
        EXPECT_TRUE(g.CanariesIntact()) << c.text;
    }

    uint16_t atom = 1;
    EXPECT_TRUE(FindHandOverAtom("host/XCL:70000 /N", &atom));
    EXPECT_EQ(atom, 70000 & 0xFFFF);
    EXPECT_TRUE(FindHandOverAtom("host /XCL:none", &atom));
    EXPECT_EQ(atom, 0);
    EXPECT_FALSE(FindHandOverAtom("host /xcl:12 -XCL:12", &atom));
}
