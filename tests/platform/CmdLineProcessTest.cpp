// CmdLine as a host process sees it: the probe program runs as a child with a
// crafted command line, working directory, response files, global atom and
// scratch hive. The settings values alone are read in this process.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/CmdLine.h"
#include "support/ChildProcess.h"
#include "support/CodePage.h"
#include "support/ScratchHive.h"
#include "support/TempDir.h"
#include "support/TestMachine.h"

namespace {

const char kSettingsKey[] = "SOFTWARE\\Oberan\\Vantreel\\CurrentVersion";

// What a copy of the probe made at `path` printed, run with `commandLine` in
// `workingDir` and HKLM redirected to `hive`.
std::string RunProbe(const std::string& path, const std::string& commandLine, const ScratchHive& hive,
                     const std::string& workingDir) {
    const std::string probe = TestFolder() + "\\sing_cmdline_probe.exe";
    EXPECT_TRUE(CopyFileW(Wide(probe).c_str(), Wide(path).c_str(), FALSE)) << path;
    SetEnvironmentVariableA("SING_PROBE_HIVE", hive.RootPath().c_str());
    return RunChild(Wide(path), Wide(commandLine), Wide(workingDir));
}

}  // namespace

// The probe as a program whose quoted path has a space, run twice with one
// command line. First a global atom hands over the text to parse: its
// options win over the registry's Data (in the profile found too) and leave
// the log directory alone. Then, the atom gone, the command line itself, one
// near the 32 767-character limit of CreateProcess, and the registry's Data.
// Its response files on disk: a full path naming a relative nested file, and
// relative names of exactly 1 MiB (read) and one byte more (refused, flagged).
TEST(CmdLineHost, AtomTextThenTheCommandLineOverTheRegistry) {
    TempDir tmp;
    const std::string dir = tmp.MakeDir("Host Folder"), byOption = tmp.MakeDir("option-dir");
    const std::string byRegistry = tmp.MakeDir("registry");
    tmp.Write("option-dir\\kmzuser.ini", "[LOCATION]\nCITY=FromOption\n");
    tmp.Write("registry\\kmzuser.ini", "[LOCATION]\nCITY=FromRegistry\n");
    tmp.Write("inner.rsp", "/MN:inner\r\n");
    tmp.Write("opts.rsp", "/L:first\r\n/S:second\t@inner.rsp\r\n-R:third /GN:file\r\n");
    tmp.Write("limit.rsp", "/UID:limit" + std::string(CmdLine::kMaxResponseFileBytes - 10, ' '));
    tmp.Write("over.rsp", "/UID:over" + std::string(CmdLine::kMaxResponseFileBytes - 8, ' '));
    ScratchHive hive;
    hive.SetString(kSettingsKey, "Data", byRegistry);
    hive.SetString(kSettingsKey, "LogDir", "L:\\logs");
    const std::string handedOver = " /N:x /NDP:\"" + byOption + "\" /INIT";
    const ATOM atom = GlobalAddAtomA(("host" + handedOver).c_str());
    ASSERT_NE(atom, 0);
    const std::string q(32000, 'q'), args = " /N:own /XCL:" + std::to_string(atom) + " -MANAGER /GN:before @\"" +
                                             tmp.Path() + "\\opts.rsp\" /S:after @limit.rsp @over.rsp /L:\"" + q;
    const std::string program = dir + "\\host.exe", dirs = "start=" + tmp.Path() + "\\\nmodule=" + dir + "\\\n";
    EXPECT_EQ(RunProbe(program, "\"" + program + "\"" + args, hive, tmp.Path()),
              dirs + "data=" + byOption + "\nlog=L:\\logs\\\nN=x\nargText=" + handedOver +
                  "\nflags=1010\nprofile.CITY=FromOption\n");
    GlobalDeleteAtom(atom);
    EXPECT_EQ(RunProbe(program, "\"" + program + "\"" + args, hive, tmp.Path()),
              dirs + "data=" + byRegistry + "\\\nlog=L:\\logs\\\nN=own\nL=" + q +
                  "\nR=third\nS=after\nUID=limit\nMN=inner\nGN=file\nargText=" + args +
                  "\nflags=1101\nprofile.CITY=FromRegistry\n");
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
    EXPECT_EQ(RunProbe(tmp.Path() + "\\" + dbcs + "probe.exe", "probe.exe", hive, tmp.Path()),
              "start=" + tmp.Path() + "\\\nmodule=" + tmp.Path() + "\\\ndata=D:\\" + dbcs + "\\\nlog=L:\\" + dbcs +
                  "\\\nargText=\nflags=0000\n");
}

// The settings values as directories, with the backslash they get.
TEST(CmdLineSettings, RegistryValuesAsDirectories) {
    ScratchHive hive;
    EXPECT_EQ(QueryDataDir(), nullptr);  // no key
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
}
