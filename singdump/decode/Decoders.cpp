#include "decode/Decoders.h"

#include <cstdio>

#include "decode/Reader.h"
#include "sdk/sing32.h"

void DecodeWindowsUserInfo(const uint8_t* data, size_t size, DecodeResult& out);
void DecodeIPInfo(const uint8_t* data, size_t size, DecodeResult& out);
void DecodeNetbiosInfo(const uint8_t* data, size_t size, DecodeResult& out);
void DecodeIpxData(const uint8_t* data, size_t size, DecodeResult& out);
void DecodeRegionalData(const uint8_t* data, size_t size, DecodeResult& out);
void DecodeKmzUserInfo(const uint8_t* data, size_t size, DecodeResult& out);

namespace {

// One line per gatherer buffer format; each decoder lives in its own file.
// Versions and layouts are those of sdk/sing32.h.
const BufferFormat kFormats[] = {
    {SING_WINUSER_PACKET_ID, DecodeWindowsUserInfo}, {SING_IPINFO_PACKET_ID, DecodeIPInfo},
    {SING_NETBIOS_PACKET_ID, DecodeNetbiosInfo},     {SING_KMZUSER_PACKET_ID, DecodeKmzUserInfo},
    {SING_IPX_PACKET_ID, DecodeIpxData},             {SING_REGIONAL_PACKET_ID, DecodeRegionalData},
};

}  // namespace

const BufferFormat* FindFormat(uint32_t packetId) {
    for (const BufferFormat& f : kFormats)
        if (f.packetId == packetId)
            return &f;
    return nullptr;
}

DecodeResult DecodeBuffer(const uint8_t* data, size_t size, uint32_t expectedPacketId) {
    DecodeResult r;
    Reader rd(data, size);
    uint32_t length = rd.U32(SING_HEADER_LENGTH, "header length");
    uint32_t packet = rd.U32(SING_HEADER_PACKET_ID, "header packet id");
    uint32_t version = rd.U32(SING_HEADER_VERSION, "header version");
    if (!rd.Ok()) {
        r.error = rd.Error();
        return r;
    }
    Node header = Node::Group("header");
    header.AddNumber("length", length);
    header.AddHex("packetId", packet);
    header.AddNumber("version", version);
    r.fields.Add(header);
    if (length != size) {
        r.error = "header length " + std::to_string(length) + " differs from the buffer size " + std::to_string(size);
        return r;
    }
    if (packet != expectedPacketId) {
        char buf[96];
        std::snprintf(buf, sizeof buf, "header packet id 0x%08X differs from the gatherer's 0x%08X", packet,
                      expectedPacketId);
        r.error = buf;
        return r;
    }
    const BufferFormat* f = FindFormat(packet);
    if (f == nullptr) {
        r.error = "no decoder for this packet id";
        return r;
    }
    uint32_t known = sing_format_version(packet);
    if (version != known) {
        r.error = "buffer version " + std::to_string(version) + " is not the known version " + std::to_string(known);
        return r;
    }
    f->decode(data, size, r);
    if (r.error.empty())
        r.ok = true;
    return r;
}

DecodeResult DescribeBuffer(const uint8_t* data, size_t size, uint32_t expectedPacketId) {
    DecodeResult r = DecodeBuffer(data, size, expectedPacketId);
    Node report = Node::Group("fields");
    report.AddText("status", r.ok ? "ok" : "malformed buffer: " + r.error);
    for (Node& c : r.fields.children)
        report.Add(std::move(c));
    r.fields = std::move(report);
    return r;
}
