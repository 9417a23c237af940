// "IPInfo" (version 3): eight adapters' texts (local code page) behind a
// 268-byte fixed part of u16 offset tables and u32 reserved values. An
// adapter whose texts are all empty (or all absent) and whose reserved
// values are 0 is shown on one line.
#include <cstddef>
#include <cstdint>
#include <string>

#include "decode/Decoders.h"
#include "decode/Reader.h"

void DecodeIPInfo(const uint8_t* data, size_t size, DecodeResult& out) {
    constexpr size_t kFixedSize = 268;
    constexpr size_t kAdapters = 8;
    struct Table {
        const char* key;
        size_t offset;
    };
    // Display order; each table holds one entry per adapter.
    const Table texts[] = {{"ipAddress", 12},    {"subnetMask", 108},   {"defaultGateway", 60},
                           {"hostName", 28},     {"domainName", 44},    {"primaryDns", 76},
                           {"secondaryDns", 92}, {"reservedText", 188}};
    const Table numbers[] = {{"reserved1", 204}, {"reserved2", 236}, {"reserved3", 124}, {"reserved4", 156}};

    Reader rd(data, size);
    if (size < kFixedSize) {
        out.error = "buffer of " + std::to_string(size) + " bytes is shorter than the 268-byte fixed part";
        return;
    }
    for (size_t i = 0; i < kAdapters && rd.Ok(); ++i) {
        std::string name = "adapter" + std::to_string(i);
        Node adapter = Node::Group(name);
        bool allEmpty = true, allAbsent = true;
        for (const Table& t : texts) {
            AddSlotText(rd, adapter, t.key, t.offset + 2 * i, kFixedSize);
            if (!rd.Ok())
                break;
            const Node& added = adapter.children.back();
            allEmpty = allEmpty && added.kind == Node::Kind::Text && added.text.empty();
            allAbsent = allAbsent && added.kind == Node::Kind::Missing;
        }
        bool zeros = true;
        for (const Table& t : numbers) {
            uint32_t v = rd.U32(t.offset + 4 * i, t.key);
            adapter.AddNumber(t.key, v);
            zeros = zeros && v == 0;
        }
        if (!rd.Ok())
            break;
        if (zeros && allEmpty)
            out.fields.AddText(name, "empty");
        else if (zeros && allAbsent)
            out.fields.AddText(name, "no texts");
        else
            out.fields.Add(std::move(adapter));
    }
    if (!rd.Ok())
        out.error = rd.Error();
}
