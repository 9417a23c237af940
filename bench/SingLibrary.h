// SING32.DLL as the agent sees it: loaded by name or path, its exports
// resolved, and the registered gatherers discovered from the 20 slots.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class SingLibrary {
public:
    struct GathererInfo {
        uint32_t index;
        std::string name;  // empty for a gatherer without a name
        uint32_t packetId;
    };

    SingLibrary() = default;
    ~SingLibrary() { Unload(); }
    SingLibrary(const SingLibrary&) = delete;
    SingLibrary& operator=(const SingLibrary&) = delete;

    // Loads the library and resolves every export the tools call; on failure
    // `error` says why and nothing stays loaded.
    bool Load(const std::string& path, std::string& error);
    // Frees the library; true when the module is no longer mapped afterwards.
    bool Unload();
    bool Loaded() const { return module_ != nullptr; }
    std::string ModulePath() const;

    // The slots that answer a name or a packet id, in index order.
    std::vector<GathererInfo> Discover() const;

    // The host's full cycle for one gatherer: Init, Update, GetDataBufLen,
    // FillDataBuf into `buf` (resized to that length), Close. Returns the
    // buffer length, or -1 when the filled buffer's header is inconsistent.
    long FullCycle(uint32_t index, std::vector<uint8_t>& buf) const;

    using NumFn = uint32_t(__stdcall*)();
    using NameFn = const char*(__stdcall*)(uint32_t);
    using IndexFn = uint32_t(__stdcall*)(uint32_t);
    using UpdateFn = uint32_t(__stdcall*)(uint32_t, void*, uint32_t);
    using FillFn = uint32_t(__stdcall*)(uint32_t, uint8_t*, void*, uint32_t);
    using DmiFn = uint32_t(__stdcall*)(uint32_t, uint32_t, uint32_t, uint32_t);

    NumFn numGatherers = nullptr;
    NameFn name = nullptr;
    IndexFn init = nullptr, close = nullptr, packetId = nullptr;
    UpdateFn update = nullptr, getDataBufLen = nullptr;
    FillFn fillDataBuf = nullptr;
    DmiFn fillDMIInfo = nullptr;

private:
    HMODULE module_ = nullptr;
    std::string baseName_;
};

// Runs every discovered gatherer's full cycle once; false when a buffer came
// back inconsistent.
bool CycleAll(const SingLibrary& lib, const std::vector<SingLibrary::GathererInfo>& gatherers,
              std::vector<uint8_t>& buf);

// The modules loaded in this process.
std::vector<HMODULE> LoadedModules();

// Keeps loaded, for the rest of the process, the DLLs from the system
// directory that were loaded since `before`; returns their names.
std::vector<std::string> PinSystemModules(const std::vector<HMODULE>& before);

// The size of a file in bytes, or -1.
long long FileSize(const std::string& path);
