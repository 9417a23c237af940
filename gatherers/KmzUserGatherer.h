// "KMZUserInfo": who sits at the machine and where, as an administrator wrote
// it into the profile file "kmzuser.ini" in the host's data directory. 26
// texts from the sections "LOCATION" and "USER", kept in UTF-8.
#pragma once
#include <cstdint>

#include "framework/Gatherer.h"
#include "text/Str.h"

class KmzUserGatherer : public Gatherer {
public:
    static constexpr uint32_t kPacketId = 0xABACAB05;
    static constexpr uint32_t kBufferVersion = 1;
    static constexpr uint32_t kKeyCount = 26;
    // Header plus one u16 offset slot per key.
    static constexpr uint32_t kFixedSize = 12 + 2 * kKeyCount;

    struct Key {
        const char* section;
        const char* name;
    };
    // Reading order, offset-slot order and packing order.
    static const Key kKeys[kKeyCount];

    KmzUserGatherer();

    using Gatherer::FillDataBuf;
    using Gatherer::GetDataBufLen;
    using Gatherer::Update;
    // Reads the profile file; a key without a value keeps what an earlier
    // update read. Always 1.
    uint32_t Update() override;
    uint32_t GetDataBufLen() override;
    uint32_t FillDataBuf(uint8_t* buf) override;

    const Str& Value(uint32_t key) const { return values[key]; }

private:
    Str values[kKeyCount];
};

// The profile file's absolute path while an update runs (253 bytes with the
// NUL); empty otherwise.
constexpr uint32_t kProfilePathRoom = 253;

// Makes `path` absolute (relative to the working directory) into the profile
// path. Returns the profile path, or null when the full path cannot be formed
// or does not fit.
const char* SetProfilePath(const char* path);
// Reads one value from the profile file into buffer (*size bytes with the
// NUL; an absent key reads as the empty text) and stores the number of
// characters read in *size. Returns 1 when nothing was read, 0 otherwise.
uint32_t ReadProfileValue(const char* section, const char* key, char* buffer, uint32_t* size);
void ClearProfilePath();
// The current profile path (empty between updates).
const char* ProfilePath();
