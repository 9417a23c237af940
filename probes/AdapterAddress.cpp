#include "probes/AdapterAddress.h"

#include <windows.h>

#include <cstring>

#include "platform/Handles.h"
#include "platform/NetCalls.h"
#include "platform/RegistryValue.h"
#include "platform/WinVersion.h"
#include "probes/AddressText.h"
#include "probes/TextCopy.h"

namespace {

const char kCardList[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";

// The DOS device target "\Device\<name>" and the path "\\.\<name>" are
// composed in 80-byte buffers; longer service names are not served.
constexpr size_t kComposedRoom = 80;
constexpr size_t kMaxServiceName = kComposedRoom - sizeof "\\Device\\";

constexpr DWORD kQueryGlobalStats = 0x170002;  // IOCTL_NDIS_QUERY_GLOBAL_STATS
constexpr DWORD kOid8025CurrentAddress = 0x02010102;
constexpr DWORD kOid8023CurrentAddress = 0x01010102;
constexpr DWORD kStatsRoom = 4096;

// A DOS device name this call defined; removed again unless kept.
class TemporaryDosName {
public:
    TemporaryDosName() = default;
    TemporaryDosName(const TemporaryDosName&) = delete;
    TemporaryDosName& operator=(const TemporaryDosName&) = delete;
    ~TemporaryDosName() {
        if (name_ != nullptr)
            DeviceApi::Current().DefineDosName(DDD_RAW_TARGET_PATH | DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE,
                                               name_, target_);
    }
    bool Define(const char* name, const char* target) {
        if (!DeviceApi::Current().DefineDosName(DDD_RAW_TARGET_PATH, name, target))
            return false;
        name_ = name;
        target_ = target;
        return true;
    }
    void Keep() { name_ = nullptr; }

private:
    const char* name_ = nullptr;
    const char* target_ = nullptr;
};

// The device's answer to one current-address query, when it is exactly six bytes.
bool QueryCurrentAddress(HANDLE device, DWORD oid, uint8_t address[6]) {
    uint8_t answer[kStatsRoom];
    DWORD returned = 0;
    if (!DeviceApi::Current().IoControl(device, kQueryGlobalStats, &oid, sizeof oid, answer, sizeof answer, &returned))
        return false;
    if (returned != 6)
        return false;
    std::memcpy(address, answer, 6);
    return true;
}

}  // namespace

uint32_t QueryAdapterAddress(const char* serviceName, char* adapterAddress, uint32_t* adapterType) {
    if (serviceName == nullptr || serviceName[0] == '\0' || strnlen(serviceName, kMaxServiceName + 1) > kMaxServiceName)
        return 0;
    char target[kComposedRoom];
    char path[kComposedRoom];
    JoinText(target, sizeof target, {"\\Device\\", serviceName});
    JoinText(path, sizeof path, {"\\\\.\\", serviceName});

    DeviceApi& api = DeviceApi::Current();
    // Destroyed after the device is closed: a name defined here goes again
    // when no address was read.
    TemporaryDosName definition;
    char answer[512];
    if (api.QueryDosName(serviceName, answer, sizeof answer) == 0) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND)
            return 0;
        if (!definition.Define(serviceName, target))
            return 0;
    }
    ScopedDevice device(api.OpenDevice(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0));
    if (!device)
        return 0;
    uint8_t address[6];
    uint32_t type;
    if (QueryCurrentAddress(device.Get(), kOid8025CurrentAddress, address))
        type = kTokenRingAdapter;
    else if (QueryCurrentAddress(device.Get(), kOid8023CurrentAddress, address))
        type = kEthernetAdapter;
    else
        return 0;
    *adapterType = type;
    FormatStationAddress(address, adapterAddress);
    definition.Keep();
    return 1;
}

int32_t ReadNetworkCardNt4(uint32_t index, char* adapterAddress, char* description, uint32_t* adapterType,
                           uint32_t maxChars) {
    uint32_t existing = 0;
    for (int n = 0; n <= 9; ++n) {
        char path[sizeof kCardList + 8];
        const char number[] = {static_cast<char>('0' + n), '\0'};
        JoinText(path, sizeof path, {kCardList, "\\", number});
        ScopedRegKey card;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, card.Receive()) != ERROR_SUCCESS)
            continue;
        if (existing++ != index)
            continue;
        char serviceName[128];
        if (ReadRegText(card.Get(), "ServiceName", kRegStrings, 126, serviceName, 125) != ERROR_SUCCESS)
            return 1;
        QueryAdapterAddress(serviceName, adapterAddress, adapterType);
        static_cast<void>(ReadRegText(card.Get(), "Description", kRegStrings, 126, description, maxChars));
        return 1;
    }
    return 0;
}

int32_t ReadNetworkCardWin2000(uint32_t index, char* adapterAddress, char* description, uint32_t* adapterType,
                               uint32_t maxChars) {
    char serviceName[256] = "";
    bool found = false;
    {
        ScopedRegKey list;
        ScopedRegKey card;
        char name[256];
        DWORD nameLength = sizeof name;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCardList, 0, KEY_READ, list.Receive()) == ERROR_SUCCESS &&
            RegEnumKeyExA(list.Get(), index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) ==
                ERROR_SUCCESS &&
            RegOpenKeyExA(list.Get(), name, 0, KEY_READ, card.Receive()) == ERROR_SUCCESS) {
            found = true;
            // A value that cannot be read leaves its output as it was.
            static_cast<void>(ReadRegText(card.Get(), "Description", kRegStrings, 254, description, maxChars));
            static_cast<void>(ReadRegText(card.Get(), "ServiceName", kRegStrings, 254, serviceName, 253));
        }
    }
    if (!found)
        return -1;
    return QueryAdapterAddress(serviceName, adapterAddress, adapterType) != 0 ? 1 : 0;
}

int32_t GetAdapterAddress(uint32_t index, char* adapterAddress, uint32_t* adapterType, char* description) {
    adapterAddress[0] = '\0';
    description[0] = '\0';
    if (IsWinNT5() != 0)
        return ReadNetworkCardWin2000(index, adapterAddress, description, adapterType, 255);
    return ReadNetworkCardNt4(index, adapterAddress, description, adapterType, 255);
}
