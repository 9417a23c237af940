// CmdLine as a host process sees it: the probe program runs as a child with a
// crafted command line, working directory, global atom and scratch hive, and
// prints the fields it parsed.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

#include "platform/CmdLine.h"
#include "platform/Handles.h"
#include "support/ScratchHive.h"
#include "support/TempDir.h"

namespace {

const char kSettingsKey[] = "SOFTWARE\\Oberan\\Vantreel\\CurrentVersion";

std::string TestFolder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string p(path, n);
    return p.substr(0, p.find_last_of('\\'));
}

std::string ProbePath() { return TestFolder() + "\\sing_cmdline_probe.exe"; }

std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            out += static_cast<char>(std::strtoul(s.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::wstring Wide(const std::string& s) {
    std::wstring w(s.size(), L'\0');
    int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), static_cast<int>(w.size()));
    w.resize(n > 0 ? n : 0);
    return w;
}

struct ProbeRun {
    std::string exe = ProbePath();
    std::string commandLine = "sing_cmdline_probe.exe";
    std::string workingDir;        // empty: the test's own
    const ScratchHive* hive = nullptr;
    bool profile = false;  // also update the user profile gatherer
};

// Fields the probe printed; "error" holds why the run failed.
std::map<std::string, std::string> RunProbe(const ProbeRun& r) {
    std::map<std::string, std::string> fields;
    SetEnvironmentVariableA("SING_PROBE_HIVE", r.hive ? r.hive->RootPath().c_str() : nullptr);
    SetEnvironmentVariableA("SING_PROBE_PROFILE", r.profile ? "1" : nullptr);
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) {
        fields["error"] = "no pipe";
        return fields;
    }
    ScopedHandle reader(readEnd), writer(writeEnd);
    SetHandleInformation(reader.Get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writer.Get();
    si.hStdError = writer.Get();
    PROCESS_INFORMATION pi{};
    // Wide, so that the names are converted in the code page of this test.
    std::wstring exe = Wide(r.exe), cmd = Wide(r.commandLine), cwd = Wide(r.workingDir);
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        cwd.empty() ? nullptr : cwd.c_str(), &si, &pi)) {
        fields["error"] = "cannot start " + r.exe + ": " + std::to_string(GetLastError());
        SetEnvironmentVariableA("SING_PROBE_HIVE", nullptr);
        return fields;
    }
    ScopedHandle process(pi.hProcess), thread(pi.hThread);
    writer.Reset();
    std::string out;
    char buf[512];
    DWORD got = 0;
    while (ReadFile(reader.Get(), buf, sizeof buf, &got, nullptr) && got > 0)
        out.append(buf, got);
    WaitForSingleObject(process.Get(), 30000);
    SetEnvironmentVariableA("SING_PROBE_HIVE", nullptr);
    size_t start = 0;
    while (start < out.size()) {
        size_t end = out.find('\n', start);
        std::string line = out.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t eq = line.find('=');
        if (eq != std::string::npos)
            fields[line.substr(0, eq)] = Unescape(line.substr(eq + 1));
        start = end == std::string::npos ? out.size() : end + 1;
    }
    if (fields.empty())
        fields["error"] = "no output: " + out;
    return fields;
}

// Copies the probe to `dir` under `name`.
std::string CopyProbe(const std::string& dir, const std::string& name) {
    std::string to = dir + "\\" + name;
    EXPECT_TRUE(CopyFileW(LongPath(ProbePath()).c_str(), LongPath(to).c_str(), FALSE)) << to;
    return to;
}

}  // namespace

TEST(CmdLineHost, OptionsFromTheCommandLine) {
    TempDir tmp;
    ProbeRun r;
    r.workingDir = tmp.Path();
    r.commandLine = "sing_cmdline_probe.exe /N:IPX:123456789:00C0FFEE -uid:ab-cd /UID2 -n2:\"x-y\" /INIT "
                    "/l:\"say \"\"hi\"\"\" plain";
    auto f = RunProbe(r);
    ASSERT_EQ(f.count("error"), 0u) << f["error"];
    EXPECT_EQ(f["nValue"], "IPX:123456789.00C0FFEE");
    EXPECT_EQ(f["n2Value"], "x-y");
    EXPECT_EQ(f["uidValue"], "ab");
    EXPECT_EQ(f["lValue"], "say \"hi\"");
    EXPECT_EQ(f["nGiven"], "1");
    EXPECT_EQ(f["initFlag"], "1");
    EXPECT_EQ(f["managerFlag"], "0");
    EXPECT_EQ(f["argText"], r.commandLine.substr(r.commandLine.find(' ')));
    EXPECT_EQ(f["startDir"], tmp.Path() + "\\");
    EXPECT_EQ(f["moduleDir"], TestFolder() + "\\");
    // No host settings: data and log directory are the executable's folder.
    EXPECT_EQ(f["dataDir"], TestFolder() + "\\");
    EXPECT_EQ(f["logDir"], TestFolder() + "\\");

    // A drive root stays as it is.
    r.workingDir = "C:\\";
    r.commandLine = "probe";
    f = RunProbe(r);
    EXPECT_EQ(f["startDir"], "C:\\");
    EXPECT_EQ(f["argText"], "");
}

TEST(CmdLineHost, DataDirectoryPrecedence) {
    ScratchHive hive;
    ProbeRun r;
    r.hive = &hive;
    hive.CreateKey(kSettingsKey);
    auto f = RunProbe(r);
    EXPECT_EQ(f["dataDir"], TestFolder() + "\\") << f["error"];

    hive.SetString(kSettingsKey, "Data", "D:\\data");
    f = RunProbe(r);
    EXPECT_EQ(f["dataDir"], "D:\\data\\") << f["error"];
    EXPECT_EQ(f["logDir"], "D:\\data\\");

    hive.SetString(kSettingsKey, "LogDir", "L:\\logs\\");
    r.commandLine = "probe /NDP:E:\\nd /INIT";
    f = RunProbe(r);
    EXPECT_EQ(f["dataDir"], "E:\\nd");
    EXPECT_EQ(f["logDir"], "L:\\logs\\");
    EXPECT_EQ(f["initFlag"], "1");
}

TEST(CmdLineHost, UserProfileFollowsTheDataDirectory) {
    TempDir tmp;
    std::string byOption = tmp.MakeDir("option"), byRegistry = tmp.MakeDir("registry");
    tmp.Write("option\\kmzuser.ini", "[LOCATION]\nCITY=FromOption\n");
    tmp.Write("registry\\kmzuser.ini", "[LOCATION]\nCITY=FromRegistry\n");
    ScratchHive hive;
    hive.SetString(kSettingsKey, "Data", byRegistry);
    ProbeRun r;
    r.hive = &hive;
    r.profile = true;
    auto f = RunProbe(r);
    EXPECT_EQ(f["profile.CITY"], "FromRegistry") << f["error"];
    // No separator at the end of the option's value: the join adds one.
    // (Quoted: the temporary folder's name holds hyphens.)
    r.commandLine = "probe /NDP:\"" + byOption + "\"";
    f = RunProbe(r);
    EXPECT_EQ(f["dataDir"], byOption);
    EXPECT_EQ(f["profile.CITY"], "FromOption");
}

TEST(CmdLineHost, TextHandedOverThroughAGlobalAtom) {
    ATOM atom = GlobalAddAtomA("host /NDP:Z:\\atom /MANAGER /N:from-atom");
    ASSERT_NE(atom, 0);
    ProbeRun r;
    r.commandLine = "probe /N:own /XCL:" + std::to_string(atom);
    auto f = RunProbe(r);
    EXPECT_EQ(f["dataDir"], "Z:\\atom") << f["error"];
    EXPECT_EQ(f["managerFlag"], "1");
    EXPECT_EQ(f["nValue"], "from");
    EXPECT_EQ(f["argText"], " /NDP:Z:\\atom /MANAGER /N:from-atom");
    GlobalDeleteAtom(atom);

    // Atom gone: the command line itself is parsed, "/XCL:" included.
    f = RunProbe(r);
    EXPECT_EQ(f["nValue"], "own");
    EXPECT_EQ(f["managerFlag"], "0");
    EXPECT_EQ(f["dataDir"], TestFolder() + "\\");
}

TEST(CmdLineHost, ResponseFilesOnDisk) {
    TempDir tmp;
    tmp.Write("inner.rsp", "/MN:inner\r\n");
    tmp.Write("opts.rsp", "/L:first\r\n/S:second\t@inner.rsp\r\n-R:third\r\n");
    tmp.Write("self.rsp", "/GN:once @self.rsp");
    tmp.Write("huge.rsp", "/UID:huge " + std::string(CmdLine::kMaxResponseFileBytes, ' '));
    ProbeRun r;
    r.workingDir = tmp.Path();
    r.commandLine = "probe /L:before @\"" + tmp.Path() + "\\opts.rsp\" /S:after";
    auto f = RunProbe(r);
    EXPECT_EQ(f["lValue"], "first") << f["error"];
    EXPECT_EQ(f["mnValue"], "inner");
    EXPECT_EQ(f["rValue"], "third");
    EXPECT_EQ(f["sValue"], "after");
    EXPECT_EQ(f["responseFileError"], "0");

    r.commandLine = "probe @self.rsp @huge.rsp";
    f = RunProbe(r);
    EXPECT_EQ(f["gnValue"], "once") << f["error"];
    EXPECT_EQ(f["uidValue"], "(null)");
    EXPECT_EQ(f["responseFileError"], "1");
}

TEST(CmdLineHost, QuotedProgramPathWithASpace) {
    TempDir tmp;
    std::string dir = tmp.MakeDir("Host Folder");
    std::string exe = CopyProbe(dir, "host.exe");
    ProbeRun r;
    r.exe = exe;
    r.commandLine = "\"" + exe + "\" /N:x /NDP:\"Q:\\quoted dir\"";
    auto f = RunProbe(r);
    EXPECT_EQ(f["moduleDir"], dir + "\\") << f["error"];
    EXPECT_EQ(f["nValue"], "x");
    EXPECT_EQ(f["dataDir"], "Q:\\quoted dir");
    EXPECT_EQ(f["argText"], " /N:x /NDP:\"Q:\\quoted dir\"");
}

TEST(CmdLineHost, DoubleByteExecutablePathAndRegistryValue) {
    if (!IsDBCSLeadByte(0x95)) {
        if (GetEnvironmentVariableA("SING_EXPECT_DBCS", nullptr, 0) != 0)
            ADD_FAILURE() << "expected a double-byte ANSI code page, got " << GetACP();
        GTEST_SKIP() << "needs a double-byte ANSI code page (code page " << GetACP() << ")";
    }
    // 0x95 0x5C is one character whose second byte is a backslash.
    const std::string dbcs = "\x95\\";
    TempDir tmp;
    std::string exe = CopyProbe(tmp.Path(), dbcs + "probe.exe");
    ScratchHive hive;
    hive.SetString(kSettingsKey, "Data", "D:\\" + dbcs);
    hive.SetString(kSettingsKey, "LogDir", "L:\\" + dbcs + "\\");
    ProbeRun r;
    r.exe = exe;
    r.hive = &hive;
    auto f = RunProbe(r);
    EXPECT_EQ(f["moduleDir"], tmp.Path() + "\\") << f["error"];
    EXPECT_EQ(f["dataDir"], "D:\\" + dbcs + "\\");
    EXPECT_EQ(f["logDir"], "L:\\" + dbcs + "\\");
}

TEST(CmdLineSettings, RegistryValuesAsDirectories) {
    ScratchHive hive;
    EXPECT_EQ(QueryDataDir(), nullptr);  // no key
    hive.SetString(kSettingsKey, "Data", "D:\\data");
    hive.SetString(kSettingsKey, "LogDir", "L:\\log\\");
    EXPECT_STREQ(QueryDataDir().get(), "D:\\data\\");
    EXPECT_STREQ(QueryLogDir().get(), "L:\\log\\");

    std::string longest = "D:\\" + std::string(252, 'x');  // 255 characters
    hive.SetString(kSettingsKey, "Data", longest);
    EXPECT_STREQ(QueryDataDir().get(), (longest + "\\").c_str());
    hive.SetString(kSettingsKey, "Data", longest + "y");
    EXPECT_EQ(QueryDataDir(), nullptr);
    const char raw[] = {'D', ':', '\\', 'r'};  // stored without a terminator
    hive.SetRaw(kSettingsKey, "Data", REG_SZ, raw, sizeof raw);
    EXPECT_STREQ(QueryDataDir().get(), "D:\\r\\");

    hive.SetString(kSettingsKey, "Data", "");
    EXPECT_EQ(QueryDataDir(), nullptr);
    hive.SetString(kSettingsKey, "Data", "D:\\exp", REG_EXPAND_SZ);
    EXPECT_EQ(QueryDataDir(), nullptr);
    hive.SetDword(kSettingsKey, "LogDir", 7);
    EXPECT_EQ(QueryLogDir(), nullptr);
}
