// Redirects HKEY_LOCAL_MACHINE of this process to a fresh scratch key (the
// shared RegistryStandIn) for the object's life, so tests never read or
// change the prefix's own HKLM. Wine's in-process services read the scratch
// hive too (GetComputerNameA, and so Wine's workstation service).
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "client/RegistryStandIn.h"

class ScratchHive {
public:
    ScratchHive();
    ScratchHive(const ScratchHive&) = delete;
    ScratchHive& operator=(const ScratchHive&) = delete;

    // Values under HKLM\path (created as needed). Raw bytes for odd shapes.
    void SetString(const std::string& path, const char* name, const std::string& value, DWORD type = REG_SZ);
    void SetDword(const std::string& path, const char* name, uint32_t value);
    void SetRaw(const std::string& path, const char* name, DWORD type, const void* data, DWORD size);
    void DeleteKey(const std::string& path);
    // Every key and value of the registry export tests/layouts/NAME.reg.
    void LoadLayout(const std::string& layout);
    // The scratch key's path under HKEY_CURRENT_USER, for a child program
    // that redirects its own HKEY_LOCAL_MACHINE there.
    const std::string& RootPath() const { return standIn_.Path(); }

private:
    RegistryStandIn standIn_;
};
