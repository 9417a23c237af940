// Decoders of the gatherers' data buffers, looked up by packet id.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "decode/Node.h"

struct DecodeResult {
    bool ok = false;
    std::string error;  // why the buffer is malformed, when !ok
    Node fields = Node::Group("fields");
};

// A gatherer's buffer format; its version and layout are in sdk/sing32.h.
struct BufferFormat {
    uint32_t packetId;
    // Decodes the gatherer's fields (after the common header).
    void (*decode)(const uint8_t* data, size_t size, DecodeResult& out);
};

// Null when no decoder knows the packet id.
const BufferFormat* FindFormat(uint32_t packetId);

// Checks the common header against the buffer and the expected format, then
// runs the format's decoder. Never reads outside [data, data + size).
DecodeResult DecodeBuffer(const uint8_t* data, size_t size, uint32_t expectedPacketId);

// A gatherer's buffer as singdump shows it: DecodeBuffer's fields after a
// "status" of "ok" or "malformed buffer: <why>".
DecodeResult DescribeBuffer(const uint8_t* data, size_t size, uint32_t expectedPacketId);
