#include "probes/ProfileReader.h"

#include <windows.h>

#include <cstdlib>

namespace {
char profilePath[kProfilePathRoom];
}  // namespace

const char* SetProfilePath(const char* path) {
    if (_fullpath(profilePath, path, kProfilePathRoom) == nullptr) {
        profilePath[0] = '\0';
        return nullptr;
    }
    return profilePath;
}

uint32_t ReadProfileValue(const char* section, const char* key, char* buffer, uint32_t* size) {
    *size = GetPrivateProfileStringA(section, key, nullptr, buffer, *size, profilePath);
    return *size == 0 ? 1 : 0;
}

void ClearProfilePath() { profilePath[0] = '\0'; }

const char* ProfilePath() { return profilePath; }
