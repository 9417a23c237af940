// Registry value lookups by exact (case-sensitive) value name and type, by
// enumerating the key's values. Used by the TCP/IP and identity probes.
#pragma once
#include <windows.h>

#include <cstdint>

// Finds a REG_SZ or REG_MULTI_SZ value named exactly `valueName` under
// root\subkeyPath and copies its (first) string, at most `maxChars`
// characters plus a NUL, into `out`. 1 when found; 0 (out untouched) when the
// key does not open or no value matches. Names and data are read into
// 400-byte rooms: a value whose name (with its NUL) or data does not fit is
// passed over, so the wanted value itself then counts as not found, while
// values after such a one are still seen.
uint32_t GetRegStringValue(HKEY root, const char* subkeyPath, const char* valueName, char* out,
                           uint32_t maxChars);

// The same search for a REG_DWORD value; `out` receives its first 4 bytes.
uint32_t GetRegDwordValue(HKEY root, const char* subkeyPath, const char* valueName, uint32_t* out);
