#include "decode/Reader.h"

#include <cstring>

void Reader::Fail(const std::string& message) {
    if (error_.empty())
        error_ = message;
}

bool Reader::Check(size_t off, size_t width, const char* what) {
    if (off <= size_ && width <= size_ - off)
        return true;
    Fail(std::string(what) + ": offset " + std::to_string(off) + " + " + std::to_string(width) +
         " lies past the buffer end (" + std::to_string(size_) + " bytes)");
    return false;
}

uint8_t Reader::U8(size_t off, const char* what) { return Check(off, 1, what) ? data_[off] : 0; }

uint16_t Reader::U16(size_t off, const char* what) {
    if (!Check(off, 2, what))
        return 0;
    return static_cast<uint16_t>(data_[off] | (data_[off + 1] << 8));
}

uint32_t Reader::U32(size_t off, const char* what) {
    if (!Check(off, 4, what))
        return 0;
    return static_cast<uint32_t>(data_[off]) | (static_cast<uint32_t>(data_[off + 1]) << 8) |
           (static_cast<uint32_t>(data_[off + 2]) << 16) | (static_cast<uint32_t>(data_[off + 3]) << 24);
}

std::string Reader::Text(size_t off, size_t floor, const char* what) {
    if (off < floor) {
        Fail(std::string(what) + ": offset " + std::to_string(off) + " points into the fixed part (ends at " +
             std::to_string(floor) + ")");
        return {};
    }
    if (!Check(off, 1, what))
        return {};
    const void* end = std::memchr(data_ + off, 0, size_ - off);
    if (end == nullptr) {
        Fail(std::string(what) + ": text at offset " + std::to_string(off) + " has no terminator inside the buffer");
        return {};
    }
    return std::string(reinterpret_cast<const char*>(data_ + off),
                       static_cast<const uint8_t*>(end) - (data_ + off));
}

std::string Reader::Bytes(size_t off, size_t count, const char* what) {
    if (!Check(off, count, what))
        return {};
    return std::string(reinterpret_cast<const char*>(data_ + off), count);
}

#include "decode/Node.h"

void AddSlotText(Reader& rd, Node& into, const char* key, size_t slotOff, size_t fixedSize, size_t slotWidth) {
    uint32_t off = slotWidth == 4 ? rd.U32(slotOff, key) : rd.U16(slotOff, key);
    if (!rd.Ok())
        return;
    if (off == 0) {
        into.AddMissing(key);
        return;
    }
    std::string text = rd.Text(off, fixedSize, key);
    if (rd.Ok())
        into.AddText(key, text);
}
