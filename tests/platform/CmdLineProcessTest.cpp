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

// The fields the probe printed ("error" when it did not run); `exe` a copy of
// the probe made under that name in `dir`, else the probe itself.
std::map<std::string, std::string> RunProbe(const std::string& commandLine, const ScratchHive* hive = nullptr,
                                            const std::string& dir = "", const std::string& exe = "",
                                            const std::string& workingDir = "", bool profile = false) {
    const std::string probe = TestFolder() + "\\sing_cmdline_probe.exe", path = dir + "\\" + exe;
    EXPECT_TRUE(exe.empty() || CopyFileW(Wide(probe).c_str(), Wide(path).c_str(), FALSE)) << path;
    SetEnvironmentVariableA("SING_PROBE_HIVE", hive ? hive->RootPath().c_str() : nullptr);
    SetEnvironmentVariableA("SING_PROBE_PROFILE", profile ? "1" : nullptr);
    std::istringstream lines(RunChild(Wide(exe.empty() ? probe : path), Wide(commandLine), Wide(workingDir)));
    std::map<std::string, std::string> fields;
    for (std::string line; std::getline(lines, line);)
        if (size_t eq = line.find('='); eq != std::string::npos)
            fields[line.substr(0, eq)] = line.substr(eq + 1);
    if (fields.empty())
        fields["error"] = "no output";
    return fields;
}

}  // namespace

// The probe as a program whose quoted path has a space; the option wins over
// the registry, is kept as given and leaves the log directory alone.
TEST(CmdLineHost, DirectoriesOptionsAndTheProfileFound) {
    TempDir tmp;
    std::string dir = tmp.MakeDir("Host Folder"), byOption = tmp.MakeDir("option-dir");
    tmp.MakeDir("registry");
    tmp.Write("option-dir\\kmzuser.ini", "[LOCATION]\nCITY=FromOption\n");
    tmp.Write("registry\\kmzuser.ini", "[LOCATION]\nCITY=FromRegistry\n");
    ScratchHive hive;
    hive.SetString(kSettingsKey, "Data", tmp.Path() + "\\registry");
    hive.SetString(kSettingsKey, "LogDir", "L:\\logs");
    const std::string args = " /N:x /NDP:\"" + byOption + "\" /INIT";
    auto f = RunProbe("\"" + dir + "\\host.exe\"" + args, &hive, dir, "host.exe", tmp.Path(), true);
    EXPECT_EQ(f["argText"] + "|" + f["start"] + "|" + f["module"], args + "|" + tmp.Path() + "\\|" + dir + "\\") << f["error"];
    EXPECT_EQ(f["data"] + "|" + f["log"] + "|" + f["profile.CITY"], byOption + "|L:\\logs\\|FromOption");
    EXPECT_EQ(f["N"] + " " + f["flags"], "x 1010");
}

// Handed over through a global atom; once the atom is gone, the command line
// itself, also one near the 32 767-character limit of CreateProcess.
TEST(CmdLineHost, TextHandedOverThroughAGlobalAtom) {
    ATOM atom = GlobalAddAtomA("host /NDP:Z:\\atom /MANAGER /N:from-atom");
    ASSERT_NE(atom, 0);
    const std::string own = "probe /N:own /XCL:" + std::to_string(atom) + " /L:\"" + std::string(32000, 'q');
    auto f = RunProbe(own);
    EXPECT_EQ(f["data"] + "|" + f["N"] + "|" + f["flags"] + "|" + f["L"], "Z:\\atom|from|1100|") << f["error"];
    EXPECT_EQ(f["argText"], " /NDP:Z:\\atom /MANAGER /N:from-atom");
    GlobalDeleteAtom(atom);
    f = RunProbe(own);
    EXPECT_EQ(f["N"] + "|" + f["flags"] + "|" + f["L"], "own|1000|" + std::string(32000, 'q'));
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
    auto f = RunProbe("sing_cmdline_probe.exe", &hive, tmp.Path(), dbcs + "probe.exe");
    EXPECT_EQ(f["module"] + "|" + f["data"] + "|" + f["log"],
              tmp.Path() + "\\|D:\\" + dbcs + "\\|L:\\" + dbcs + "\\") << f["error"];
}

// Setup in this process: the registry's Data, else the executable's folder;
// the settings values as directories.
TEST(CmdLineSettings, RegistryValuesAsDirectories) {
    ScratchHive hive;
    EXPECT_EQ(QueryDataDir(), nullptr);  // no key
    EXPECT_EQ(std::string(CmdLine(1).GetDataDir()), TestFolder() + "\\");
    hive.SetString(kSettingsKey, "LogDir", "L:\\log\\");
    EXPECT_EQ(std::string(QueryLogDir().get()), "L:\\log\\");
    const std::string longest = "D:\\" + std::string(252, 'x');  // 255 characters
    const std::tuple<std::string, DWORD, DWORD, std::string> cases[] = {
        // value, type, size (0: the text with its NUL), the directory
        {"D:\\r", REG_SZ, 4, "D:\\r\\"},  // stored without a terminator
        {longest, REG_SZ, 0, longest + "\\"},
        {longest + "y", REG_SZ, 0, "(none)"},
        {"", REG_SZ, 0, "(none)"},
        {"D:\\exp", REG_EXPAND_SZ, 0, "(none)"},
    };
    for (const auto& [value, type, size, expected] : cases) {
        hive.SetRaw(kSettingsKey, "Data", type, value.c_str(), size ? size : DWORD(value.size() + 1));
        OwnedText dir = QueryDataDir();
        EXPECT_EQ(dir ? std::string(dir.get()) : "(none)", expected) << value;
    }
    hive.SetString(kSettingsKey, "Data", "D:\\data");
    EXPECT_EQ(std::string(CmdLine(1).GetDataDir()), "D:\\data\\");
}

// Names relative to the working directory, nested files, a file naming
// itself, and the size limit at and one byte past.
TEST(CmdLineFiles, ResponseFilesOnDisk) {
    TempDir tmp;
    tmp.Write("inner.rsp", "/MN:inner\r\n");
    tmp.Write("opts.rsp", "/L:first\r\n/S:second\t@inner.rsp\r\n-R:third /GN:file\r\n");
    tmp.Write("self.rsp", "/UID:once @self.rsp");
    tmp.Write("limit.rsp", "/UID:limit" + std::string(CmdLine::kMaxResponseFileBytes - 10, ' '));
    tmp.Write("over.rsp", "/UID:over" + std::string(CmdLine::kMaxResponseFileBytes - 8, ' '));
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
