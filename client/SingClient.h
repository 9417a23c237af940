// SING32.DLL as a host sees it: loaded by path, its exports resolved, and the
// registered gatherers found among the registry's slots. Used by singdump,
// the bench and soak tools, and the tests that go through the exports.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Handles.h"

// "error N: the system's text for N" (just "error N" when there is none).
std::string SystemErrorText(DWORD code);

class SingClient {
public:
    struct GathererInfo {
        uint32_t index;
        bool named;        // false for a gatherer whose name is null
        std::string name;  // empty when not named
        uint32_t packetId;
    };

    SingClient() = default;
    SingClient(const SingClient&) = delete;
    SingClient& operator=(const SingClient&) = delete;

    // Loads the library and resolves every export a host calls; on failure
    // `error` says why and nothing stays loaded.
    bool Load(const std::string& path, std::string& error);
    // Frees the library; true when the module is no longer mapped afterwards.
    bool Unload();
    bool Loaded() const { return module_.Valid(); }
    std::string ModulePath() const;
    // Any export by name; null when nothing is loaded or it is not exported.
    void* Proc(const char* exportName) const;

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
    ScopedModule module_;
    std::string baseName_;
};

// Runs every given gatherer's full cycle once; false when a buffer came back
// inconsistent.
bool CycleAll(const SingClient& lib, const std::vector<SingClient::GathererInfo>& gatherers,
              std::vector<uint8_t>& buf);
