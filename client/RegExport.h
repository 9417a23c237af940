// Registry export files as regedit and `reg export` write them, read into
// keys and values under HKEY_LOCAL_MACHINE. Free of OS headers: singdump
// --registry, the tests' layouts and the bench load them through
// client/RegistryStandIn.h.
//
// Read: the header "Windows Registry Editor Version 5.00" (UTF-16LE with its
// byte-order mark) or "REGEDIT4" (ANSI text); [HKEY_LOCAL_MACHINE\...] or
// [HKLM\...] keys; "name"=... and @=... values: "text" (REG_SZ, with the
// escapes \\ and \"), dword:, hex: (REG_BINARY) and hex(0): to hex(b):;
// lines continued with a trailing backslash; ; comments; blank lines; CRLF
// or LF line ends. Refused, with "FILE:LINE: what is wrong": anything else,
// including deletions ([-key], "name"=-) and other roots.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace regexport {

// Limits; a file past one is refused whole.
constexpr size_t kMaxFileBytes = 64u << 20;  // the file
constexpr size_t kMaxLineChars = 4u << 20;   // a line with its continuations, in characters
constexpr size_t kMaxValueBytes = 1u << 20;  // one value's data
constexpr size_t kMaxKeys = 100000;          // [key] lines in one file

enum class Format {
    Version5,  // texts are UTF-16: names, paths and string data
    Regedit4,  // texts are bytes in the ANSI code page of the exporting machine
};

// Texts are kept as the file's code units: UTF-16 units for a version 5
// file, bytes (one per unit) for a REGEDIT4 one.
struct Value {
    std::u16string name;  // empty: the key's default value (@)
    uint32_t type = 0;    // REG_SZ, REG_BINARY, ... as numbered by Windows
    std::vector<uint8_t> data;  // as stored: UTF-16LE or ANSI texts, with their NULs
};

struct Key {
    std::u16string path;  // below HKEY_LOCAL_MACHINE, without a leading backslash
    std::vector<Value> values;
};

struct Export {
    Format format = Format::Version5;
    std::vector<Key> keys;  // in the file's order; a key may appear more than once
};

// Parses the bytes of one file named `fileName` (for messages). false, with
// "FILE:LINE: what is wrong" (or "FILE: ..." for the file as a whole) in
// `error`, on the first fault; `out` is then of no use.
bool Parse(const std::string& fileName, const uint8_t* bytes, size_t size, Export& out, std::string& error);

// Exports of HKLM\SYSTEM name the control sets (ControlSet001, ...) rather
// than CurrentControlSet. Renames the keys of the current one to
// SYSTEM\CurrentControlSet: the set that SYSTEM\Select's "Current" names
// when it is present among the keys, else the only one present. Returns its
// name ("ControlSet001"), or "" when none was mapped.
std::string MapCurrentControlSet(std::vector<Export>& exports);

}  // namespace regexport
