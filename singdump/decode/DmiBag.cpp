#include "decode/DmiBag.h"

#include "dmi/BagFormat.h"

DecodeResult DecodeBagFile(const uint8_t* data, size_t size, uint32_t expectedSignature) {
    DecodeResult r;
    r.fields.AddNumber("fileSize", size);
    bag::MemorySource source(data, size);
    uint8_t bytes[bag::kHeaderSize];
    uint32_t got = source.ReadAt(0, bytes, sizeof bytes);
    bag::Header h;
    bag::Status status = bag::ParseHeader(bytes, got, expectedSignature, h);
    Node header = Node::Group("header");
    if (got == bag::kHeaderSize) {
        header.AddHex("signature", h.signature);
        header.AddHex("magic", h.magic);
        header.AddNumber("entriesPerBlock", h.entriesPerBlock);
        header.AddNumber("firstBlockOffset", h.firstBlockOffset);
    }
    r.fields.Add(std::move(header));
    if (status != bag::Status::Ok) {
        r.error = bag::Describe(status);
        return r;
    }
    uint32_t blockSize = bag::BlockSize(h.entriesPerBlock);
    r.fields.AddNumber("blockSize", blockSize);

    bag::BlockArray blocks;
    bag::ChainResult chain = bag::LoadChain(source, h.firstBlockOffset, blockSize, blocks);
    r.fields.AddNumber("blockCount", blocks.Count());
    Node list = Node::List("blocks");
    uint32_t offset = h.firstBlockOffset;
    for (uint32_t b = 0; b < blocks.Count(); ++b) {
        const uint8_t* block = blocks.Block(b);
        Node n = Node::Group("");
        n.AddNumber("offset", offset);
        offset = bag::NextBlockOffset(block);
        n.AddNumber("nextBlockOffset", offset);
        Node entries = Node::List("usedEntries");
        for (uint32_t i = 0; i < h.entriesPerBlock; ++i) {
            bag::Entry e = bag::GetEntry(block, i);
            if (e.key == bag::kEmptyKey && e.dataOffset == 0 && e.dataLength == 0)
                continue;
            Node en = Node::Group("");
            en.AddNumber("entry", i);
            en.AddHex("key", e.key);
            en.AddNumber("dataOffset", e.dataOffset);
            en.AddNumber("dataLength", e.dataLength);
            entries.Add(std::move(en));
        }
        n.Add(std::move(entries));
        list.Add(std::move(n));
    }
    r.fields.Add(std::move(list));
    if (chain.status != bag::Status::Ok) {
        r.error = std::string(bag::Describe(chain.status)) + " (block at offset " + std::to_string(chain.offset) + ")";
        return r;
    }
    r.ok = true;
    return r;
}
