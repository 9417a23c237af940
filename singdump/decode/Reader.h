// Bounds-checked reading of a data buffer. Every read names what it reads so
// that a malformed buffer is reported precisely instead of read past.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    size_t Size() const { return size_; }
    const uint8_t* Data() const { return data_; }
    bool Ok() const { return error_.empty(); }
    const std::string& Error() const { return error_; }

    // Each returns 0 (and records the first error) when out of bounds.
    uint16_t U16(size_t off, const char* what);
    uint32_t U32(size_t off, const char* what);
    uint8_t U8(size_t off, const char* what);
    // The NUL-terminated text at `off`; the terminator must lie inside the
    // buffer and `off` must not point into the fixed part (below `floor`).
    std::string Text(size_t off, size_t floor, const char* what);
    // `count` raw bytes at `off`.
    std::string Bytes(size_t off, size_t count, const char* what);
    void Fail(const std::string& message);

private:
    bool Check(size_t off, size_t width, const char* what);
    const uint8_t* data_;
    size_t size_;
    std::string error_;
};

struct Node;
// The string-offset convention: a u16 slot (or a u32 one, `slotWidth` 4) at
// `slotOff` holds the offset of a text behind the fixed part (`fixedSize`
// bytes), or 0 for no text.
void AddSlotText(Reader& rd, Node& into, const char* key, size_t slotOff, size_t fixedSize, size_t slotWidth = 2);
