// An output buffer with guard zones of a known byte on both sides, so a
// write past either end is seen (no OS headers).
#pragma once
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

class Guarded {
public:
    static constexpr size_t kGuard = 32;
    static constexpr char kFill = 0x5A;
    explicit Guarded(size_t room = 256) : room_(room), bytes_(room + 2 * kGuard, kFill) {}
    char* Out() { return bytes_.data() + kGuard; }
    // The whole usable room, written or not.
    std::string Room() const { return std::string(bytes_.data() + kGuard, room_); }
    // The room up to its first NUL; the room and one fill byte when there is none.
    std::string Text() const {
        const char* out = bytes_.data() + kGuard;
        const void* nul = std::memchr(out, 0, room_);
        return nul ? std::string(out, static_cast<const char*>(nul) - out) : std::string(out, room_ + 1);
    }
    bool CanariesIntact() const {
        for (size_t i = 0; i < kGuard; ++i)
            if (bytes_[i] != kFill || bytes_[bytes_.size() - 1 - i] != kFill)
                return false;
        return true;
    }

private:
    size_t room_;
    std::vector<char> bytes_;
};
