// Child test programs: run one and collect what it prints, optionally with
// Wine reporting another Windows version to that program alone.
#pragma once
#include <string>

// Runs `commandLine` (a program in the test folder or on the search path)
// and returns its standard output and error, with CR LF line ends made LF.
// A failure to start is a test failure and an empty result.
std::string RunChild(const std::string& commandLine);

// The same with the program named apart from its command line and a working
// folder of its own (empty: the caller's), all as wide texts.
std::string RunChild(const std::wstring& application, const std::wstring& commandLine,
                     const std::wstring& workingDir);

// While alive, Wine reports `version` ("nt40", "win2k", ...) as the Windows
// version of every process started from `programFile` (a file name such as
// "probe.exe").
class WineVersionOverride {
public:
    WineVersionOverride(const std::string& programFile, const char* version);
    ~WineVersionOverride();
    WineVersionOverride(const WineVersionOverride&) = delete;
    WineVersionOverride& operator=(const WineVersionOverride&) = delete;

private:
    std::string key_;
};
