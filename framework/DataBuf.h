// Little-endian data buffer writing: the common header, fixed fields, and
// texts packed behind the fixed part with offset slots (0 = the fact has no
// text). Every offset, size and packet id comes from the public header
// sdk/sing32.h. Free of OS headers; also used by the decoders' tests.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "sdk/sing32.h"
#include "text/Str.h"

namespace databuf {

inline void PutU16(uint8_t* buf, uint32_t off, uint16_t v) {
    buf[off] = static_cast<uint8_t>(v);
    buf[off + 1] = static_cast<uint8_t>(v >> 8);
}

inline void PutU32(uint8_t* buf, uint32_t off, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        buf[off + i] = static_cast<uint8_t>(v >> (8 * i));
}

inline uint16_t GetU16(const uint8_t* buf, uint32_t off) {
    return static_cast<uint16_t>(buf[off] | (buf[off + 1] << 8));
}

inline uint32_t GetU32(const uint8_t* buf, uint32_t off) {
    return static_cast<uint32_t>(buf[off]) | (static_cast<uint32_t>(buf[off + 1]) << 8) |
           (static_cast<uint32_t>(buf[off + 2]) << 16) | (static_cast<uint32_t>(buf[off + 3]) << 24);
}

// Total length, packet id, buffer format version.
inline void WriteHeader(uint8_t* buf, uint32_t totalLength, uint32_t packetId, uint32_t version) {
    PutU32(buf, SING_HEADER_LENGTH, totalLength);
    PutU32(buf, SING_HEADER_PACKET_ID, packetId);
    PutU32(buf, SING_HEADER_VERSION, version);
}

// Room the texts take under the offset convention: length + 1 for every
// fact, also for one without text (which then leaves trailing zeros).
inline uint32_t TextsSize(const Str* texts, size_t n) {
    uint32_t total = 0;
    for (size_t i = 0; i < n; ++i)
        total += texts[i].Length() + 1;
    return total;
}

// Appends texts one after another from `start`, each with its terminator,
// never past `end` (the buffer's size).
class TextPacker {
public:
    TextPacker(uint8_t* buf, uint32_t start, uint32_t end) : buf_(buf), cursor_(start), end_(end) {}

    // Writes the text and returns its offset; 0 (nothing written) when the
    // string has no buffer.
    uint32_t Put(const Str& s) {
        if (s.CStr() == nullptr)
            return 0;
        return PutRaw(s.CStr(), s.Length());
    }

    // 0, with nothing written, when the text and its terminator do not fit
    // before the end.
    uint32_t PutRaw(const char* text, uint32_t length) {
        if (cursor_ >= end_ || length > end_ - cursor_ - 1)
            return 0;
        uint32_t at = cursor_;
        std::memcpy(buf_ + cursor_, text, length);
        buf_[cursor_ + length] = 0;
        cursor_ += length + 1;
        return at;
    }

    uint32_t Cursor() const { return cursor_; }

private:
    uint8_t* buf_;
    uint32_t cursor_;
    uint32_t end_;
};

}  // namespace databuf
