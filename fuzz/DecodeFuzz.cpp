// Fuzzes one data buffer decoder through singdecode's entry point (as a
// server calls it) and singdump's text rendering. The header is made
// consistent with the input so that the time goes into the decoder itself;
// the header checks have their own unit tests.
#include <cstdint>
#include <cstring>
#include <memory>

#include "decode/Decoders.h"
#include "decode/Node.h"
#include "decode/singdecode.h"
#include "sdk/sing32.h"

#ifndef SING_FORMAT_INDEX
#define SING_FORMAT_INDEX 0
#endif

namespace {
const uint32_t kPackets[] = {SING_WINUSER_PACKET_ID, SING_IPINFO_PACKET_ID, SING_NETBIOS_PACKET_ID,
                             SING_KMZUSER_PACKET_ID, SING_IPX_PACKET_ID,    SING_REGIONAL_PACKET_ID};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const uint32_t packet = kPackets[SING_FORMAT_INDEX];
    // An exact-size copy, so any read past the end is caught.
    std::unique_ptr<uint8_t[]> buf(new uint8_t[size]);
    if (size > 0)
        std::memcpy(buf.get(), data, size);
    if (size >= SING_HEADER_SIZE) {
        uint32_t fields[3] = {static_cast<uint32_t>(size), packet, sing_format_version(packet)};
        for (int f = 0; f < 3; ++f)
            for (int b = 0; b < 4; ++b)
                buf[f * 4 + b] = static_cast<uint8_t>(fields[f] >> (8 * b));
    }
    singdecode::ToJson(buf.get(), size);
    RenderText(DescribeBuffer(buf.get(), size, packet).fields, 0);
    return 0;
}
