// Where the DMI bag file lives, decided from what the registry and Windows
// answered. Free of OS headers so the rules can be checked with any inputs.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/HostSettings.h"

constexpr const char* kDmiBagFileName = "VOLXDMI.BAG";
constexpr uint32_t kDmiSignature = 0x444D4931;  // bytes 31 49 4D 44 on disk
constexpr uint32_t kDmiEntriesPerBlock = 20;
// Room for a full name: 255 characters and a NUL.
constexpr size_t kDmiPathRoom = 256;

struct DmiPathInputs {
    bool keyOpened = false;
    // The "Data" value as read into a 256-byte buffer: `dataRead` when the
    // read succeeded, `dataTooLong` when the value did not fit the buffer.
    bool dataRead = false;
    bool dataTooLong = false;
    const char* data = nullptr;
    size_t dataSize = 0;  // bytes returned; need not include a terminator
    bool isWinNT = false;
    // The system directory, or null when it could not be read (or did not fit).
    const char* systemDirectory = nullptr;
};

enum class DmiPathSource {
    DataDirectory,     // "Data" value + "\" + name
    SystemDirectory,   // no settings key, NT family
    CurrentDirectory,  // the bare name
    None,              // the joined name does not fit: no bag file is used
};

const char* DescribeDmiPathSource(DmiPathSource s);

// Builds the bag file's name into `path` (always NUL-terminated; empty for
// None). The directory and the name are joined with one backslash and
// nothing is normalised, so a directory ending in "\" gives "\\". A name
// that would not fit 255 characters is not truncated: the result is None.
DmiPathSource ChooseDmiPath(const DmiPathInputs& in, const char* fileName, char (&path)[kDmiPathRoom]);
