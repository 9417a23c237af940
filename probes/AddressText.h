// Text forms of network addresses, free of OS headers.
#pragma once
#include <cstddef>
#include <cstdint>

// A six-byte station address as twelve upper-case hexadecimal digits in the
// order of the bytes; `out` holds at least 13 bytes.
void FormatStationAddress(const uint8_t address[6], char* out);

// An IPX address as network:node, eight and twelve upper-case hexadecimal
// digits (21 characters); `out` holds at least 22 bytes.
void FormatIpxAddress(const uint8_t network[4], const uint8_t node[6], char* out);
