// Registry layouts for tests and the benchmark: whole keys as real machines
// hold them, written in a small text format and loaded into a scratch hive.
//
//   ; comment
//   [SYSTEM\CurrentControlSet\Services\Tcpip\Parameters]   a key (created)
//   "Hostname" = sz "PC01"                   REG_SZ, with its NUL
//   "DataBasePath" = expand "%SystemRoot%"   REG_EXPAND_SZ
//   "IPAddress" = multi "10.0.0.5" "10.0.0.6" REG_MULTI_SZ; `multi` alone is
//                                             the empty list (two NULs)
//   "EnableDHCP" = dword 1                   REG_DWORD (decimal or 0x hex)
//   "InstallTime" = qword 0x1D6A...          REG_QWORD
//   "DhcpInterfaceOptions" = binary 612      REG_BINARY of 612 made-up bytes
//   "DhcpGatewayHardware" = hex c0 a8 01 01  REG_BINARY of these bytes
//
// Values are created in the order written, as Windows lists them (Wine
// lists them sorted by name). Texts are in double quotes and hold no quote.
// The parser is free of OS headers; the writer is in RegLayoutWin.cpp.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct LayoutValue {
    std::string name;
    uint32_t type = 0;
    std::vector<uint8_t> data;
};
struct LayoutKey {
    std::string path;
    std::vector<LayoutValue> values;
};

// Parses a layout; false with "line N: what" in `error` on a malformed line.
bool ParseLayout(const std::string& text, std::vector<LayoutKey>& keys, std::string& error);

// The layouts built into the program from tests/layouts (by file name
// without extension, e.g. "win10"); null for an unknown name.
const char* BuiltInLayout(const std::string& name);

#ifdef _WIN32
#include <windows.h>
// Creates every key and value of `layout` (a built-in name) under `root`;
// false with a message on the first failure.
bool WriteLayout(HKEY root, const std::string& layout, std::string& error);
#endif
