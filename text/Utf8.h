// UTF-16 to UTF-8, one unit at a time: each unit becomes 1, 2 or 3 bytes by
// its value alone, so a surrogate pair becomes two 3-byte sequences.
#pragma once
#include <cstdint>

namespace utf8 {

// Bytes the n units take.
uint32_t EncodedSize(const uint16_t* units, uint32_t n);
// Writes the n units to out, which holds EncodedSize bytes; returns the count.
uint32_t Encode(const uint16_t* units, uint32_t n, char* out);

}  // namespace utf8
