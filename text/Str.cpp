#include "text/Str.h"

#include <cstring>
#include <memory>

#include "kmzucd32.h"
#include "text/Utf8.h"

namespace {
// Code-page selector the converter takes for "the local code page".
constexpr uint32_t kLocalCodePage = 42;
}  // namespace

Str::Str(const char* s) {
    if (s == nullptr)
        s = "";
    capacity = static_cast<uint32_t>(std::strlen(s)) + 1;
    buffer = new char[capacity];
    std::memcpy(buffer, s, capacity);
}

Str::~Str() { delete[] buffer; }

uint32_t Str::Length() const {
    return buffer == nullptr ? 0 : static_cast<uint32_t>(std::strlen(buffer));
}

// Both allocate the new block and fill it before the old one is freed: a
// failed allocation leaves the string as it was, and a text taken from the
// string's own block is still there while it is copied.
Str& Str::Assign(const char* s) {
    if (s == nullptr)
        s = "";
    uint32_t need = static_cast<uint32_t>(std::strlen(s)) + 1;
    if (need <= capacity && capacity <= 2 * need) {
        std::memmove(buffer, s, need);
        return *this;
    }
    uint32_t size = need * 3 / 2;
    char* block = new char[size];
    std::memcpy(block, s, need);
    delete[] buffer;
    buffer = block;
    capacity = size;
    return *this;
}

Str& Str::Append(const char* s) {
    if (s == nullptr)
        s = "";
    uint32_t current = Length();
    uint32_t add = static_cast<uint32_t>(std::strlen(s));
    uint32_t need = current + add + 1;
    if (need <= capacity) {
        std::memmove(buffer + current, s, add + 1);
        return *this;
    }
    uint32_t size = need * 3 / 2;
    char* block = new char[size];
    if (buffer != nullptr)
        std::memcpy(block, buffer, current);
    std::memcpy(block + current, s, add + 1);
    delete[] buffer;
    buffer = block;
    capacity = size;
    return *this;
}

uint32_t Str::ToUtf8() {
    if (buffer == nullptr)
        return 0;
    uint32_t n = VXConvertLocalToUnicode(buffer, nullptr, 0, kLocalCodePage, 0);
    if (n == 0)
        return 0;
    std::unique_ptr<uint16_t[]> units(new uint16_t[n]());
    VXConvertLocalToUnicode(buffer, units.get(), n, kLocalCodePage, 0);
    // The last unit is the terminator whatever the converter wrote.
    units[n - 1] = 0;

    uint32_t size = utf8::EncodedSize(units.get(), n);
    char* out = new char[size];
    utf8::Encode(units.get(), n, out);
    delete[] buffer;
    buffer = out;
    capacity = size;
    return 1;
}
