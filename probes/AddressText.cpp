#include "probes/AddressText.h"

namespace {
const char kDigits[] = "0123456789ABCDEF";

char* PutHex(const uint8_t* bytes, size_t n, char* out) {
    for (size_t i = 0; i < n; ++i) {
        *out++ = kDigits[bytes[i] >> 4];
        *out++ = kDigits[bytes[i] & 0x0F];
    }
    return out;
}
}  // namespace

void FormatStationAddress(const uint8_t address[6], char* out) { *PutHex(address, 6, out) = '\0'; }

void FormatIpxAddress(const uint8_t network[4], const uint8_t node[6], char* out) {
    out = PutHex(network, 4, out);
    *out++ = ':';
    *PutHex(node, 6, out) = '\0';
}
