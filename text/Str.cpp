#include "text/Str.h"

#include <cstring>
#include <memory>
#include <new>

#include "kmzucd32.h"
#include "text/Utf8.h"

namespace {
// Code-page selector the converter takes for "the local code page".
constexpr uint32_t kLocalCodePage = 42;
}  // namespace

Str::Str(const char* s) {
    if (s == nullptr)
        s = "";
    uint32_t size = static_cast<uint32_t>(std::strlen(s)) + 1;
    buffer = new (std::nothrow) char[size];
    if (buffer == nullptr)
        return;
    capacity = size;
    std::memcpy(buffer, s, size);
}

Str::~Str() { delete[] buffer; }

uint32_t Str::Length() const {
    return buffer == nullptr ? 0 : static_cast<uint32_t>(std::strlen(buffer));
}

// Both allocate the new block and fill it before the old one is freed: a
// failed allocation leaves the string as it was, and a text taken from the
// string's own block is still there while it is copied.
bool Str::Assign(const char* s) {
    if (s == nullptr)
        s = "";
    uint32_t need = static_cast<uint32_t>(std::strlen(s)) + 1;
    if (need <= capacity && capacity <= 2 * need) {
        std::memmove(buffer, s, need);
        return true;
    }
    uint32_t size = need * 3 / 2;
    char* block = new (std::nothrow) char[size];
    if (block == nullptr)
        return false;
    std::memcpy(block, s, need);
    delete[] buffer;
    buffer = block;
    capacity = size;
    return true;
}

bool Str::Append(const char* s) {
    if (s == nullptr)
        s = "";
    uint32_t current = Length();
    uint32_t add = static_cast<uint32_t>(std::strlen(s));
    uint32_t need = current + add + 1;
    if (need <= capacity) {
        std::memmove(buffer + current, s, add + 1);
        return true;
    }
    uint32_t size = need * 3 / 2;
    char* block = new (std::nothrow) char[size];
    if (block == nullptr)
        return false;
    if (buffer != nullptr)
        std::memcpy(block, buffer, current);
    std::memcpy(block + current, s, add + 1);
    delete[] buffer;
    buffer = block;
    capacity = size;
    return true;
}

uint32_t Str::ToUtf8() {
    if (buffer == nullptr)
        return 0;
    uint32_t n = VXConvertLocalToUnicode(buffer, nullptr, 0, kLocalCodePage, 0);
    if (n == 0)
        return 0;
    std::unique_ptr<uint16_t[]> units(new (std::nothrow) uint16_t[n]());
    if (!units)
        return 0;
    VXConvertLocalToUnicode(buffer, units.get(), n, kLocalCodePage, 0);
    // The last unit is the terminator whatever the converter wrote.
    units[n - 1] = 0;

    uint32_t size = utf8::EncodedSize(units.get(), n);
    char* out = new (std::nothrow) char[size];
    if (out == nullptr)
        return 0;
    utf8::Encode(units.get(), n, out);
    delete[] buffer;
    buffer = out;
    capacity = size;
    return 1;
}
