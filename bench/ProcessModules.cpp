#include "ProcessModules.h"

#include <psapi.h>

#include <algorithm>

long long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::vector<HMODULE> LoadedModules() {
    std::vector<HMODULE> mods(256);
    for (;;) {
        DWORD needed = 0;
        if (!EnumProcessModules(GetCurrentProcess(), mods.data(), DWORD(mods.size() * sizeof(HMODULE)), &needed))
            return {};
        if (needed <= mods.size() * sizeof(HMODULE)) {
            mods.resize(needed / sizeof(HMODULE));
            return mods;
        }
        mods.resize(needed / sizeof(HMODULE) + 16);
    }
}

static std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// Keeps loaded, for the rest of the process, the Windows DLLs that the
// library brought in (those in the system directory). An agent process has
// them loaded anyway; without this, every load/unload cycle would also load
// and unload them and measure the system loader rather than the library.
std::vector<std::string> PinSystemModules(const std::vector<HMODULE>& before) {
    char sys[MAX_PATH] = {};
    UINT n = GetSystemDirectoryA(sys, MAX_PATH);
    std::string prefix = Lower(std::string(sys, n < MAX_PATH ? n : 0)) + "\\";
    std::vector<std::string> pinned;
    for (HMODULE m : LoadedModules()) {
        if (std::find(before.begin(), before.end(), m) != before.end())
            continue;
        char path[MAX_PATH] = {};
        DWORD len = GetModuleFileNameA(m, path, MAX_PATH);
        std::string p = Lower(std::string(path, len < MAX_PATH ? len : 0));
        if (p.size() > prefix.size() && p.compare(0, prefix.size(), prefix) == 0 && LoadLibraryA(path) != nullptr)
            pinned.push_back(p.substr(prefix.size()));
    }
    return pinned;
}
