// Reading "kmzuser.ini" for the "KMZUserInfo" gatherer through the
// operating system's private-profile reader.
#include <windows.h>

#include <cstdlib>

#include "gatherers/KmzUserGatherer.h"
#include "platform/CmdLine.h"

namespace {

char profilePath[kProfilePathRoom];

// 255 characters of room: at most 254 come back, with the NUL.
constexpr uint32_t kValueRoom = 256;
constexpr uint32_t kValueRead = 255;

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

uint32_t KmzUserGatherer::Update() {
    // The host's settings are read afresh on every update.
    CmdLine host(1);
    // The data directory normally ends in a separator already; the doubled
    // one this gives is harmless to the full-path step and the file access.
    Str path(host.GetDataDir());
    path.Append("\\");
    path.Append("kmzuser.ini");
    if (SetProfilePath(path.CStr()) == nullptr)
        return 1;
    for (uint32_t i = 0; i < kKeyCount; ++i) {
        char value[kValueRoom];
        value[0] = '\0';
        uint32_t size = kValueRead;
        if (ReadProfileValue(kKeys[i].section, kKeys[i].name, value, &size) == 0 && value[0] != '\0') {
            values[i].Assign(value);
            values[i].ToUtf8();
        }
    }
    ClearProfilePath();
    return 1;
}
