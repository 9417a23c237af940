// CmdLine's Windows side: the process's working directory, command line and
// executable path, the global-atom hand-over, the host settings key and
// response files on disk.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/CmdLine.h"
#include "platform/Handles.h"
#include "platform/HostSettings.h"
#include "platform/RegistryValue.h"

namespace {

// Longest path Windows handles, in bytes with the NUL.
constexpr DWORD kLongestPath = 32768;
// Registry values used as directories: at most 255 characters.
constexpr DWORD kSettingRoom = 256;
// GlobalGetAtomNameA's buffer; atom names are shorter.
constexpr int kAtomTextRoom = 1024;

bool IsAnsiLeadByte(unsigned char b) { return IsDBCSLeadByte(b) != FALSE; }

class FileResponseReader final : public ResponseFileReader {
public:
    bool Read(const char* name, size_t maxBytes, std::string& out) override {
        // Others may read the file meanwhile but not change it.
        ScopedHandle file(CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return false;
        // GetFileSize rather than GetFileSizeEx, which Windows NT 4 lacks.
        DWORD high = 0;
        DWORD low = GetFileSize(file.Get(), &high);
        if ((low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0 || low > maxBytes)
            return false;
        out.assign(low, '\0');
        size_t total = 0;
        while (total < out.size()) {
            DWORD got = 0;
            if (!ReadFile(file.Get(), &out[total], static_cast<DWORD>(out.size() - total), &got, nullptr))
                return false;
            if (got == 0)
                break;
            total += got;
        }
        out.resize(total);
        return true;
    }
};

// Stateless and trivially destructible: no run-time construction at load.
constinit FileResponseReader fileReader;

std::string CurrentDirectory() {
    std::vector<char> buf(MAX_PATH);
    for (;;) {
        DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(buf.size()), buf.data());
        if (n == 0 || n > kLongestPath)
            return {};
        if (n < buf.size())
            return std::string(buf.data(), n);
        buf.resize(n);  // n counts the NUL when the buffer was too small
    }
}

std::string ExecutablePath() {
    HMODULE self = GetModuleHandleA(nullptr);
    std::vector<char> buf(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameA(self, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0)
            return {};
        if (n < buf.size())
            return std::string(buf.data(), n);
        if (buf.size() >= kLongestPath)
            return {};
        buf.resize(std::min<size_t>(buf.size() * 2, kLongestPath));
    }
}

// The process command line in the ANSI code page.
std::string AnsiCommandLine() {
    const wchar_t* wide = GetCommandLineW();
    const DWORD flags = WC_COMPOSITECHECK | WC_DEFAULTCHAR;
    int n = WideCharToMultiByte(CP_ACP, flags, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return {};
    std::vector<char> buf(static_cast<size_t>(n) + 1, '\0');
    if (WideCharToMultiByte(CP_ACP, flags, wide, -1, buf.data(), n, nullptr, nullptr) <= 0)
        return {};
    return std::string(buf.data());
}

OwnedText QuerySetting(const char* valueName) {
    ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kHostSettingsKey, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return nullptr;
    // One byte more than the query may fill, so the backslash always fits.
    OwnedText value(new char[kSettingRoom + 1]);
    uint32_t length = 0;
    if (ReadRegText(key.Get(), valueName, kRegSz, kSettingRoom, value.get(), kSettingRoom, &length) != ERROR_SUCCESS)
        return nullptr;
    // An empty value names no directory; one of 256 characters leaves no
    // room for the backslash. Both count as absent.
    if (length == 0 || length >= kSettingRoom)
        return nullptr;
    AddTrailingBackslash(value.get(), kSettingRoom + 1, IsAnsiLeadByte);
    return value;
}

}  // namespace

OwnedText QueryDataDir() { return QuerySetting(kDataDirectoryValue); }

OwnedText QueryLogDir() { return QuerySetting(kLogDirectoryValue); }

CmdLine::CmdLine(uint32_t parseFlag) : CmdLine(fileReader, IsAnsiLeadByte) {
    if (parseFlag != 0)
        Setup();
}

void CmdLine::Setup() {
    HostFacts facts;
    facts.workingDir = CurrentDirectory();
    facts.exePath = ExecutablePath();
    facts.commandText = AnsiCommandLine();

    // "/XCL:<atom>" hands over the text to parse through a global atom; the
    // command line itself is parsed when the atom is not there.
    uint16_t atom = 0;
    if (FindHandOverAtom(facts.commandText.c_str(), &atom)) {
        char text[kAtomTextRoom];
        UINT n = GlobalGetAtomNameA(atom, text, sizeof text);
        if (n != 0)
            facts.commandText.assign(text, std::min<UINT>(n, sizeof text - 1));
    }

    facts.registryDataDir = QueryDataDir();
    facts.registryLogDir = QueryLogDir();
    Apply(facts);
}
