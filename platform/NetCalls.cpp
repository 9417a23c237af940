#include "platform/NetCalls.h"

DWORD DeviceApi::QueryDosName(const char* name, char* target, DWORD targetSize) {
    return QueryDosDeviceA(name, target, targetSize);
}

BOOL DeviceApi::DefineDosName(DWORD flags, const char* name, const char* target) {
    return DefineDosDeviceA(flags, name, target);
}

HANDLE DeviceApi::OpenDevice(const char* path, DWORD access, DWORD shareMode, DWORD creation, DWORD attributes) {
    return CreateFileA(path, access, shareMode, nullptr, creation, attributes, nullptr);
}

BOOL DeviceApi::IoControl(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                          DWORD* returned) {
    return DeviceIoControl(device, code, in, inSize, out, outSize, returned, nullptr);
}

BOOL DeviceApi::CloseDevice(HANDLE device) { return CloseHandle(device); }

int IpxSocketApi::Startup(WORD version, WSADATA* data) { return WSAStartup(version, data); }
int IpxSocketApi::Cleanup() { return WSACleanup(); }
SOCKET IpxSocketApi::Open(int family, int type, int protocol) { return socket(family, type, protocol); }
int IpxSocketApi::Bind(SOCKET s, const sockaddr* address, int size) { return bind(s, address, size); }
int IpxSocketApi::GetOption(SOCKET s, int level, int option, char* value, int* size) {
    return getsockopt(s, level, option, value, size);
}
int IpxSocketApi::CloseSocket(SOCKET s) { return closesocket(s); }

namespace {
DeviceApi realDevices;
IpxSocketApi realSockets;
}  // namespace

template <> DeviceApi* Seam<DeviceApi>::real = &realDevices;
template <> DeviceApi* Seam<DeviceApi>::current = &realDevices;
template <> IpxSocketApi* Seam<IpxSocketApi>::real = &realSockets;
template <> IpxSocketApi* Seam<IpxSocketApi>::current = &realSockets;
