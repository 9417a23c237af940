#include "text/Str.h"

#include <cstring>
#include <functional>
#include <memory>

#include "kmzucd32.h"
#include "text/Utf8.h"

namespace {
// Code-page selector the converter takes for "the local code page".
constexpr uint32_t kLocalCodePage = 42;

// True when s points into the block [buffer, buffer + capacity).
bool PointsInto(const char* s, const char* buffer, uint32_t capacity) {
    if (s == nullptr || buffer == nullptr)
        return false;
    std::less_equal<const char*> le;
    std::less<const char*> lt;
    return le(buffer, s) && lt(s, buffer + capacity);
}

// A text taken from the string's own block is copied out first, since the
// block may be freed before the copy is made.
const char* OwnCopyIfInside(const char* s, const char* buffer, uint32_t capacity, std::unique_ptr<char[]>& own) {
    if (!PointsInto(s, buffer, capacity))
        return s;
    size_t size = std::strlen(s) + 1;
    own.reset(new char[size]);
    std::memcpy(own.get(), s, size);
    return own.get();
}
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

Str& Str::Assign(const char* s) {
    if (s == nullptr)
        s = "";
    std::unique_ptr<char[]> own;
    s = OwnCopyIfInside(s, buffer, capacity, own);
    uint32_t need = static_cast<uint32_t>(std::strlen(s)) + 1;
    if (!(need <= capacity && capacity <= 2 * need)) {
        delete[] buffer;
        capacity = need * 3 / 2;
        buffer = new char[capacity];
    }
    std::memcpy(buffer, s, need);
    return *this;
}

Str& Str::Append(const char* s) {
    if (s == nullptr)
        s = "";
    std::unique_ptr<char[]> own;
    s = OwnCopyIfInside(s, buffer, capacity, own);
    uint32_t current = Length();
    uint32_t add = static_cast<uint32_t>(std::strlen(s));
    uint32_t need = current + add + 1;
    if (need > capacity) {
        uint32_t grown = need * 3 / 2;
        char* block = new char[grown];
        if (buffer != nullptr)
            std::memcpy(block, buffer, current + 1);
        else
            block[0] = '\0';
        delete[] buffer;
        buffer = block;
        capacity = grown;
    }
    std::memcpy(buffer + current, s, add + 1);
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
