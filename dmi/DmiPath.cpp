#include "dmi/DmiPath.h"

#include <cstring>

namespace {

// "%s\%s" into path, or false (path empty) when it does not fit.
bool Join(const char* dir, size_t dirLength, const char* name, char (&path)[kDmiPathRoom]) {
    size_t nameLength = std::strlen(name);
    if (dirLength + 1 + nameLength >= kDmiPathRoom)
        return false;
    std::memcpy(path, dir, dirLength);
    path[dirLength] = '\\';
    std::memcpy(path + dirLength + 1, name, nameLength + 1);
    return true;
}

}  // namespace

const char* DescribeDmiPathSource(DmiPathSource s) {
    switch (s) {
    case DmiPathSource::DataDirectory: return "the host's data directory (\"Data\" value)";
    case DmiPathSource::SystemDirectory: return "the system directory (no host settings key)";
    case DmiPathSource::CurrentDirectory: return "the current directory";
    case DmiPathSource::None: return "none: the joined name does not fit 255 characters";
    }
    return "unknown";
}

DmiPathSource ChooseDmiPath(const DmiPathInputs& in, const char* fileName, char (&path)[kDmiPathRoom]) {
    path[0] = '\0';
    if (fileName == nullptr)
        return DmiPathSource::None;
    DmiPathSource source;
    bool fits;
    if (in.keyOpened && in.dataTooLong) {
        // The configured directory cannot be named in 255 characters; using
        // another place would put the file where nobody looks for it.
        return DmiPathSource::None;
    }
    // The value need not be terminated: it ends at its first NUL or at the
    // end of what was read. An empty one names no directory and counts as
    // absent, as it does for the profile's data directory (joined, it would
    // put the file in the root of the current drive).
    size_t dataLength = 0;
    if (in.keyOpened && in.dataRead && in.data != nullptr) {
        const void* nul = std::memchr(in.data, 0, in.dataSize);
        dataLength = nul ? static_cast<const char*>(nul) - in.data : in.dataSize;
    }
    if (dataLength > 0) {
        source = DmiPathSource::DataDirectory;
        fits = Join(in.data, dataLength, fileName, path);
    } else if (!in.keyOpened && in.isWinNT) {
        if (in.systemDirectory == nullptr)
            return DmiPathSource::None;
        source = DmiPathSource::SystemDirectory;
        fits = Join(in.systemDirectory, std::strlen(in.systemDirectory), fileName, path);
    } else {
        size_t length = std::strlen(fileName);
        source = DmiPathSource::CurrentDirectory;
        fits = length < kDmiPathRoom;
        if (fits)
            std::memcpy(path, fileName, length + 1);
    }
    if (!fits) {
        path[0] = '\0';
        return DmiPathSource::None;
    }
    return source;
}
