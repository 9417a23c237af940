#include "platform/RegistryValue.h"

#include <cstring>

LONG ReadRegValue(HKEY key, const char* name, RegTypes types, void* out, DWORD room, DWORD* size) {
    if (room > kRegValueRoomMax)
        return ERROR_INVALID_PARAMETER;
    // The platform may write into the buffer also when it fails, so the read
    // goes to a buffer of our own first.
    BYTE data[kRegValueRoomMax];
    DWORD type = REG_NONE;
    DWORD got = room;
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, data, &got);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (got > room)
        return ERROR_MORE_DATA;
    if (types != kAnyRegType && (type >= 32 || (types & (1u << type)) == 0))
        return ERROR_INVALID_DATATYPE;
    std::memcpy(out, data, got);
    *size = got;
    return ERROR_SUCCESS;
}

LONG ReadRegText(HKEY key, const char* name, RegTypes types, DWORD room, char* out, uint32_t maxChars,
                 uint32_t* length) {
    char data[kRegValueRoomMax];
    DWORD size = 0;
    LONG rc = ReadRegValue(key, name, types, data, room, &size);
    if (rc != ERROR_SUCCESS)
        return rc;
    size_t n = strnlen(data, size);
    if (n > maxChars)
        n = maxChars;
    std::memcpy(out, data, n);
    out[n] = '\0';
    if (length != nullptr)
        *length = static_cast<uint32_t>(n);
    return ERROR_SUCCESS;
}
