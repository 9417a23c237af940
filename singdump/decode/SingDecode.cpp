#include "decode/singdecode.h"

#include "decode/Decoders.h"
#include "decode/Node.h"
#include "decode/Reader.h"
#include "sdk/sing32.h"

namespace singdecode {

Decoded ToJson(const uint8_t* data, size_t size, uint32_t packetId) {
    if (packetId == 0) {
        Reader rd(data, size);
        packetId = rd.U32(SING_HEADER_PACKET_ID, "header packet id");
    }
    DecodeResult r = DescribeBuffer(data, size, packetId);
    Decoded d;
    d.ok = r.ok;
    d.error = r.error;
    d.json = RenderJson(r.fields);
    return d;
}

}  // namespace singdecode
