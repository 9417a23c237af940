#include "probes/RegistryLookup.h"

#include <cstring>

#include "platform/Handles.h"
#include "probes/TextCopy.h"

namespace {

constexpr DWORD kNameRoom = 400;
constexpr DWORD kDataRoom = 400;

struct Value {
    DWORD type = 0;
    DWORD size = 0;
    BYTE data[kDataRoom];
};

bool TypeAccepted(DWORD type, DWORD wantedType) {
    return wantedType == REG_SZ ? (type == REG_SZ || type == REG_MULTI_SZ) : type == wantedType;
}

enum class Step { Read, PassedOver, End };

// One enumeration step into the 400-byte rooms. A value whose name or data
// does not fit is passed over; the end of the values or any other failure
// ends the enumeration.
Step EnumerateValue(HKEY key, DWORD index, char (&name)[kNameRoom], Value& value) {
    DWORD nameLength = kNameRoom;
    value.size = kDataRoom;
    value.type = 0;
    LONG rc = RegEnumValueA(key, index, name, &nameLength, nullptr, &value.type, value.data, &value.size);
    if (rc == ERROR_MORE_DATA)
        return Step::PassedOver;
    if (rc != ERROR_SUCCESS)
        return Step::End;
    if (nameLength >= kNameRoom || value.size > kDataRoom)
        return Step::PassedOver;
    name[nameLength] = '\0';
    return Step::Read;
}

// Finds the value named exactly `valueName` (case-sensitive) with an
// accepted type whose name and data fit the rooms, by enumerating the values
// from index 0, and hands it to `accept`. Names are unique whatever their
// case, so the first exact match is the only one.
template <typename Accept>
uint32_t FindValue(HKEY root, const char* subkeyPath, const char* valueName, DWORD wantedType, Accept accept) {
    ScopedRegKey key;
    if (RegOpenKeyExA(root, subkeyPath, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return 0;
    char name[kNameRoom];
    Value value;
    for (DWORD i = 0;; ++i) {
        Step step = EnumerateValue(key.Get(), i, name, value);
        if (step == Step::End)
            return 0;
        if (step == Step::Read && std::strcmp(name, valueName) == 0)
            return TypeAccepted(value.type, wantedType) ? accept(value) : 0;
    }
}

}  // namespace

uint32_t GetRegStringValue(HKEY root, const char* subkeyPath, const char* valueName, char* out,
                           uint32_t maxChars) {
    return FindValue(root, subkeyPath, valueName, REG_SZ, [&](const Value& v) -> uint32_t {
        // The data need not be terminated: stop at its first NUL or its end.
        CopyTextFromData(out, v.data, v.size, maxChars);
        return 1;
    });
}

uint32_t GetRegDwordValue(HKEY root, const char* subkeyPath, const char* valueName, uint32_t* out) {
    return FindValue(root, subkeyPath, valueName, REG_DWORD, [&](const Value& v) -> uint32_t {
        // A REG_DWORD shorter than 4 bytes is not a usable number.
        if (v.size < 4)
            return 0;
        std::memcpy(out, v.data, 4);
        return 1;
    });
}
