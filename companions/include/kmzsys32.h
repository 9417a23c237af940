// System information library. SINF_Init prepares the library and SINF_Close
// releases it; a non-zero SINF_Init result means SINF_Close is due.
//
// This build reads no firmware or bus tables: every other SINF_ entry point
// takes no arguments and answers SINF_NOT_AVAILABLE (0).
#pragma once
#include <cstdint>

constexpr uint32_t SINF_NOT_AVAILABLE = 0;

// The thirty queries, then every entry point in the order the binding
// resolves them.
#define SINF_QUERIES(X) \
    X(SINF_GetSystemIDField) X(SINF_GetSystemPlanarBlock) X(SINF_GetSystemBlock) \
    X(SINF_GetSystemName) X(SINF_GetSystemBitmaps) X(SINF_GetMouseConfiguration) \
    X(SINF_GetKeybdConfiguration) X(SINF_GetVPDInformation) X(SINF_GetSelectableBootInfo) \
    X(SINF_GetDisketteConfiguration) X(SINF_GetNVRAMErrLogInfo) X(SINF_Get8514Info) \
    X(SINF_IsThereIMA) X(SINF_IsVGAMono) X(SINF_GetXGADMQSInfo) \
    X(SINF_GetAdapterConfiguration) X(SINF_GetSlotConfiguration) X(SINF_GetNVRAMConfiguration) \
    X(SINF_GetSystemConfiguration) X(SINF_GetAdapterAddress) X(SINF_UpdateAdapterBagfile) \
    X(SINF_CheckAdapterBagfile) X(SINF_GetPOSConfiguration) X(SINF_GetMemoryConfiguration) \
    X(SINF_GetNumPhySerPorts) X(SINF_GetCMOSConfiguration) X(SINF_GetPhysSlotConfig) \
    X(SINF_GetEISASlotConfig) X(SINF_GetPCISlotConfig) X(SINF_GetMachType)
#define SINF_ENTRY_POINTS(X) X(SINF_Init) X(SINF_Close) SINF_QUERIES(X)

extern "C" {
#define SINF_DECLARE(name) uint32_t __stdcall name();
SINF_ENTRY_POINTS(SINF_DECLARE)
#undef SINF_DECLARE
}
