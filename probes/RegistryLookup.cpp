#include "probes/RegistryLookup.h"

#include <cstring>

#include "platform/Handles.h"
#include "platform/RegistryValue.h"

namespace {

// The most data a wanted value may hold; a larger one counts as not found.
constexpr DWORD kDataRoom = 400;

// One open, then one query by name through `read`: the registry finds the
// name without regard to case, as Windows itself does.
template <typename Read>
uint32_t InKey(HKEY root, const char* subkeyPath, Read read) {
    ScopedRegKey key;
    if (RegOpenKeyExA(root, subkeyPath, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return 0;
    return read(key.Get()) ? 1 : 0;
}

}  // namespace

uint32_t GetRegStringValue(HKEY root, const char* subkeyPath, const char* valueName, char* out,
                           uint32_t maxChars) {
    return InKey(root, subkeyPath, [&](HKEY key) {
        // The data need not be terminated: the text ends at its first NUL or its end.
        return ReadRegText(key, valueName, kRegSz | 1u << REG_MULTI_SZ, kDataRoom, out, maxChars) == ERROR_SUCCESS;
    });
}

uint32_t GetRegDwordValue(HKEY root, const char* subkeyPath, const char* valueName, uint32_t* out) {
    return InKey(root, subkeyPath, [&](HKEY key) {
        BYTE data[kDataRoom];
        DWORD size = 0;
        // A REG_DWORD shorter than 4 bytes is not a usable number.
        if (ReadRegValue(key, valueName, 1u << REG_DWORD, data, kDataRoom, &size) != ERROR_SUCCESS || size < 4)
            return false;
        std::memcpy(out, data, 4);
        return true;
    });
}
