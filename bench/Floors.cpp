#include "Floors.h"

#include <windows.h>
#include <lm.h>
#include <ntsecapi.h>

#include <cstdint>

#include "platform/Handles.h"

namespace {

const char kTcpip[] = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
const char kInterfaces[] = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces";
const char kCurrentVersion[] = "Software\\Microsoft\\Windows NT\\CurrentVersion";
const char kCards[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";

// The OS calls of a floor, counted in `calls`: each registry value read by
// name with one open, query and close.
struct Direct {
    long calls = 0;
    bool Open(HKEY parent, const char* path, ScopedRegKey& key) {
        calls += 2;  // the open and its close
        return RegOpenKeyExA(parent, path, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
    }
    bool Query(HKEY key, const char* name, char (&data)[400]) {
        ++calls;
        DWORD size = sizeof data - 1;
        if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
            return false;
        data[size] = '\0';
        return true;
    }
    // Subkey number `index` of HKLM\path, opened; its name in `name`.
    template <size_t N>
    bool OpenSubkey(const char* path, DWORD index, char (&name)[N], ScopedRegKey& subkey) {
        ScopedRegKey list;
        DWORD length = N;
        ++calls;
        return Open(HKEY_LOCAL_MACHINE, path, list) &&
               RegEnumKeyExA(list.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
               Open(list.Get(), name, subkey);
    }
    bool Read(const char* path, const char* name, char (&data)[400]) {
        ScopedRegKey key;
        return Open(HKEY_LOCAL_MACHINE, path, key) && Query(key.Get(), name, data);
    }
};

long FloorIpInfo() {
    Direct d;
    char data[400];
    for (DWORD index = 0; index < 8; ++index) {
        ScopedRegKey adapters, itf;
        char name[40];
        if (!d.Open(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Adapters", adapters) ||
            !d.OpenSubkey(kInterfaces, index, name, itf))
            continue;
        std::string path = std::string(kInterfaces) + "\\" + name;
        d.Read(path.c_str(), "NameServer", data);
        d.Read(kTcpip, "Hostname", data);
        if (!d.Read(path.c_str(), "EnableDHCP", data))
            continue;
        bool dhcp = data[0] != 0 || data[1] != 0 || data[2] != 0 || data[3] != 0;
        static const char* const kStatic[] = {"IPAddress", "SubnetMask", "Domain", "DefaultGateway", "NameServer"};
        static const char* const kDhcp[] = {"DhcpIPAddress", "DhcpSubnetMask", "DhcpDomain", "DhcpDefaultGateway",
                                            "DhcpNameServer"};
        for (const char* value : dhcp ? kDhcp : kStatic)
            d.Read(path.c_str(), value, data);
    }
    return d.calls;
}

long FloorWindowsUserInfo() {
    Direct d;
    char data[400];
    DWORD size = 255;
    ++d.calls;
    GetComputerNameA(data, &size);
    if (d.Read("System\\CurrentControlSet\\Control", "CurrentUser", data) && std::string(data) == "USERNAME")
        d.Read("Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", "DefaultUserName", data);
    {
        ScopedNetApiBuffer info;
        d.calls += 2;
        NetWkstaGetInfo(nullptr, 100, info.Receive());
    }
    {
        LSA_OBJECT_ATTRIBUTES attributes{};
        ScopedLsaHandle policy;
        ScopedLsaMemory primary;
        d.calls += 4;
        if (LsaOpenPolicy(nullptr, &attributes, POLICY_VIEW_LOCAL_INFORMATION, policy.Receive()) == 0)
            LsaQueryInformationPolicy(policy.Get(), PolicyPrimaryDomainInformation, primary.Receive());
    }
    for (const char* value : {"RegisteredOrganization", "RegisteredOwner", "ProductId"})
        d.Read(kCurrentVersion, value, data);
    return d.calls;
}

long FloorNetbiosInfo() {
    Direct d;
    for (DWORD index = 0; index < 8; ++index) {
        char service[400] = "", description[400];
        {
            ScopedRegKey card;
            char name[256];
            if (!d.OpenSubkey(kCards, index, name, card))
                continue;
            d.Query(card.Get(), "Description", description);
            d.Query(card.Get(), "ServiceName", service);
        }
        char target[512];
        ++d.calls;
        if (service[0] == '\0' || QueryDosDeviceA(service, target, sizeof target) == 0)
            continue;
        std::string path = std::string("\\\\.\\") + service;
        d.calls += 2;
        ScopedHandle device(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
        if (!device)
            continue;
        for (DWORD oid : {0x02010102u, 0x01010102u}) {
            uint8_t answer[4096];
            DWORD returned = 0;
            ++d.calls;
            if (DeviceIoControl(device.Get(), 0x170002, &oid, sizeof oid, answer, sizeof answer, &returned, nullptr) &&
                returned == 6)
                break;
        }
    }
    return d.calls;
}

}  // namespace

FloorFn FloorOf(const std::string& gatherer) {
    if (gatherer == "WindowsUserInfo") return FloorWindowsUserInfo;
    if (gatherer == "IPInfo") return FloorIpInfo;
    if (gatherer == "NETBIOSInfo") return FloorNetbiosInfo;
    return nullptr;
}
