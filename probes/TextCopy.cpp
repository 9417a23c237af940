#include "probes/TextCopy.h"

#include <cstring>

void CopyTextFromData(char* dst, const uint8_t* data, size_t size, uint32_t maxChars) {
    const void* nul = std::memchr(data, 0, size);
    size_t length = nul != nullptr ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - data) : size;
    if (length > maxChars)
        length = maxChars;
    std::memcpy(dst, data, length);
    dst[length] = '\0';
}

void CopyText(char* dst, const char* src, uint32_t maxChars) {
    size_t length = 0;
    while (length < maxChars && src[length] != '\0')
        ++length;
    std::memcpy(dst, src, length);
    dst[length] = '\0';
}

bool JoinText(char* out, size_t room, std::initializer_list<const char*> parts) {
    if (room == 0)
        return false;
    size_t length = 0;
    for (const char* part : parts) {
        size_t add = std::strlen(part);
        if (add > room - 1 - length) {
            std::memcpy(out + length, part, room - 1 - length);
            out[room - 1] = '\0';
            return false;
        }
        std::memcpy(out + length, part, add);
        length += add;
    }
    out[length] = '\0';
    return true;
}

void SplitNameServers(const char* list, const char* separators, char* primaryDns, char* secondaryDns,
                      uint32_t maxChars) {
    char* outputs[2] = {primaryDns, secondaryDns};
    int found = 0;
    const char* p = list;
    while (found < 2 && *p != '\0') {
        p += std::strspn(p, separators);
        size_t length = std::strcspn(p, separators);
        if (length == 0)
            break;
        if (length > maxChars)
            length = maxChars;
        std::memcpy(outputs[found], p, length);
        outputs[found][length] = '\0';
        ++found;
        p += std::strcspn(p, separators);
    }
}
