// singdecode: reads the data buffers of SING32.DLL's gatherers on any
// system (no Windows headers), for the servers that receive them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace singdecode {

struct Decoded {
    bool ok = false;    // a well-formed buffer of a known format
    std::string json;   // one JSON object: "status", "header" and the
                        // gatherer's fields, as `singdump --json` shows them
    std::string error;  // what is wrong with the buffer, when !ok
};

// Decodes the `size` bytes at `data` (never reading outside them). The
// buffer must carry `packetId`; 0 takes the packet id of its header. A
// malformed buffer still gives the JSON of what could be read, with the
// reason in "status".
Decoded ToJson(const uint8_t* data, size_t size, uint32_t packetId = 0);

}  // namespace singdecode
