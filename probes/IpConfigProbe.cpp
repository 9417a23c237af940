#include "probes/IpConfigProbe.h"

#include <windows.h>

#include <cstring>
#include <initializer_list>

#include "platform/Handles.h"
#include "platform/HwNicLibrary.h"
#include "platform/RegistryValue.h"
#include "platform/WinVersion.h"
#include "probes/RegistryLookup.h"
#include "probes/TextCopy.h"

namespace {

constexpr uint32_t kMaxChars = 255;
constexpr REGSAM kReadAccess = KEY_READ;  // 0x20019

const char kGlobalKey[] = "System\\CurrentControlSet\\Services\\Tcpip\\Parameters";
const char kLinkageKey[] = "SYSTEM\\CurrentControlSet\\Services\\tcpip\\Linkage";
const char kAdaptersKey[] = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Adapters";
const char kInterfacesKey[] = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces";
const char kNoAddress[] = "0.0.0.0";

bool IsEmptyOrNoAddress(const char* text) { return text[0] == '\0' || std::strcmp(text, kNoAddress) == 0; }

// A string value into `out`, unless it is "0.0.0.0".
void ReadAddress(const char* path, const char* valueName, char* out) {
    char value[kMaxChars + 1];
    if (GetRegStringValue(HKEY_LOCAL_MACHINE, path, valueName, value, kMaxChars) &&
        std::strcmp(value, kNoAddress) != 0)
        CopyText(out, value, kMaxChars);
}

void ReadNameServers(const char* path, const char* valueName, const char* separators, char* primaryDns,
                     char* secondaryDns) {
    char list[kMaxChars + 1];
    if (GetRegStringValue(HKEY_LOCAL_MACHINE, path, valueName, list, kMaxChars))
        SplitNameServers(list, separators, primaryDns, secondaryDns, kMaxChars);
}

// The room the NT 4 layout's values are read in.
constexpr DWORD kQueryRoom = 126;

// The local host name's first resolved address, through Windows Sockets 1.1.
void ResolveHostAddress(char* ipAddress) {
    WinsockSession session(MAKEWORD(1, 1));
    if (!session.Started())
        return;
    char name[256];
    if (gethostname(name, 255) != 0)
        return;
    name[255] = '\0';
    const hostent* host = gethostbyname(name);
    if (host == nullptr || host->h_addrtype != AF_INET || host->h_length != 4 || host->h_addr_list == nullptr ||
        host->h_addr_list[0] == nullptr)
        return;
    in_addr address;
    std::memcpy(&address, host->h_addr_list[0], sizeof address);
    const char* text = inet_ntoa(address);
    if (text != nullptr)
        CopyText(ipAddress, text, kMaxChars);
}

}  // namespace

bool ReadIpConfigNt4(uint32_t index, char* ipAddress, char* subnetMask, char* defaultGateway,
                         uint32_t* dhcpEnabled, uint32_t maxChars) {
    // The first string of the tcpip binding list names the adapter service.
    char bind[kQueryRoom + 1];
    {
        ScopedRegKey linkage;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kLinkageKey, 0, kReadAccess, linkage.Receive()) != ERROR_SUCCESS)
            return false;
        if (ReadRegText(linkage.Get(), "Bind", kAnyRegType, kQueryRoom, bind, kQueryRoom) != ERROR_SUCCESS)
            return false;
    }
    if (bind[0] == '\0')
        return false;
    if (index != 0)
        return false;
    const char* slash = std::strrchr(bind, '\\');
    const char* service = slash != nullptr ? slash + 1 : bind;

    // The path is composed in 100 bytes, which serves service names of up to
    // 48 characters; a longer name leaves the adapter unconfigured.
    char path[100];
    if (!JoinText(path, sizeof path, {"SYSTEM\\CurrentControlSet\\Services\\", service, "\\Parameters\\Tcpip"}))
        return false;
    ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, kReadAccess, key.Receive()) != ERROR_SUCCESS)
        return false;
    // A value that cannot be read leaves its output as it was.
    static_cast<void>(ReadRegText(key.Get(), "IPAddress", kAnyRegType, kQueryRoom, ipAddress, maxChars));
    static_cast<void>(ReadRegText(key.Get(), "SubnetMask", kAnyRegType, kQueryRoom, subnetMask, maxChars));
    static_cast<void>(ReadRegText(key.Get(), "DefaultGateway", kAnyRegType, kQueryRoom, defaultGateway, maxChars));
    // The first 4 bytes whatever the type; a shorter value is not a number.
    BYTE data[kQueryRoom];
    DWORD size = 0;
    if (ReadRegValue(key.Get(), "EnableDHCP", kAnyRegType, data, kQueryRoom, &size) == ERROR_SUCCESS && size >= 4)
        std::memcpy(dhcpEnabled, data, 4);
    return true;
}

void ReadIpConfigWin2000(uint32_t index, char* ipAddress, char* subnetMask, char* hostName, char* domainName,
                         char* defaultGateway, char* primaryDns, char* secondaryDns) {
    {
        // Only a sign that TCP/IP is set up; nothing in it is used.
        ScopedRegKey adapters;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAdaptersKey, 0, kReadAccess, adapters.Receive()) != ERROR_SUCCESS)
            return;
    }
    char path[sizeof kInterfacesKey + 1 + 40] = "";  // empty while no interface path is formed
    {
        ScopedRegKey interfaces;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInterfacesKey, 0, kReadAccess, interfaces.Receive()) ==
            ERROR_SUCCESS) {
            char name[40];
            DWORD nameLen = sizeof name;
            if (RegEnumKeyExA(interfaces.Get(), index, name, &nameLen, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                return;
            name[sizeof name - 1] = '\0';
            ScopedRegKey subkey;
            if (RegOpenKeyExA(interfaces.Get(), name, 0, kReadAccess, subkey.Receive()) == ERROR_SUCCESS) {
                JoinText(path, sizeof path, {kInterfacesKey, "\\", name});
                ReadNameServers(path, "NameServer", kInterfaceNameServerSeparators, primaryDns, secondaryDns);
            }
        }
    }
    GetRegStringValue(HKEY_LOCAL_MACHINE, kGlobalKey, "Hostname", hostName, kMaxChars);

    uint32_t dhcp = 0;
    if (path[0] == '\0' || !GetRegDwordValue(HKEY_LOCAL_MACHINE, path, "EnableDHCP", &dhcp))
        return;
    if (dhcp == 0) {
        ReadAddress(path, "IPAddress", ipAddress);
        GetRegStringValue(HKEY_LOCAL_MACHINE, path, "SubnetMask", subnetMask, kMaxChars);
        GetRegStringValue(HKEY_LOCAL_MACHINE, path, "Domain", domainName, kMaxChars);
        ReadAddress(path, "DefaultGateway", defaultGateway);
        ReadNameServers(path, "NameServer", kInterfaceNameServerSeparators, primaryDns, secondaryDns);
    } else {
        ReadAddress(path, "DhcpIPAddress", ipAddress);
        GetRegStringValue(HKEY_LOCAL_MACHINE, path, "DhcpSubnetMask", subnetMask, kMaxChars);
        GetRegStringValue(HKEY_LOCAL_MACHINE, path, "DhcpDomain", domainName, kMaxChars);
        ReadAddress(path, "DhcpDefaultGateway", defaultGateway);
        ReadNameServers(path, "DhcpNameServer", kNameServerSeparators, primaryDns, secondaryDns);
    }
}

int32_t GetAdapterIpConfig(uint32_t index, char* ipAddress, char* subnetMask, char* hostName, char* domainName,
                           char* defaultGateway, char* primaryDns, char* secondaryDns, char* reservedText,
                           uint32_t* reserved1, uint32_t* reserved2) {
    for (char* text : {ipAddress, subnetMask, hostName, domainName, defaultGateway, primaryDns, secondaryDns,
                       reservedText})
        text[0] = '\0';
    *reserved1 = 0;
    *reserved2 = 0;

    if (IsWinNT5()) {
        ReadIpConfigWin2000(index, ipAddress, subnetMask, hostName, domainName, defaultGateway, primaryDns,
                            secondaryDns);
        return 1;
    }

    // Windows NT 4.
    GetRegStringValue(HKEY_LOCAL_MACHINE, kGlobalKey, "Hostname", hostName, kMaxChars);
    GetRegStringValue(HKEY_LOCAL_MACHINE, kGlobalKey, "Domain", domainName, kMaxChars);
    ReadNameServers(kGlobalKey, "NameServer", kNameServerSeparators, primaryDns, secondaryDns);

    uint32_t dhcpEnabled = 0;
    ReadIpConfigNt4(index, ipAddress, subnetMask, defaultGateway, &dhcpEnabled, kMaxChars);

    if (IsEmptyOrNoAddress(ipAddress) || IsEmptyOrNoAddress(subnetMask) || dhcpEnabled != 0) {
        // What the registry lacks comes from the network hardware library.
        HMODULE hwNic = ReloadHwNicModule();
        if (hwNic == nullptr)
            return 0;
        if (auto initHardwareNic = HwNicEntry<InitHardwareNicFn>(hwNic, "InitHardwareNIC"))
            initHardwareNic();
        if (auto getIpAddressInfo = HwNicEntry<GetIpAddressInfoFn>(hwNic, "GetIpAddressInfo")) {
            uint32_t ok = getIpAddressInfo(index, ipAddress, subnetMask, defaultGateway);
            // The library is trusted with the 256-byte buffers, not with
            // terminating them.
            for (char* text : {ipAddress, subnetMask, defaultGateway})
                text[kMaxChars] = '\0';
            if (ok == 0)
                return 0;
        }
    }

    ReadNameServers(kGlobalKey, "DhcpNameServer", kNameServerSeparators, primaryDns, secondaryDns);
    ResolveHostAddress(ipAddress);
    return 1;
}
