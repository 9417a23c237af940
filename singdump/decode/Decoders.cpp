#include "decode/Decoders.h"

#include <cstdio>

#include "decode/Reader.h"

void DecodeWindowsUserInfo(const uint8_t* data, size_t size, DecodeResult& out);
void DecodeIPInfo(const uint8_t* data, size_t size, DecodeResult& out);
void DecodeNetbiosInfo(const uint8_t* data, size_t size, DecodeResult& out);
void DecodeIpxData(const uint8_t* data, size_t size, DecodeResult& out);
void DecodeRegionalData(const uint8_t* data, size_t size, DecodeResult& out);
void DecodeKmzUserInfo(const uint8_t* data, size_t size, DecodeResult& out);

namespace {

// One line per gatherer buffer format; each decoder lives in its own file.
const BufferFormat kFormats[] = {
    {0, nullptr, 0, nullptr},  // placeholder so the table is never empty
    {0xABACAB01, "WindowsUserInfo", 1, DecodeWindowsUserInfo},
    {0xABACAB02, "IPInfo", 3, DecodeIPInfo},
    {0xABACAB04, "NETBIOSInfo", 4, DecodeNetbiosInfo},
    {0xABACAB05, "KMZUserInfo", 1, DecodeKmzUserInfo},
    {0xABACAB0A, "IPX Data", 1, DecodeIpxData},
    {0xABACAB0B, "Regional Data", 1, DecodeRegionalData},
};

}  // namespace

const BufferFormat* FindFormat(uint32_t packetId) {
    for (const BufferFormat& f : kFormats)
        if (f.decode != nullptr && f.packetId == packetId)
            return &f;
    return nullptr;
}

DecodeResult DecodeBuffer(const uint8_t* data, size_t size, uint32_t expectedPacketId) {
    DecodeResult r;
    Reader rd(data, size);
    uint32_t length = rd.U32(0, "header length");
    uint32_t packet = rd.U32(4, "header packet id");
    uint32_t version = rd.U32(8, "header version");
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
    if (version != f->version) {
        r.error = "buffer version " + std::to_string(version) + " is not the known version " +
                  std::to_string(f->version);
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

std::string HexDump(const uint8_t* data, size_t size) {
    std::string out;
    char buf[16];
    for (size_t line = 0; line < size; line += 16) {
        std::snprintf(buf, sizeof buf, "%06zX  ", line);
        out += buf;
        for (size_t i = 0; i < 16; ++i) {
            if (line + i < size) {
                std::snprintf(buf, sizeof buf, "%02X ", data[line + i]);
                out += buf;
            } else {
                out += "   ";
            }
        }
        out += " ";
        for (size_t i = 0; i < 16 && line + i < size; ++i) {
            uint8_t c = data[line + i];
            out += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '.';
        }
        out += "\n";
    }
    return out;
}
