#include "gatherers/KmzUserGatherer.h"

#include <cstring>

#include "framework/DataBuf.h"
#include "platform/CmdLine.h"
#include "probes/ProfileReader.h"

namespace {
// 255 characters of room: at most 254 come back, with the NUL.
constexpr uint32_t kValueRoom = 256;
constexpr uint32_t kValueRead = 255;
}  // namespace

KmzUserGatherer::KmzUserGatherer() : Gatherer("KMZUserInfo", SING_KMZUSER_PACKET_ID) {}

uint32_t KmzUserGatherer::Update() {
    // The host's settings are read afresh on every update.
    CmdLine host(1);
    // The data directory normally ends in a separator already; the doubled
    // one this gives is harmless to the full-path step and the file access.
    // Without memory for the path nothing is read, as with a path too long.
    Str path(host.GetDataDir());
    if (host.GetDataDir() == nullptr || path.CStr() == nullptr || !path.Append("\\") ||
        !path.Append("kmzuser.ini") || SetProfilePath(path.CStr()) == nullptr)
        return 1;
    for (uint32_t key = 0; key < SING_KMZUSER_KEYS; ++key) {
        char value[kValueRoom];
        value[0] = '\0';
        uint32_t size = kValueRead;
        if (ReadProfileValue(sing_kmzuser_section(key), sing_kmzuser_key_name(key), value, &size) == 0 &&
            value[0] != '\0' && values[key].Assign(value))
            values[key].ToUtf8();
    }
    ClearProfilePath();
    return 1;
}

uint32_t KmzUserGatherer::GetDataBufLen() {
    return SING_KMZUSER_FIXED_SIZE + databuf::TextsSize(values, SING_KMZUSER_KEYS);
}

uint32_t KmzUserGatherer::FillDataBuf(uint8_t* buf) {
    uint32_t length = GetDataBufLen();
    std::memset(buf, 0, length);
    databuf::WriteHeader(buf, length, GetUniquePacketID(), SING_KMZUSER_VERSION);
    databuf::TextPacker texts(buf, SING_KMZUSER_FIXED_SIZE, length);
    for (uint32_t key = 0; key < SING_KMZUSER_KEYS; ++key)
        databuf::PutU16(buf, SING_KMZUSER_SLOT(key), static_cast<uint16_t>(texts.Put(values[key])));
    return 1;
}
