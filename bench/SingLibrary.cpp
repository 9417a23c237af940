#include "SingLibrary.h"

#include <psapi.h>

#include <algorithm>

namespace {

constexpr uint32_t kSlots = 20;

template <typename Fn>
bool Resolve(HMODULE m, const char* name, Fn& fn, std::string& error) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(m, name)));
    if (fn == nullptr && error.empty())
        error = std::string("the library does not export ") + name;
    return fn != nullptr;
}

uint32_t ReadU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

bool SingLibrary::Load(const std::string& path, std::string& error) {
    Unload();
    error.clear();
    module_ = LoadLibraryA(path.c_str());
    if (module_ == nullptr) {
        error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    size_t slash = path.find_last_of("\\/");
    baseName_ = slash == std::string::npos ? path : path.substr(slash + 1);
    bool ok = Resolve(module_, "SING_NumGatherers", numGatherers, error) &
              Resolve(module_, "SING_Name", name, error) & Resolve(module_, "SING_Init", init, error) &
              Resolve(module_, "SING_Close", close, error) &
              Resolve(module_, "SING_GetUniquePacketID", packetId, error) &
              Resolve(module_, "SING_Update", update, error) &
              Resolve(module_, "SING_GetDataBufLen", getDataBufLen, error) &
              Resolve(module_, "SING_FillDataBuf", fillDataBuf, error) &
              Resolve(module_, "SING_FillDMIInfo", fillDMIInfo, error);
    if (!ok)
        Unload();
    return ok;
}

bool SingLibrary::Unload() {
    if (module_ == nullptr)
        return true;
    FreeLibrary(module_);
    module_ = nullptr;
    return GetModuleHandleA(baseName_.c_str()) == nullptr;
}

std::string SingLibrary::ModulePath() const {
    char path[MAX_PATH + 1] = {};
    DWORD n = module_ ? GetModuleFileNameA(module_, path, MAX_PATH) : 0;
    return std::string(path, n < MAX_PATH ? n : MAX_PATH);
}

std::vector<SingLibrary::GathererInfo> SingLibrary::Discover() const {
    std::vector<GathererInfo> found;
    for (uint32_t i = 0; i < kSlots; ++i) {
        const char* n = name(i);
        uint32_t id = packetId(i);
        if (n == nullptr && id == 0)
            continue;
        found.push_back({i, n ? n : "", id});
    }
    return found;
}

long SingLibrary::FullCycle(uint32_t index, std::vector<uint8_t>& buf) const {
    init(index);
    update(index, nullptr, 0);
    uint32_t len = getDataBufLen(index, nullptr, 0);
    buf.assign(len, 0);
    long result = static_cast<long>(len);
    if (len != 0) {
        fillDataBuf(index, buf.data(), nullptr, 0);
        // Every buffer starts with its own length and the gatherer's packet id.
        if (len < 12 || ReadU32(buf.data()) != len || ReadU32(buf.data() + 4) != packetId(index))
            result = -1;
    }
    close(index);
    return result;
}

bool CycleAll(const SingLibrary& lib, const std::vector<SingLibrary::GathererInfo>& gatherers,
              std::vector<uint8_t>& buf) {
    bool ok = true;
    for (const auto& g : gatherers)
        ok &= lib.FullCycle(g.index, buf) >= 0;
    return ok;
}

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
