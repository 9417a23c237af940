// The one bounded reader of a registry value under an open key. Like
// Chromium's RegKey readers it leaves its outputs untouched when the read
// fails, bounds the data by the caller's room and checks the value's type.
#pragma once
#include <windows.h>

#include <cstdint>

// Value types a read accepts: a mask of (1 << REG_x).
using RegTypes = uint32_t;
constexpr RegTypes kAnyRegType = 0xFFFFFFFFu;
constexpr RegTypes kRegSz = 1u << REG_SZ;
constexpr RegTypes kRegStrings = kRegSz | 1u << REG_EXPAND_SZ;

// The most bytes one read takes.
constexpr DWORD kRegValueRoomMax = 512;

// Reads the value `name` of `key` into `out` when its type is among `types`
// and its data fit in `room` bytes (at most kRegValueRoomMax); `*size` gets
// the number of bytes. ERROR_SUCCESS, or the error, with `out` and `size`
// untouched: the platform's (ERROR_FILE_NOT_FOUND, ERROR_MORE_DATA when the
// data are larger than `room`), ERROR_INVALID_DATATYPE for another type,
// ERROR_INVALID_PARAMETER for a room past the maximum.
[[nodiscard]] LONG ReadRegValue(HKEY key, const char* name, RegTypes types, void* out, DWORD room, DWORD* size);

// The same read, of at most `room` bytes, as a text: the data up to their
// first NUL (they need not hold one), cut to `maxChars` characters, and a NUL
// go to `out` (maxChars + 1 bytes). `*length`, when given, gets the text's
// length after the cut.
[[nodiscard]] LONG ReadRegText(HKEY key, const char* name, RegTypes types, DWORD room, char* out, uint32_t maxChars,
                               uint32_t* length = nullptr);
