// Fuzzes one data buffer decoder through singdecode's entry point (as a
// server calls it) and singdump's text rendering. The header is made
// consistent with the input so that the time goes into the decoder itself;
// the header checks have their own unit tests.
#include <cstdint>
#include <vector>

#include "decode/Decoders.h"
#include "decode/Node.h"
#include "decode/singdecode.h"
#include "sdk/sing32.h"

#ifndef SING_FORMAT_INDEX
#define SING_FORMAT_INDEX 0
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const uint32_t packet = std::vector<uint32_t>{SING_WINUSER_PACKET_ID, SING_IPINFO_PACKET_ID, SING_NETBIOS_PACKET_ID,
                                                  SING_KMZUSER_PACKET_ID, SING_IPX_PACKET_ID,
                                                  SING_REGIONAL_PACKET_ID}[SING_FORMAT_INDEX];
    std::vector<uint8_t> buf(data, data + size);  // exact size: a read past the end is caught
    const uint32_t fields[3] = {static_cast<uint32_t>(size), packet, sing_format_version(packet)};
    for (size_t b = 0; size >= SING_HEADER_SIZE && b < 12; ++b)
        buf[b] = static_cast<uint8_t>(fields[b / 4] >> (8 * (b % 4)));
    singdecode::ToJson(buf.data(), size);
    RenderText(DescribeBuffer(buf.data(), size, packet).fields, 0);
    return 0;
}
