// Owners for OS resources: one small move-only type per kind of handle, each
// closing exactly once. Closing keeps the caller's last-error value.
#pragma once
#include <windows.h>
#include <lmcons.h>
#include <lmapibuf.h>
#include <ntsecapi.h>

#include <utility>

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;
    UniqueHandle() = default;
    explicit UniqueHandle(Type h) : h_(h) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& o) noexcept : h_(o.Take()) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o)
            Reset(o.Take());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Type Get() const { return h_; }
    bool Valid() const { return Traits::IsValid(h_); }
    explicit operator bool() const { return Valid(); }
    // For APIs that return the handle through an out-parameter.
    Type* Receive() {
        Reset();
        return &h_;
    }
    Type Take() { return std::exchange(h_, Traits::Invalid()); }
    void Reset(Type h = Traits::Invalid()) {
        if (Traits::IsValid(h_)) {
            DWORD err = GetLastError();
            Traits::Close(h_);
            SetLastError(err);
        }
        h_ = h;
    }

private:
    Type h_ = Traits::Invalid();
};

struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) { CloseHandle(h); }
};
using ScopedHandle = UniqueHandle<KernelHandleTraits>;

struct RegKeyTraits {
    using Type = HKEY;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { RegCloseKey(h); }
};
using ScopedRegKey = UniqueHandle<RegKeyTraits>;

struct ModuleTraits {
    using Type = HMODULE;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { FreeLibrary(h); }
};
using ScopedModule = UniqueHandle<ModuleTraits>;

struct LsaHandleTraits {
    using Type = LSA_HANDLE;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { LsaClose(h); }
};
using ScopedLsaHandle = UniqueHandle<LsaHandleTraits>;

// A block the local security authority allocated for its answer.
struct LsaMemoryTraits {
    using Type = void*;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { LsaFreeMemory(h); }
};
using ScopedLsaMemory = UniqueHandle<LsaMemoryTraits>;

// A block a NetApi call allocated for its answer.
struct NetApiBufferTraits {
    using Type = LPBYTE;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { NetApiBufferFree(h); }
};
using ScopedNetApiBuffer = UniqueHandle<NetApiBufferTraits>;

// A Windows Sockets session: Calls::Cleanup() follows every Calls::Startup
// that succeeded, and only those. Calls are the Windows functions
// (WinsockSession) or a probe's replaceable ones.
template <typename Calls>
class BasicWinsockSession {
public:
    explicit BasicWinsockSession(WORD version) {
        WSADATA data;
        started_ = Calls::Startup(version, &data) == 0;
    }
    ~BasicWinsockSession() {
        if (started_)
            Calls::Cleanup();
    }
    BasicWinsockSession(const BasicWinsockSession&) = delete;
    BasicWinsockSession& operator=(const BasicWinsockSession&) = delete;
    bool Started() const { return started_; }

private:
    bool started_ = false;
};

struct WinsockCalls {
    static int Startup(WORD version, WSADATA* data) { return WSAStartup(version, data); }
    static int Cleanup() { return WSACleanup(); }
};
using WinsockSession = BasicWinsockSession<WinsockCalls>;
