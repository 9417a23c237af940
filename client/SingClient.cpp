#include "client/SingClient.h"

namespace {

template <typename Fn>
bool Resolve(const SingClient& lib, const char* name, Fn& fn, std::string& error) {
    fn = reinterpret_cast<Fn>(lib.Proc(name));
    if (fn == nullptr && error.empty())
        error = std::string("the library does not export ") + name;
    return fn != nullptr;
}

}  // namespace

std::string SystemErrorText(DWORD code) {
    char text[512] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                             sizeof text, nullptr);
    if (n >= sizeof text)
        n = 0;
    while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == ' ' || text[n - 1] == '.'))
        --n;
    std::string out = "error " + std::to_string(code);
    return n > 0 ? out + ": " + std::string(text, n) : out;
}

bool SingClient::Load(const std::string& path, std::string& error) {
    Unload();
    error.clear();
    module_.Reset(LoadLibraryA(path.c_str()));
    if (!module_) {
        error = "cannot load " + path + " (" + SystemErrorText(GetLastError()) + ")";
        return false;
    }
    size_t slash = path.find_last_of("\\/");
    baseName_ = slash == std::string::npos ? path : path.substr(slash + 1);
    bool ok = Resolve(*this, "SING_NumGatherers", numGatherers, error) & Resolve(*this, "SING_Name", name, error) &
              Resolve(*this, "SING_Init", init, error) & Resolve(*this, "SING_Close", close, error) &
              Resolve(*this, "SING_GetUniquePacketID", packetId, error) &
              Resolve(*this, "SING_Update", update, error) &
              Resolve(*this, "SING_GetDataBufLen", getDataBufLen, error) &
              Resolve(*this, "SING_FillDataBuf", fillDataBuf, error) &
              Resolve(*this, "SING_FillDMIInfo", fillDMIInfo, error);
    if (!ok)
        Unload();
    return ok;
}

bool SingClient::Unload() {
    numGatherers = nullptr;
    name = nullptr;
    init = nullptr;
    close = nullptr;
    packetId = nullptr;
    update = getDataBufLen = nullptr;
    fillDataBuf = nullptr;
    fillDMIInfo = nullptr;
    if (!module_)
        return true;
    module_.Reset();
    return GetModuleHandleA(baseName_.c_str()) == nullptr;
}

std::string SingClient::ModulePath() const {
    char path[MAX_PATH + 1] = {};
    DWORD n = module_ ? GetModuleFileNameA(module_.Get(), path, MAX_PATH) : 0;
    return std::string(path, n < MAX_PATH ? n : MAX_PATH);
}

void* SingClient::Proc(const char* exportName) const {
    return module_ ? reinterpret_cast<void*>(GetProcAddress(module_.Get(), exportName)) : nullptr;
}

std::vector<SingClient::GathererInfo> SingClient::Discover() const {
    std::vector<GathererInfo> found;
    if (!module_)
        return found;
    for (uint32_t i = 0; i < SING_SLOTS; ++i) {
        const char* n = name(i);
        uint32_t id = packetId(i);
        if (n == nullptr && id == 0)
            continue;
        found.push_back({i, n != nullptr, n ? n : "", id});
    }
    return found;
}

long SingClient::FullCycle(uint32_t index, std::vector<uint8_t>& buf) const {
    init(index);
    update(index, nullptr, 0);
    uint32_t len = getDataBufLen(index, nullptr, 0);
    buf.assign(len, 0);
    long result = static_cast<long>(len);
    if (len != 0) {
        fillDataBuf(index, buf.data(), nullptr, 0);
        // Every buffer starts with its own length and the gatherer's packet id.
        if (len < SING_HEADER_SIZE || sing_u32_at(buf.data(), len, SING_HEADER_LENGTH) != len ||
            sing_u32_at(buf.data(), len, SING_HEADER_PACKET_ID) != packetId(index))
            result = -1;
    }
    close(index);
    return result;
}

bool CycleAll(const SingClient& lib, const std::vector<SingClient::GathererInfo>& gatherers,
              std::vector<uint8_t>& buf) {
    bool ok = true;
    for (const auto& g : gatherers)
        ok &= lib.FullCycle(g.index, buf) >= 0;
    return ok;
}
