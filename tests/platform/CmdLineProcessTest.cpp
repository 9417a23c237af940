// CmdLine as a host process sees it: the probe program runs as a child with a
// crafted command line, working directory, global atom and scratch hive.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "platform/CmdLine.h"
#include "support/ChildProcess.h"
#include "support/CodePage.h"
#include "support/ScratchHive.h"
#include "support/TempDir.h"

namespace {

const char kSettingsKey[] = "SOFTWARE\\Oberan\\Vantreel\\CurrentVersion";

std::string TestFolder() {
    char path[MAX_PATH];
    std::string p(path, GetModuleFileNameA(nullptr, path, sizeof path));
    return p.substr(0, p.find_last_of('\\'));
}

std::string ProbePath() { return TestFolder() + "\\sing_cmdline_probe.exe"; }

// Wide, so that names are converted in this test's own code page.
std::wstring Wide(const std::string& s) {
    std::wstring w(s.size(), L'\0');
    w.resize(MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), static_cast<int>(w.size())));
    return w;
}

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

// Also the probe as a program whose quoted path has a space.
TEST(CmdLineHost, OptionsFromTheCommandLine) {
    TempDir tmp;
    std::string dir = tmp.MakeDir("Host Folder");
    ProbeRun r;
    r.exe = CopyProbe(dir, "host.exe");
    r.workingDir = tmp.Path();
    r.commandLine = "\"" + r.exe + "\" /N:IPX:123456789:00C0FFEE -n2:\"ipx:12-456789:\" /N3:IPX:12345678: -uid:ab-cd "
                    "/L /R: /s:first /S:second /MANAGER:no /l:\"say \"\"hi\"\"\" /NDP:\"Q:\\quoted dir\"";
    auto f = RunProbe(r);
    ASSERT_EQ(f.count("error"), 0u) << f["error"];
    EXPECT_EQ(f["nValue"], "IPX:123456789.00C0FFEE");
    EXPECT_EQ(f["n2Value"], "ipx:12-456789.");  // 14 characters: changed
    EXPECT_EQ(f["n3Value"], "IPX:12345678:");  // 13: unchanged
    EXPECT_EQ(f["uidValue"], "ab");            // cut at the hyphen
    EXPECT_EQ(f["lValue"], "say \"hi\"");      // "/L" without a value stored nothing
    EXPECT_EQ(f["rValue"] + "|" + f["sValue"] + "|" + f["dataDir"], "|second|Q:\\quoted dir");
    EXPECT_EQ(f["nGiven"] + f["managerFlag"] + f["initFlag"], "110");
    EXPECT_EQ(f["argText"], r.commandLine.substr(r.exe.size() + 2));
    EXPECT_EQ(f["startDir"], tmp.Path() + "\\");
    EXPECT_EQ(f["moduleDir"], dir + "\\");
}

TEST(CmdLineHost, DataDirectoryPrecedenceAndTheProfileItFinds) {
    TempDir tmp;
    std::string byOption = tmp.MakeDir("option"), byRegistry = tmp.MakeDir("registry");
    tmp.Write("option\\kmzuser.ini", "[LOCATION]\nCITY=FromOption\n");
    tmp.Write("registry\\kmzuser.ini", "[LOCATION]\nCITY=FromRegistry\n");
    ScratchHive hive;
    hive.CreateKey(kSettingsKey);
    ProbeRun r;
    r.hive = &hive;
    r.profile = true;
    auto f = RunProbe(r);  // nothing set: the executable's folder
    EXPECT_EQ(f["dataDir"] + "|" + f["logDir"] + "|" + f["profile.CITY"],
              TestFolder() + "\\|" + TestFolder() + "\\|(null)") << f["error"];
    hive.SetString(kSettingsKey, "Data", byRegistry);
    f = RunProbe(r);
    EXPECT_EQ(f["dataDir"] + "|" + f["logDir"] + "|" + f["profile.CITY"],
              byRegistry + "\\|" + byRegistry + "\\|FromRegistry");
    // The option wins, is kept as given and leaves the log directory alone.
    hive.SetString(kSettingsKey, "LogDir", "L:\\logs");
    r.commandLine = "probe /NDP:\"" + byOption + "\" /INIT";
    f = RunProbe(r);
    EXPECT_EQ(f["dataDir"] + "|" + f["logDir"] + "|" + f["profile.CITY"], byOption + "|L:\\logs\\|FromOption");
    EXPECT_EQ(f["initFlag"], "1");
}

TEST(CmdLineHost, TextHandedOverThroughAGlobalAtom) {
    ATOM atom = GlobalAddAtomA("host /NDP:Z:\\atom /MANAGER /N:from-atom");
    ASSERT_NE(atom, 0);
    ProbeRun r;
    r.commandLine = "probe /N:own /XCL:" + std::to_string(atom);
    auto f = RunProbe(r);
    EXPECT_EQ(f["dataDir"] + "|" + f["managerFlag"] + "|" + f["nValue"], "Z:\\atom|1|from") << f["error"];
    EXPECT_EQ(f["argText"], " /NDP:Z:\\atom /MANAGER /N:from-atom");
    GlobalDeleteAtom(atom);
    f = RunProbe(r);  // atom gone: the command line itself is parsed
    EXPECT_EQ(f["nValue"] + "|" + f["managerFlag"], "own|0");
}

TEST(CmdLineHost, ResponseFilesOnDisk) {
    TempDir tmp;
    tmp.Write("inner.rsp", "/MN:inner\r\n");
    tmp.Write("opts.rsp", "/L:first\r\n/S:second\t@inner.rsp\r\n-R:third /GN:file\r\n");
    tmp.Write("self.rsp", "/UID:once @self.rsp");
    tmp.Write("huge.rsp", "/UID:huge " + std::string(CmdLine::kMaxResponseFileBytes, ' '));
    ProbeRun r;
    r.workingDir = tmp.Path();
    r.commandLine = "probe /L:before /GN:before @\"" + tmp.Path() + "\\opts.rsp\" /S:after";
    auto f = RunProbe(r);
    EXPECT_EQ(f["lValue"] + f["sValue"] + f["mnValue"] + f["rValue"] + f["gnValue"] + f["responseFileError"],
              "firstafterinnerthirdfile0") << f["error"];
    r.commandLine = "probe @self.rsp @huge.rsp";
    f = RunProbe(r);
    EXPECT_EQ(f["uidValue"] + f["responseFileError"], "once1") << f["error"];
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
    EXPECT_EQ(f["moduleDir"] + "|" + f["dataDir"] + "|" + f["logDir"],
              tmp.Path() + "\\|D:\\" + dbcs + "\\|L:\\" + dbcs + "\\") << f["error"];
}

TEST(CmdLineSettings, RegistryValuesAsDirectories) {
    ScratchHive hive;
    EXPECT_EQ(QueryDataDir(), nullptr);  // no key
    hive.SetString(kSettingsKey, "LogDir", "L:\\log\\");
    EXPECT_STREQ(QueryLogDir().get(), "L:\\log\\");
    std::string longest = "D:\\" + std::string(252, 'x');  // 255 characters
    const char raw[] = {'D', ':', '\\', 'r'};                // stored without a terminator
    hive.SetRaw(kSettingsKey, "Data", REG_SZ, raw, sizeof raw);
    EXPECT_STREQ(QueryDataDir().get(), "D:\\r\\");
    hive.SetString(kSettingsKey, "Data", longest);
    EXPECT_STREQ(QueryDataDir().get(), (longest + "\\").c_str());
    for (auto [value, type] : {std::pair{longest + "y", REG_SZ}, {"", REG_SZ}, {"D:\\exp", REG_EXPAND_SZ}}) {
        hive.SetString(kSettingsKey, "Data", value, type);
        EXPECT_EQ(QueryDataDir(), nullptr) << value;
    }
}

// Command lines near the 32 767-character limit of CreateProcess: a long
// value in an unterminated quote, many options.
TEST(CmdLineHost, CommandLinesOf32KCharacters) {
    ProbeRun r;
    r.commandLine = "probe /L:\"" + std::string(32000, 'q');
    auto f = RunProbe(r);
    EXPECT_EQ(f["lValue"], std::string(32000, 'q')) << f["error"];
    r.commandLine = "probe";
    while (r.commandLine.size() < 32000)
        r.commandLine += " /S:v -N:IPX:1:2 @";  // "@" alone names no response file
    f = RunProbe(r);
    EXPECT_EQ(f["sValue"] + f["nValue"] + f["responseFileError"], "vIPX:1:21") << f["error"];
}
