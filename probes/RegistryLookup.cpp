#include "probes/RegistryLookup.h"

#include <cstring>

#include "platform/Handles.h"
#include "probes/TextCopy.h"

namespace {

constexpr DWORD kNameRoom = 400;
constexpr DWORD kDataRoom = 400;

// Enumerates values from index 0 until `match` accepts one (result 1) or an
// enumeration step fails (result 0).
template <typename Match>
uint32_t FindValue(HKEY root, const char* subkeyPath, const char* valueName, DWORD wantedType, Match match) {
    ScopedRegKey key;
    if (RegOpenKeyExA(root, subkeyPath, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return 0;
    char name[kNameRoom];
    BYTE data[kDataRoom];
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = kNameRoom;
        DWORD dataLen = kDataRoom;
        DWORD type = 0;
        if (RegEnumValueA(key.Get(), i, name, &nameLen, nullptr, &type, data, &dataLen) != ERROR_SUCCESS)
            return 0;
        if (dataLen > kDataRoom)
            return 0;
        bool typeOk = wantedType == REG_SZ ? (type == REG_SZ || type == REG_MULTI_SZ) : type == wantedType;
        if (typeOk && std::strcmp(name, valueName) == 0)
            return match(data, dataLen);
    }
}

}  // namespace

uint32_t GetRegStringValue(HKEY root, const char* subkeyPath, const char* valueName, char* out,
                           uint32_t maxChars) {
    return FindValue(root, subkeyPath, valueName, REG_SZ, [&](const BYTE* data, DWORD size) -> uint32_t {
        // The data need not be terminated: stop at its first NUL or its end.
        CopyTextFromData(out, data, size, maxChars);
        return 1;
    });
}

uint32_t GetRegDwordValue(HKEY root, const char* subkeyPath, const char* valueName, uint32_t* out) {
    return FindValue(root, subkeyPath, valueName, REG_DWORD, [&](const BYTE* data, DWORD size) -> uint32_t {
        // A REG_DWORD shorter than 4 bytes is not a usable number.
        if (size < 4)
            return 0;
        std::memcpy(out, data, 4);
        return 1;
    });
}
