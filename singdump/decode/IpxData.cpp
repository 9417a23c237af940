// "IPX Data": a count and the offset of that many packed network:node texts.
#include "decode/Decoders.h"
#include "decode/Reader.h"
#include "sdk/sing32.h"

void DecodeIpxData(const uint8_t* data, size_t size, DecodeResult& out) {
    Reader rd(data, size);
    uint32_t count = rd.U32(SING_IPX_COUNT, "address count");
    uint32_t first = rd.U32(SING_IPX_FIRST, "first address offset");
    out.fields.AddNumber("count", count);
    Node list = Node::List("addresses");
    size_t at = first;
    // Each text takes at least its terminator, so a count beyond the bytes
    // left fails at the first text past the end.
    for (uint32_t i = 0; i < count && rd.Ok(); ++i) {
        std::string text = rd.Text(at, SING_IPX_FIXED_SIZE, "IPX address");
        if (!rd.Ok())
            break;
        list.AddText("", text);
        at += text.size() + 1;
    }
    if (!rd.Ok()) {
        out.error = rd.Error();
        return;
    }
    out.fields.Add(std::move(list));
}
