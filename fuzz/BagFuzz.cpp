// Fuzzes the bag file reading over arbitrary bytes: the header check and the
// bounded index-chain walk the library runs when it opens a file, and the
// host tool's read-only report of the same file.
#include <cstdint>
#include <vector>

#include "decode/DmiBag.h"
#include "decode/Node.h"
#include "dmi/BagFormat.h"
#include "dmi/DmiPath.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> file(data, data + size);  // exact size: a read past the end is caught
    bag::Header h;
    if (bag::ParseHeader(file.data(), size < bag::kHeaderSize ? size : bag::kHeaderSize, kDmiSignature, h) ==
        bag::Status::Ok) {
        bag::MemorySource source(file.data(), size);
        bag::BlockArray blocks;
        if (bag::LoadChain(source, h.firstBlockOffset, bag::BlockSize(h.entriesPerBlock), blocks).status ==
            bag::Status::Ok)
            for (uint32_t b = 0; b < blocks.Count(); ++b)
                for (uint32_t e = 0; e < h.entriesPerBlock; ++e)
                    bag::GetEntry(blocks.Block(b), e);
    }
    RenderJson(DecodeBagFile(file.data(), size, kDmiSignature).fields);
    return 0;
}
