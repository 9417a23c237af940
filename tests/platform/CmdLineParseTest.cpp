// CmdLine's tokenising, option table and directory fall-backs, fed with
// texts and in-memory response files.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/CmdLine.h"

namespace {

class MemoryFiles : public ResponseFileReader {
public:
    bool Read(const char* name, size_t maxBytes, std::string& out) override {
        reads.push_back(name);
        auto it = files.find(name);
        if (it == files.end() || it->second.size() > maxBytes)
            return false;
        out = it->second;
        return true;
    }
    std::map<std::string, std::string> files;
    std::vector<std::string> reads;
};

// Records every HandleOption call ("name=value", "name" for a null value)
// before storing it.
class RecordingCmdLine : public CmdLine {
public:
    explicit RecordingCmdLine(ResponseFileReader& files, LeadByteTest lead = nullptr) : CmdLine(files, lead) {}
    void HandleOption(const char* name, const char* value) override {
        calls.push_back(value ? std::string(name) + "=" + value : std::string(name));
        CmdLine::HandleOption(name, value);
    }
    std::vector<std::string> calls;
};

using Calls = std::vector<std::string>;

// Shift-JIS lead bytes.
bool SjisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

}  // namespace

TEST(CmdLineParse, SplitsOptionsArgumentsAndQuotedStretches) {
    MemoryFiles none;
    RecordingCmdLine c(none);
    c.Parse(" /N:abc\t-uid:\"ab-cd\" plain \"two words\" /L:\"say \"\"hi\"\"\" -S:x/R:y\v/GN:a\xA0z \"\"");
    EXPECT_EQ(c.calls, (Calls{"N=abc", "uid=ab-cd", "=plain", "=two words", "L=say \"hi\"", "S=x", "R=y",
                              "GN=a\xA0z", "="}));
    EXPECT_STREQ(c.UidValue(), "ab-cd");
    EXPECT_STREQ(c.LValue(), "say \"hi\"");

    // Unquoted, a hyphen or slash ends an option's value and starts another.
    RecordingCmdLine cut(none);
    cut.Parse("/UID:ab-cd /NDP:D:/data/x -MN:a-b:c");
    EXPECT_EQ(cut.calls, (Calls{"UID=ab", "cd", "NDP=D:", "data", "x", "MN=a", "b=c"}));
    EXPECT_STREQ(cut.UidValue(), "ab");
    EXPECT_STREQ(cut.GetDataDir(), "D:");
    RecordingCmdLine quoted(none);
    quoted.Parse("/NDP:\"D:/data/x\" arg-with/slash");
    EXPECT_EQ(quoted.calls, (Calls{"NDP=D:/data/x", "=arg-with/slash"}));

    // An unterminated quote runs to the end of the text.
    RecordingCmdLine open(none);
    open.Parse("/S:\"a /N:b");
    EXPECT_EQ(open.calls, (Calls{"S=a /N:b"}));
    EXPECT_EQ(open.NValue(), nullptr);
}

TEST(CmdLineParse, OptionTableRules) {
    MemoryFiles none;
    CmdLine c(none, nullptr);
    c.Parse("-n:first /N:second /n2 /L: /MANAGER:yes -init:0 /XCL:12 /mn:m /Gn:g /s:s /r:r /UNKNOWN:u");
    EXPECT_STREQ(c.NValue(), "second");  // a repeat replaces
    EXPECT_EQ(c.N2Value(), nullptr);     // no ':' stores nothing
    EXPECT_STREQ(c.LValue(), "");        // empty value stored as empty text
    EXPECT_EQ(c.ManagerFlag(), 1u);
    EXPECT_EQ(c.InitFlag(), 1u);
    EXPECT_EQ(c.NGiven(), 1u);
    EXPECT_STREQ(c.MnValue(), "m");
    EXPECT_STREQ(c.GnValue(), "g");
    EXPECT_STREQ(c.SValue(), "s");
    EXPECT_STREQ(c.RValue(), "r");

    CmdLine none2(none, nullptr);
    none2.Parse("/N /INIT");
    EXPECT_EQ(none2.NGiven(), 0u);
    EXPECT_EQ(none2.InitFlag(), 1u);
    EXPECT_EQ(none2.ManagerFlag(), 0u);
}

TEST(CmdLineParse, IpxAddressRule) {
    MemoryFiles none;
    CmdLine c(none, nullptr);
    c.Parse("/N:IPX:123456789:ABCDEF /n2:ipx:123456789: /N3:IPX:12345678:");
    EXPECT_STREQ(c.NValue(), "IPX:123456789.ABCDEF");
    EXPECT_STREQ(c.N2Value(), "ipx:123456789.");  // exactly 14 characters
    EXPECT_STREQ(c.N3Value(), "IPX:12345678:");   // 13: unchanged
    CmdLine other(none, nullptr);
    other.Parse("/N:TCP:123456789:ABCDEF /L:IPX:123456789:ABCDEF");
    EXPECT_STREQ(other.NValue(), "TCP:123456789:ABCDEF");
    EXPECT_STREQ(other.LValue(), "IPX:123456789:ABCDEF");  // the rule is for N, N2, N3 only
}

TEST(CmdLineParse, ResponseFilesApplyInFileOrderAtTheirPlace) {
    MemoryFiles files;
    files.files["a.rsp"] = "/L:one\r\n/S:two\t@\"b b.rsp\"\n-R:three";
    files.files["b b.rsp"] = "/MN:four";
    files.files["nul.rsp"] = std::string("/GN:five\0/UID:hidden", 20);
    RecordingCmdLine c(files);
    c.Parse("/N:x @a.rsp @missing.rsp @ @nul.rsp /L:last");
    EXPECT_EQ(c.calls, (Calls{"N=x", "L=one", "S=two", "MN=four", "R=three", "GN=five", "L=last"}));
    EXPECT_EQ(c.ResponseFileError(), 1u);
    EXPECT_EQ(files.reads, (std::vector<std::string>{"a.rsp", "b b.rsp", "missing.rsp", "nul.rsp"}));

    CmdLine fine(files, nullptr);
    fine.Parse("@a.rsp");
    EXPECT_EQ(fine.ResponseFileError(), 0u);
}

TEST(CmdLineParse, ResponseFileLoopsAndNestingAreBounded) {
    MemoryFiles files;
    files.files["self.rsp"] = "/L:x @SELF.RSP /S:y";
    files.files["a.rsp"] = "@b.rsp /R:a";
    files.files["b.rsp"] = "@a.rsp /MN:b";
    for (int i = 0; i < 20; ++i)
        files.files["d" + std::to_string(i)] = "@d" + std::to_string(i + 1) + " /GN:" + std::to_string(i);
    // Each level names the next one four times: 4^6 files without a cap.
    for (int i = 0; i < 6; ++i) {
        std::string next = "@w" + std::to_string(i + 1) + " ";
        files.files["w" + std::to_string(i)] = next + next + next + next;
    }
    files.files["w6"] = "/L:leaf";

    RecordingCmdLine self(files);
    self.Parse("@self.rsp");
    EXPECT_EQ(self.calls, (Calls{"L=x", "S=y"}));
    EXPECT_EQ(self.ResponseFileError(), 1u);

    RecordingCmdLine cycle(files);
    cycle.Parse("@a.rsp");
    EXPECT_EQ(cycle.calls, (Calls{"MN=b", "R=a"}));
    EXPECT_EQ(cycle.ResponseFileError(), 1u);

    files.reads.clear();
    CmdLine deep(files, nullptr);
    deep.Parse("@d0");
    EXPECT_EQ(files.reads.size(), CmdLine::kMaxResponseDepth);
    EXPECT_STREQ(deep.GnValue(), "0");
    EXPECT_EQ(deep.ResponseFileError(), 1u);

    files.reads.clear();
    CmdLine wide(files, nullptr);
    wide.Parse("@w0");
    EXPECT_EQ(files.reads.size(), CmdLine::kMaxResponseFiles);
    EXPECT_EQ(wide.ResponseFileError(), 1u);
}

TEST(CmdLineApply, DirectoriesAndTheirFallBacks) {
    MemoryFiles none;
    {
        HostFacts f;
        f.workingDir = "C:\\work";
        f.exePath = "C:\\Program Files\\Host\\host.exe";
        f.commandText = "host.exe /NDP:D:\\nd /INIT";
        CmdLine c(none, nullptr);
        c.Apply(f);
        EXPECT_STREQ(c.StartDir(), "C:\\work\\");
        EXPECT_STREQ(c.ModuleDir(), "C:\\Program Files\\Host\\");
        EXPECT_STREQ(c.GetDataDir(), "D:\\nd");                      // as given, no separator added
        EXPECT_STREQ(c.LogDir(), "C:\\Program Files\\Host\\");       // settled before the options
        EXPECT_STREQ(c.ArgText(), " /NDP:D:\\nd /INIT");
        EXPECT_EQ(c.InitFlag(), 1u);
    }
    {
        HostFacts f;
        f.workingDir = "C:\\";
        f.exePath = "host.exe";  // no separator: the working directory stands in
        f.commandText = "host.exe";
        f.registryLogDir = CopyText("L:\\log\\");
        CmdLine c(none, nullptr);
        c.Apply(f);
        EXPECT_STREQ(c.StartDir(), "C:\\");
        EXPECT_STREQ(c.ModuleDir(), "C:\\");
        EXPECT_STREQ(c.GetDataDir(), "C:\\");
        EXPECT_STREQ(c.LogDir(), "L:\\log\\");
        EXPECT_STREQ(c.ArgText(), "");
    }
    {
        HostFacts f;
        f.workingDir = "C:\\w";
        f.exePath = "D:host.exe";
        f.commandText = "";
        f.registryDataDir = CopyText("R:\\data\\");
        CmdLine c(none, nullptr);
        c.Apply(f);
        EXPECT_STREQ(c.ModuleDir(), "D:");
        EXPECT_STREQ(c.GetDataDir(), "R:\\data\\");
        EXPECT_STREQ(c.LogDir(), "R:\\data\\");
    }
}

TEST(CmdLineApply, QuotedProgramPathWithSpaceKeepsTheOptions) {
    MemoryFiles none;
    HostFacts f;
    f.workingDir = "C:\\w";
    f.exePath = "C:\\Program Files\\Host\\host.exe";
    f.commandText = "\"C:\\Program Files\\Host\\host.exe\" /N:x -L:\"a b\"";
    RecordingCmdLine c(none);
    c.Apply(f);
    EXPECT_EQ(c.calls, (Calls{"N=x", "L=a b"}));
    EXPECT_STREQ(c.ArgText(), " /N:x -L:\"a b\"");

    // Without quotes the name still ends at the first space.
    HostFacts g;
    g.commandText = "C:\\Program Files\\host.exe /N:y";
    RecordingCmdLine d(none);
    d.Apply(g);
    EXPECT_EQ(d.calls, (Calls{"=Files\\host.exe", "N=y"}));
}

TEST(CmdLinePaths, DoubleByteAwareScans) {
    // 0x95 0x5C is one Shift-JIS character whose second byte looks like '\'.
    EXPECT_EQ(DirectoryPartLength("C:\\dir\\\x95\\probe.exe", SjisLead), 7u);
    EXPECT_EQ(DirectoryPartLength("C:\\dir\\\x95\\probe.exe", nullptr), 9u);
    EXPECT_EQ(DirectoryPartLength("C:\\d\\\x95", SjisLead), 5u);  // lead byte before the end
    EXPECT_EQ(DirectoryPartLength("a/b:c", nullptr), 4u);
    EXPECT_EQ(DirectoryPartLength("host.exe", SjisLead), 0u);

    char buf[16];
    auto add = [&](const char* s, size_t room, LeadByteTest lead) {
        std::snprintf(buf, sizeof buf, "%s", s);
        bool ok = AddTrailingBackslash(buf, room, lead);
        return std::make_pair(ok, std::string(buf));
    };
    EXPECT_EQ(add("C:\\d\\\x95\\", 16, SjisLead), std::make_pair(true, std::string("C:\\d\\\x95\\\\")));
    EXPECT_EQ(add("C:\\d\\\x95\\", 16, nullptr), std::make_pair(true, std::string("C:\\d\\\x95\\")));
    EXPECT_EQ(add("C:\\d\\\x95", 16, SjisLead), std::make_pair(true, std::string("C:\\d\\\x95\\")));
    EXPECT_EQ(add("C:\\\xE9\\", 16, nullptr), std::make_pair(true, std::string("C:\\\xE9\\")));
    EXPECT_EQ(add("C:\\d", 16, SjisLead), std::make_pair(true, std::string("C:\\d\\")));
    EXPECT_EQ(add("C:\\d", 5, nullptr), std::make_pair(false, std::string("C:\\d")));  // no room
    EXPECT_EQ(add("", 16, nullptr), std::make_pair(false, std::string("")));
}

TEST(CmdLinePaths, HandOverAtomNumber) {
    uint16_t atom = 1;
    EXPECT_TRUE(FindHandOverAtom("host /N:x /XCL:49153 /L:y", &atom));
    EXPECT_EQ(atom, 49153);
    EXPECT_TRUE(FindHandOverAtom("host/XCL:70000", &atom));
    EXPECT_EQ(atom, 70000 & 0xFFFF);
    EXPECT_TRUE(FindHandOverAtom("host /XCL:  12x", &atom));
    EXPECT_EQ(atom, 12);
    EXPECT_TRUE(FindHandOverAtom("host /XCL:none", &atom));
    EXPECT_EQ(atom, 0);
    EXPECT_FALSE(FindHandOverAtom("host /xcl:12 -XCL:12", &atom));
}

TEST(CmdLineParse, TextOnlyEntryPointsTakeNothingForGranted) {
    MemoryFiles none;
    CmdLine c(none, nullptr);
    c.Parse(nullptr);
    c.Parse("");
    c.Parse("@");  // no name
    c.Parse("/ - / :x");
    EXPECT_EQ(c.ResponseFileError(), 1u);
    EXPECT_EQ(c.GetDataDir(), nullptr);
    EXPECT_EQ(c.NGiven(), 0u);
}
