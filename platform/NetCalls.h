// The few calls through which the adapter probe reaches a network card's
// driver and the IPX probe reaches the IPX transport. The probes make them
// through DeviceApi::Current() and IpxSocketApi::Current(), which are the
// Windows functions unless a test installed its own answers.
#pragma once
#include <windows.h>
#include <winsock.h>

#include "platform/Handles.h"
#include "platform/Seam.h"

class DeviceApi : public Seam<DeviceApi> {
public:
    virtual ~DeviceApi() = default;
    virtual DWORD QueryDosName(const char* name, char* target, DWORD targetSize);
    virtual BOOL DefineDosName(DWORD flags, const char* name, const char* target);
    virtual HANDLE OpenDevice(const char* path, DWORD access, DWORD shareMode, DWORD creation, DWORD attributes);
    virtual BOOL IoControl(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                           DWORD* returned);
    virtual BOOL CloseDevice(HANDLE device);
};
template <> DeviceApi* Seam<DeviceApi>::real;
template <> DeviceApi* Seam<DeviceApi>::current;

class IpxSocketApi : public Seam<IpxSocketApi> {
public:
    virtual ~IpxSocketApi() = default;
    virtual int Startup(WORD version, WSADATA* data);
    virtual int Cleanup();
    virtual SOCKET Open(int family, int type, int protocol);
    virtual int Bind(SOCKET s, const sockaddr* address, int size);
    virtual int GetOption(SOCKET s, int level, int option, char* value, int* size);
    virtual int CloseSocket(SOCKET s);
};
template <> IpxSocketApi* Seam<IpxSocketApi>::real;
template <> IpxSocketApi* Seam<IpxSocketApi>::current;

// A driver device opened through DeviceApi, closed through it.
struct DeviceHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) { DeviceApi::Current().CloseDevice(h); }
};
using ScopedDevice = UniqueHandle<DeviceHandleTraits>;

// A socket opened through IpxSocketApi.
struct IpxSocketTraits {
    using Type = SOCKET;
    static Type Invalid() { return INVALID_SOCKET; }
    static bool IsValid(Type s) { return s != INVALID_SOCKET; }
    static void Close(Type s) { IpxSocketApi::Current().CloseSocket(s); }
};
using ScopedIpxSocket = UniqueHandle<IpxSocketTraits>;

// A Windows Sockets session started and cleaned up through IpxSocketApi.
struct IpxSocketCalls {
    static int Startup(WORD version, WSADATA* data) { return IpxSocketApi::Current().Startup(version, data); }
    static int Cleanup() { return IpxSocketApi::Current().Cleanup(); }
};
using IpxSocketSession = BasicWinsockSession<IpxSocketCalls>;
