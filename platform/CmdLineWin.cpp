// CmdLine's Windows side: the process's working directory, command line and
// executable path, the global-atom hand-over, the host settings key and
// response files on disk.
#include <windows.h>

#include <cstring>
#include <new>

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
    OwnedText Read(const char* name, size_t maxBytes) override {
        // Others may read the file meanwhile but not change it.
        ScopedHandle file(CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return nullptr;
        // GetFileSize rather than GetFileSizeEx, which Windows NT 4 lacks.
        DWORD high = 0;
        DWORD low = GetFileSize(file.Get(), &high);
        if ((low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0 || low > maxBytes)
            return nullptr;
        OwnedText out(new (std::nothrow) char[static_cast<size_t>(low) + 1]);
        if (!out)
            return nullptr;
        DWORD total = 0;
        while (total < low) {
            DWORD got = 0;
            if (!ReadFile(file.Get(), out.get() + total, low - total, &got, nullptr))
                return nullptr;
            if (got == 0)
                break;
            total += got;
        }
        out[total] = '\0';
        return out;
    }
};

// Stateless and trivially destructible: no run-time construction at load.
constinit FileResponseReader fileReader;

// A text the OS writes into a buffer of the size given, answering its length
// (or, when the buffer is too small, the size it needs): `query` is tried with
// growing buffers up to the longest path. Null when it fails or there is no
// memory.
template <typename Query>
OwnedText GrowingQuery(Query query) {
    DWORD room = MAX_PATH;
    for (;;) {
        OwnedText buf(new (std::nothrow) char[room]);
        if (!buf)
            return nullptr;
        DWORD n = query(buf.get(), room);
        if (n == 0)
            return nullptr;
        if (n < room) {
            buf[n] = '\0';
            return buf;
        }
        if (room >= kLongestPath)
            return nullptr;
        room = n > room ? n : 2 * room;
        if (room > kLongestPath)
            room = kLongestPath;
    }
}

OwnedText CurrentDirectory() {
    // Too small a buffer gives the size needed, NUL included.
    return GrowingQuery([](char* buf, DWORD room) { return GetCurrentDirectoryA(room, buf); });
}

OwnedText ExecutablePath() {
    // Too small a buffer gives its own size, the name cut.
    HMODULE self = GetModuleHandleA(nullptr);
    return GrowingQuery([self](char* buf, DWORD room) { return GetModuleFileNameA(self, buf, room); });
}

// The process command line in the ANSI code page.
OwnedText AnsiCommandLine() {
    const wchar_t* wide = GetCommandLineW();
    const DWORD flags = WC_COMPOSITECHECK | WC_DEFAULTCHAR;
    int n = WideCharToMultiByte(CP_ACP, flags, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return nullptr;
    OwnedText buf(new (std::nothrow) char[static_cast<size_t>(n) + 1]);
    if (!buf)
        return nullptr;
    std::memset(buf.get(), 0, static_cast<size_t>(n) + 1);
    if (WideCharToMultiByte(CP_ACP, flags, wide, -1, buf.get(), n, nullptr, nullptr) <= 0)
        return nullptr;
    return buf;
}

OwnedText QuerySetting(const char* valueName) {
    ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kHostSettingsKey, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return nullptr;
    // One byte more than the query may fill, so the backslash always fits.
    OwnedText value(new (std::nothrow) char[kSettingRoom + 1]);
    if (!value)
        return nullptr;
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
    if (facts.commandText && FindHandOverAtom(facts.commandText.get(), &atom)) {
        char text[kAtomTextRoom];
        UINT n = GlobalGetAtomNameA(atom, text, sizeof text);
        if (n != 0) {
            text[n < sizeof text ? n : sizeof text - 1] = '\0';
            facts.commandText = CopyText(text);
        }
    }

    facts.registryDataDir = QueryDataDir();
    facts.registryLogDir = QueryLogDir();
    Apply(facts);
}
