// What the bench and soak tools need beside the SING client: the process's
// modules, the system DLLs kept loaded between cycles, file sizes.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "client/SingClient.h"

// The modules loaded in this process.
std::vector<HMODULE> LoadedModules();

// Keeps loaded, for the rest of the process, the DLLs from the system
// directory that were loaded since `before`; returns their names.
std::vector<std::string> PinSystemModules(const std::vector<HMODULE>& before);

// The size of a file in bytes, or -1.
long long FileSize(const std::string& path);
