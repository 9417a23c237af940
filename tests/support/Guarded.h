// An output buffer between guard zones of a known byte, so a write past
// either end is seen (no OS headers).
#pragma once
#include <algorithm>
#include <string>

class Guarded {
public:
    static constexpr size_t kGuard = 32;
    static constexpr char kFill = 0x5A;
    explicit Guarded(size_t room = 256) : room_(room), bytes_(room + 2 * kGuard, kFill) {}
    char* Out() { return &bytes_[kGuard]; }
    // The whole usable room, written or not.
    std::string Room() const { return bytes_.substr(kGuard, room_); }
    // The room up to its first NUL; the room and one fill byte when there is none.
    std::string Text() const { return bytes_.substr(kGuard, std::min(Room().find('\0'), room_ + 1)); }
    bool CanariesIntact() const { return bytes_.substr(0, kGuard) + bytes_.substr(kGuard + room_) == std::string(2 * kGuard, kFill); }

private:
    size_t room_;
    std::string bytes_;
};
