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

// Where each wanted value was found last, as its enumeration index, so that
// the next lookup of it reads that one step instead of scanning the key.
// The step itself proves the value is still there under its exact name, so
// a stale or colliding entry costs time, never a different result. Keyed by
// a hash of root, path and name; a few probes per hash. Not guarded: the
// library is called from one thread at a time.
constexpr uint32_t kSlots = 512;
constexpr uint32_t kProbes = 4;
struct Slot {
    uint32_t hash;
    DWORD indexPlusOne;  // 0: empty
};
Slot lastSeen[kSlots];

uint32_t HashOf(HKEY root, const char* path, const char* name) {
    uint32_t h = 2166136261u;
    auto mix = [&h](uint8_t b) { h = (h ^ b) * 16777619u; };
    auto bits = reinterpret_cast<uintptr_t>(root);
    for (size_t i = 0; i < sizeof bits; ++i)
        mix(static_cast<uint8_t>(bits >> (8 * i)));
    for (const char* p = path; *p != '\0'; ++p)
        mix(static_cast<uint8_t>(*p));
    mix(0);
    for (const char* p = name; *p != '\0'; ++p)
        mix(static_cast<uint8_t>(*p));
    return h;
}

DWORD RememberedIndex(uint32_t hash) {
    for (uint32_t k = 0; k < kProbes; ++k) {
        const Slot& s = lastSeen[(hash + k) % kSlots];
        if (s.indexPlusOne != 0 && s.hash == hash)
            return s.indexPlusOne;
    }
    return 0;
}

void Remember(uint32_t hash, DWORD index) {
    Slot* target = &lastSeen[hash % kSlots];
    for (uint32_t k = 0; k < kProbes; ++k) {
        Slot& s = lastSeen[(hash + k) % kSlots];
        if (s.hash == hash || s.indexPlusOne == 0) {
            target = &s;
            break;
        }
    }
    *target = {hash, index + 1};
}

// Finds the value named exactly `valueName` (case-sensitive) with an
// accepted type whose name and data fit the rooms, and hands it to `accept`.
// The result is that of enumerating every value from index 0, done cheaply:
// value names are unique whatever their case, so one query by name tells
// whether the value can exist at all; only a hit needs the scan that checks
// the stored name's case, and the index it finds is remembered.
template <typename Accept>
uint32_t FindValue(HKEY root, const char* subkeyPath, const char* valueName, DWORD wantedType, Accept accept) {
    if (strnlen(valueName, kNameRoom) >= kNameRoom)
        return 0;  // no enumeration step can return such a name
    ScopedRegKey key;
    if (RegOpenKeyExA(root, subkeyPath, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return 0;
    char name[kNameRoom];
    Value value;
    const uint32_t hash = HashOf(root, subkeyPath, valueName);
    if (DWORD remembered = RememberedIndex(hash)) {
        if (EnumerateValue(key.Get(), remembered - 1, name, value) == Step::Read &&
            std::strcmp(name, valueName) == 0)
            return TypeAccepted(value.type, wantedType) ? accept(value) : 0;
    }

    // Missing in every case, data over the room, or a type not accepted: the
    // exact-case value is not found either.
    value.size = kDataRoom;
    if (RegQueryValueExA(key.Get(), valueName, nullptr, &value.type, value.data, &value.size) != ERROR_SUCCESS ||
        value.size > kDataRoom || !TypeAccepted(value.type, wantedType))
        return 0;

    for (DWORD i = 0;; ++i) {
        Step step = EnumerateValue(key.Get(), i, name, value);
        if (step == Step::End)
            return 0;
        if (step == Step::Read && std::strcmp(name, valueName) == 0) {
            Remember(hash, i);
            return TypeAccepted(value.type, wantedType) ? accept(value) : 0;
        }
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
