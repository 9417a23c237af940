// "IPInfo": eight adapters' texts (local code page) behind a fixed part of
// u16 offset tables and u32 reserved values. An adapter whose texts are all
// empty (or all absent) and whose reserved values are 0 is shown on one line.
#include <cstddef>
#include <cstdint>
#include <string>

#include "decode/Decoders.h"
#include "decode/Reader.h"
#include "sdk/sing32.h"

void DecodeIPInfo(const uint8_t* data, size_t size, DecodeResult& out) {
    struct Table {
        const char* key;
        size_t offset;
    };
    // Display order; each table holds one entry per adapter.
    const Table texts[] = {{"ipAddress", SING_IPINFO_IP_ADDRESS},       {"subnetMask", SING_IPINFO_SUBNET_MASK},
                           {"defaultGateway", SING_IPINFO_DEFAULT_GATEWAY}, {"hostName", SING_IPINFO_HOST_NAME},
                           {"domainName", SING_IPINFO_DOMAIN_NAME},     {"primaryDns", SING_IPINFO_PRIMARY_DNS},
                           {"secondaryDns", SING_IPINFO_SECONDARY_DNS}, {"reservedText", SING_IPINFO_RESERVED_TEXT}};
    const Table numbers[] = {{"reserved1", SING_IPINFO_RESERVED1}, {"reserved2", SING_IPINFO_RESERVED2},
                             {"reserved3", SING_IPINFO_RESERVED3}, {"reserved4", SING_IPINFO_RESERVED4}};

    Reader rd(data, size);
    if (size < SING_IPINFO_FIXED_SIZE) {
        out.error = "buffer of " + std::to_string(size) + " bytes is shorter than the " +
                    std::to_string(SING_IPINFO_FIXED_SIZE) + "-byte fixed part";
        return;
    }
    for (size_t i = 0; i < SING_IPINFO_ADAPTERS && rd.Ok(); ++i) {
        std::string name = "adapter" + std::to_string(i);
        Node adapter = Node::Group(name);
        bool allEmpty = true, allAbsent = true;
        for (const Table& t : texts) {
            AddSlotText(rd, adapter, t.key, t.offset + 2 * i, SING_IPINFO_FIXED_SIZE);
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
