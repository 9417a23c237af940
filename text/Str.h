// Counted heap text: a NUL-terminated byte string with a recorded capacity.
// A Str that was never given a value has no buffer; gatherers use that state
// to mark a fact without text.
#pragma once
#include <cstdint>

class Str {
public:
    Str() = default;
    // Without a buffer when the copy cannot be allocated.
    explicit Str(const char* s);
    ~Str();
    Str(const Str&) = delete;
    Str& operator=(const Str&) = delete;

    // Each returns false, keeping the old text and block, when the block it
    // needs cannot be allocated.
    bool Assign(const char* s);
    bool Append(const char* s);
    const char* CStr() const { return buffer; }
    uint32_t Length() const;
    uint32_t Capacity() const { return capacity; }
    // Converts the text in place from the local code page to UTF-8, one
    // UTF-16 unit at a time. 1 on success, 0 (text unchanged) when the
    // converter reports nothing to convert or the memory for the conversion
    // cannot be had. Only for a Str with a buffer.
    uint32_t ToUtf8();

private:
    uint32_t capacity = 0;
    char* buffer = nullptr;
};
