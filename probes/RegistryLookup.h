// Registry value lookups by name and type, names compared as the registry
// compares them (without regard to case). Used by the TCP/IP and identity
// probes.
#pragma once
#include <windows.h>

#include <cstdint>

// Finds the REG_SZ or REG_MULTI_SZ value `valueName` under root\subkeyPath
// and copies its (first) string, at most `maxChars` characters plus a NUL,
// into `out`. 1 when found; 0 (out untouched) when the key does not open, the
// value is missing or of another type, or its data do not fit the 400-byte
// room.
uint32_t GetRegStringValue(HKEY root, const char* subkeyPath, const char* valueName, char* out,
                           uint32_t maxChars);

// The same lookup for a REG_DWORD value of at least 4 bytes; `out` receives
// its first 4 bytes.
uint32_t GetRegDwordValue(HKEY root, const char* subkeyPath, const char* valueName, uint32_t* out);
