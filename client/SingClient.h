// SING32.DLL as a host sees it: loaded by path, its exports resolved, and the
// registered gatherers found among the registry's slots. Used by singdump,
// the bench and soak tools, and the tests that go through the exports.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Handles.h"
#include "sdk/sing32.h"

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

    // The exports, typed as the kit's header declares them.
    SING_NumGatherers_fn numGatherers = nullptr;
    SING_Name_fn name = nullptr;
    SING_Init_fn init = nullptr;
    SING_Close_fn close = nullptr;
    SING_GetUniquePacketID_fn packetId = nullptr;
    SING_Update_fn update = nullptr;
    SING_GetDataBufLen_fn getDataBufLen = nullptr;
    SING_FillDataBuf_fn fillDataBuf = nullptr;
    SING_FillDMIInfo_fn fillDMIInfo = nullptr;

private:
    ScopedModule module_;
    std::string baseName_;
};

// Runs every given gatherer's full cycle once; false when a buffer came back
// inconsistent.
bool CycleAll(const SingClient& lib, const std::vector<SingClient::GathererInfo>& gatherers,
              std::vector<uint8_t>& buf);
