// CmdLine as a host process sees it: the probe program runs as a child with a
// crafted command line, working directory, global atom and scratch hive.
// Settings values, Setup's own facts and response files on disk are read in
// this process.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "platform/CmdLine.h"
#include "tests/platform/CmdLineView.h"
#include "support/ChildProcess.h"
#include "support/CodePage.h"
#include "support/ScratchHive.h"
#include "support/TempDir.h"
#include "support/TestMachine.h"

namespace {

const char kSettingsKey[] = "SOFTWARE\\Oberan\\Vantreel\\CurrentVersion";

std::string ProbePath() { return TestFolder() + "\\sing_cmdline_probe.exe"; }

struct ProbeRun {
    std::string exe = ProbePath();
    std::string commandLine = "sing_cmdline_probe.exe";
    std::string workingDir;  // empty: the test's own
    const ScratchHive* hive = nullptr;
    bool profile = false;  // also print the user profile
};

// The fields the probe printed; "error" when it did not run.
std::map<std::string, std::string> RunProbe(const ProbeRun& r) {
    SetEnvironmentVariableA("SING_PROBE_HIVE", r.hive ? r.hive->RootPath().c_str() : nullptr);
    SetEnvironmentVariableA("SING_PROBE_PROFILE", r.profile ? "1" : nullptr);
    std::string out = RunChild(Wide(r.exe), Wide(r.commandLine), Wide(r.workingDir));
    std::map<std::string, std::string> fields;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
        if (size_t eq = line.find('='); eq != std::string::npos)
            fields[line.substr(0, eq)] = line.substr(eq + 1);
    if (fields.empty())
        fields["error"] = "no output";
    return fields;
}

std::string CopyProbe(const std::string& dir, const std::string& name) {
    std::string to = dir + "\\" + name;
    EXPECT_TRUE(CopyFileW(Wide(ProbePath()).c_str(), Wide(to).c_str(), FALSE)) << to;
    return to;
}

}  // namespace

// Also the probe as a program whose quoted path has a space; the option
// wins over the registry, is kept as given and leaves the log directory alone.
TEST(CmdLineHost, DirectoriesOptionsAndTheProfileFound) {
    TempDir tmp;
    std::string dir = tmp.MakeDir("Host Folder"), byOption = tmp.MakeDir("option-dir");
    std::string byRegistry = tmp.MakeDir("registry");
    tmp.Write("option-dir\\kmzuser.ini", "[LOCATION]\nCITY=FromOption\n");
    tmp.Write("registry\\kmzuser.ini", "[LOCATION]\nCITY=FromRegistry\n");
    ScratchHive hive;
    hive.SetString(kSettingsKey, "Data", byRegistry);
    hive.SetString(kSettingsKey, "LogDir", "L:\\logs");
    ProbeRun r;
    r.exe = CopyProbe(dir, "host.exe");
    r.workingDir = tmp.Path();
    r.hive = &hive;
    r.profile = true;
    r.commandLine = "\"" + r.exe + "\" /N:x /NDP:\"" + byOption + "\" /INIT";
    auto f = RunProbe(r);
    ASSERT_EQ(f.count("error"), 0u) << f["error"];
    EXPECT_EQ(f["argText"], r.commandLine.substr(r.exe.size() + 2));
    EXPECT_EQ(f["start"], tmp.Path() + "\\");
    EXPECT_EQ(f["module"], dir + "\\");
    EXPECT_EQ(f["data"] + "|" + f["log"] + "|" + f["profile.CITY"], byOption + "|L:\\logs\\|FromOption");
    EXPECT_EQ(f["N"] + " " + f["flags"], "x 1010");
}

// Setup in this process: the registry's Data, else the executable's folder.
TEST(CmdLineHost, SetupFallsBackToTheExecutablesFolder) {
    ScratchHive hive;
    EXPECT_EQ(std::string(CmdLine(1).GetDataDir()), TestFolder() + "\\");
    hive.SetString(kSettingsKey, "Data", "D:\\data");
    EXPECT_EQ(std::string(CmdLine(1).GetDataDir()), "D:\\data\\");
}

TEST(CmdLineHost, TextHandedOverThroughAGlobalAtom) {
    ATOM atom = GlobalAddAtomA("host /NDP:Z:\\atom /MANAGER /N:from-atom");
    ASSERT_NE(atom, 0);
    ProbeRun r;
    r.commandLine = "probe /N:own /XCL:" + std::to_string(atom);
    auto f = RunProbe(r);
    EXPECT_EQ(f["data"] + "|" + f["N"] + "|" + f["flags"], "Z:\\atom|from|1100") << f["error"];
    EXPECT_EQ(f["argText"], " /NDP:Z:\\atom /MANAGER /N:from-atom");
    GlobalDeleteAtom(atom);
    f = RunProbe(r);  // atom gone: the command line itself is parsed
    EXPECT_EQ(f["N"] + "|" + f["flags"], "own|1000");
}

// Names relative to the working directory, nested files, a file naming
// itself, and the size limit at and one byte past.
TEST(CmdLineFiles, ResponseFilesOnDisk) {
    TempDir tmp;
    tmp.Write("inner.rsp", "/MN:inner\r\n");
    tmp.Write("opts.rsp", "/L:first\r\n/S:second\t@inner.rsp\r\n-R:third /GN:file\r\n");
    tmp.Write("self.rsp", "/UID:once @self.rsp");
    std::string limit = "/UID:limit", over = "/UID:over";
    limit.resize(CmdLine::kMaxResponseFileBytes, ' ');
    over.resize(CmdLine::kMaxResponseFileBytes + 1, ' ');
    tmp.Write("limit.rsp", limit);
    tmp.Write("over.rsp", over);
    const std::pair<std::string, std::string> cases[] = {
        {"/L:before /GN:before @\"" + tmp.Path() + "\\opts.rsp\" /S:after", "L=first|R=third|S=after|MN=inner|GN=file|flags=0000|"},
        {"@self.rsp", "UID=once|flags=0001|"},
        {"@limit.rsp", "UID=limit|flags=0000|"},
        {"@over.rsp /L:after", "L=after|flags=0001|"},
    };
    char saved[MAX_PATH];
    GetCurrentDirectoryA(sizeof saved, saved);
    ASSERT_TRUE(SetCurrentDirectoryA(tmp.Path().c_str()));
    for (const auto& [text, kept] : cases) {
        CmdLineView c(0);
        c.Parse(text.c_str());
        EXPECT_EQ(c.Kept(), kept) << text;
    }
    SetCurrentDirectoryA(saved);
}

// Run by the test "test_cmdline_dbcs" in a process with code page 932.
TEST(CmdLineHost, DoubleByteExecutablePathAndRegistryValue) {
    if (std::string why = NotDoubleByteCodePage(); !why.empty())
        GTEST_SKIP() << why;
    const std::string dbcs = "\x95\\";  // one character whose second byte is '\'
    TempDir tmp;
    ScratchHive hive;
    hive.SetString(kSettingsKey, "Data", "D:\\" + dbcs);
    hive.SetString(kSettingsKey, "LogDir", "L:\\" + dbcs + "\\");
    ProbeRun r;
    r.exe = CopyProbe(tmp.Path(), dbcs + "probe.exe");
    r.hive = &hive;
    auto f = RunProbe(r);
    EXPECT_EQ(f["module"] + "|" + f["data"] + "|" + f["log"],
              tmp.Path() + "\\|D:\\" + dbcs + "\\|L:\\" + dbcs + "\\") << f["error"];
}

TEST(CmdLineSettings, RegistryValuesAsDirectories) {
    ScratchHive hive;
    EXPECT_EQ(QueryDataDir(), nullptr);  // no key
    hive.SetString(kSettingsKey, "LogDir", "L:\\log\\");
    EXPECT_EQ(std::string(QueryLogDir().get()), "L:\\log\\");
    const std::string longest = "D:\\" + std::string(252, 'x');  // 255 characters
    struct Case {
        std::string value;
        DWORD type, size;  // size 0: the text with its NUL
        std::string expected;
    };
    const Case cases[] = {
        {"D:\\r", REG_SZ, 4, "D:\\r\\"},  // stored without a terminator
        {longest, REG_SZ, 0, longest + "\\"},
        {longest + "y", REG_SZ, 0, "(none)"},
        {"", REG_SZ, 0, "(none)"},
        {"D:\\exp", REG_EXPAND_SZ, 0, "(none)"},
    };
    for (const Case& c : cases) {
        hive.SetRaw(kSettingsKey, "Data", c.type, c.value.c_str(), c.size ? c.size : DWORD(c.value.size() + 1));
        OwnedText dir = QueryDataDir();
        EXPECT_EQ(dir ? std::string(dir.get()) : "(none)", c.expected) << c.value;
    }
}

// A command line near the 32 767-character limit of CreateProcess: a long
// value in an unterminated quote.
TEST(CmdLineHost, CommandLinesOf32KCharacters) {
    ProbeRun r;
    r.commandLine = "probe /L:\"" + std::string(32000, 'q');
    auto f = RunProbe(r);
    EXPECT_EQ(f["L"], std::string(32000, 'q')) << f["error"];
}
