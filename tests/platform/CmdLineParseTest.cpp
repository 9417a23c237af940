// CmdLine fed with texts and in-memory response files: the order of the
// options it hands on, response-file bounds, directory fall-backs.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/CmdLine.h"

namespace {

class MemoryFiles : public ResponseFileReader {
public:
    OwnedText Read(const char* name, size_t maxBytes) override {
        reads.push_back(name);
        auto it = files.find(name);
        if (it == files.end() || it->second.size() > maxBytes)
            return nullptr;
        // The whole contents, a NUL inside included.
        OwnedText out(new char[it->second.size() + 1]);
        std::memcpy(out.get(), it->second.data(), it->second.size());
        out[it->second.size()] = '\0';
        return out;
    }
    std::map<std::string, std::string> files;
    std::vector<std::string> reads;
};

using Calls = std::vector<std::string>;

// Records every option handed on ("name=value", or "name" without a value),
// and shows what was kept.
class RecordingCmdLine : public CmdLine {
public:
    explicit RecordingCmdLine(ResponseFileReader& files) : CmdLine(files, nullptr) {}
    void HandleOption(const char* name, const char* value) override {
        calls.push_back(value ? std::string(name) + "=" + value : std::string(name));
        CmdLine::HandleOption(name, value);
    }
    // "startDir|moduleDir|dataDir|logDir".
    std::string Directories() const {
        return std::string(startDir.get()) + "|" + moduleDir.get() + "|" + dataDir.get() + "|" + logDir.get();
    }
    using CmdLine::argText;
    using CmdLine::gnValue;
    using CmdLine::nValue;
    using CmdLine::responseFileError;
    Calls calls;
};

bool SjisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

}  // namespace

TEST(CmdLineParse, TokensInOrderWithResponseFilesInPlace) {
    MemoryFiles files;
    files.files["a.rsp"] = "/L:one\r\n/S:two\t@\"b b.rsp\"\n-R:three";
    files.files["b b.rsp"] = "/MN:four";
    files.files["nul.rsp"] = std::string("/GN:five\0/UID:hidden", 20);
    RecordingCmdLine c(files);
    c.Parse(" /N:abc\t-uid:ab-cd plain \"two words\" /L:\"say \"\"hi\"\"\" -S:x/R:y\v/GN:a\xA0z "
            "@a.rsp @missing.rsp @ @nul.rsp /NDP:\"D:/data\" /S:\"open -quote");
    EXPECT_EQ(c.calls, (Calls{"N=abc", "uid=ab", "cd", "=plain", "=two words", "L=say \"hi\"", "S=x", "R=y",
                              "GN=a\xA0z", "L=one", "S=two", "MN=four", "R=three", "GN=five", "NDP=D:/data",
                              "S=open -quote"}));
    EXPECT_EQ(c.responseFileError, 1u);
    EXPECT_EQ(files.reads, (Calls{"a.rsp", "b b.rsp", "missing.rsp", "nul.rsp"}));
}

// Self-inclusion is checked on disk; here a cycle, depth and fan-out.
TEST(CmdLineParse, ResponseFileLoopsAndNestingAreBounded) {
    MemoryFiles files;
    files.files["a.rsp"] = "@b.rsp /R:a";
    files.files["b.rsp"] = "@A.RSP /MN:b";
    for (int i = 0; i < 20; ++i)
        files.files["d" + std::to_string(i)] = "@d" + std::to_string(i + 1) + " /GN:" + std::to_string(i);
    for (int i = 0; i < 6; ++i) {  // each level names the next four times: 4^6 reads without a cap
        std::string next = "@w" + std::to_string(i + 1) + " ";
        files.files["w" + std::to_string(i)] = next + next + next + next;
    }
    files.files["w6"] = "/L:leaf";
    RecordingCmdLine cycle(files);
    cycle.Parse("@a.rsp");
    EXPECT_EQ(cycle.calls, (Calls{"MN=b", "R=a"}));
    EXPECT_EQ(files.reads, (Calls{"a.rsp", "b.rsp"}));  // names compared without case
    files.reads.clear();
    RecordingCmdLine deep(files), wide(files);
    deep.Parse("@d0");
    EXPECT_EQ(files.reads.size(), CmdLine::kMaxResponseDepth);
    EXPECT_STREQ(deep.gnValue.get(), "0");
    files.reads.clear();
    wide.Parse("@w0");
    EXPECT_EQ(files.reads.size(), CmdLine::kMaxResponseFiles);
    EXPECT_EQ(cycle.responseFileError & deep.responseFileError & wide.responseFileError, 1u);
}

TEST(CmdLineApply, DirectoryFallBacksAndProgramName) {
    MemoryFiles none;
    HostFacts f;
    f.workingDir = CopyText("C:\\");
    f.exePath = CopyText("host.exe");  // no separator: the working directory stands in
    f.commandText = CopyText("\"C:\\Program Files\\host.exe\" /N:x /NDP:D:\\nd");
    f.registryLogDir = CopyText("L:\\log\\");
    RecordingCmdLine c(none);
    c.Apply(f);
    EXPECT_EQ(c.Directories() + "|" + c.nValue.get(), "C:\\|C:\\|D:\\nd|L:\\log\\|x");
    EXPECT_STREQ(c.argText.get(), " /N:x /NDP:D:\\nd");

    HostFacts g;
    g.workingDir = CopyText("C:\\w");
    g.exePath = CopyText("D:host.exe");
    g.commandText = CopyText("C:\\Program Files\\host.exe /S:y");  // unquoted: ends at the space
    g.registryDataDir = CopyText("R:\\data\\");
    RecordingCmdLine d(none);
    d.Apply(g);
    EXPECT_EQ(d.Directories(), "C:\\w\\|D:|R:\\data\\|R:\\data\\");
    EXPECT_EQ(d.calls, (Calls{"=Files\\host.exe", "S=y"}));
}

TEST(CmdLinePaths, DoubleByteScansAndAtomNumber) {
    // 0x95 0x5C is one Shift-JIS character whose second byte looks like '\'.
    EXPECT_EQ(DirectoryPartLength("C:\\dir\\\x95\\probe.exe", SjisLead), 7u);
    EXPECT_EQ(DirectoryPartLength("C:\\dir\\\x95\\probe.exe", nullptr), 9u);
    EXPECT_EQ(DirectoryPartLength("C:\\d\\\x95", SjisLead), 5u);  // lead byte before the end
    EXPECT_EQ(DirectoryPartLength("a/b:c", nullptr), 4u);

    char buf[16];
    auto add = [&](const char* s, size_t room, LeadByteTest lead) {
        std::snprintf(buf, sizeof buf, "%s", s);
        return std::string(AddTrailingBackslash(buf, room, lead) ? "ok " : "no ") + buf;
    };
    EXPECT_EQ(add("C:\\d\\\x95\\", 16, SjisLead), "ok C:\\d\\\x95\\\\");
    EXPECT_EQ(add("C:\\d\\\x95", 16, SjisLead), "ok C:\\d\\\x95\\");
    EXPECT_EQ(add("C:\\\xE9\\", 16, nullptr), "ok C:\\\xE9\\");  // single-byte code page
    EXPECT_EQ(add("C:\\d", 5, nullptr), "no C:\\d");             // no room
    EXPECT_EQ(add("", 16, nullptr), "no ");

    uint16_t atom = 1;
    EXPECT_TRUE(FindHandOverAtom("host/XCL:70000 /N", &atom));
    EXPECT_EQ(atom, 70000 & 0xFFFF);
    EXPECT_TRUE(FindHandOverAtom("host /XCL:none", &atom));
    EXPECT_EQ(atom, 0);
    EXPECT_FALSE(FindHandOverAtom("host /xcl:12 -XCL:12", &atom));
}
