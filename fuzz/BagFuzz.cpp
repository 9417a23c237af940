// Fuzzes the bag file reading over arbitrary bytes: the header check and the
// bounded index-chain walk the library runs when it opens a file, and the
// host tool's read-only report of the same file.
#include <cstdint>
#include <cstring>
#include <memory>

#include "decode/DmiBag.h"
#include "decode/Node.h"
#include "dmi/BagFormat.h"
#include "dmi/DmiPath.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<uint8_t[]> file(new uint8_t[size]);
    if (size > 0)
        std::memcpy(file.get(), data, size);

    bag::Header header;
    bag::Status status = bag::ParseHeader(file.get(), size < bag::kHeaderSize ? size : bag::kHeaderSize,
                                          kDmiSignature, header);
    if (status == bag::Status::Ok) {
        bag::MemorySource source(file.get(), size);
        bag::BlockArray blocks;
        uint32_t blockSize = bag::BlockSize(header.entriesPerBlock);
        bag::ChainResult chain = bag::LoadChain(source, header.firstBlockOffset, blockSize, blocks);
        if (chain.status == bag::Status::Ok)
            for (uint32_t b = 0; b < blocks.Count(); ++b)
                for (uint32_t e = 0; e < header.entriesPerBlock; ++e)
                    bag::GetEntry(blocks.Block(b), e);
    }

    DecodeResult report = DecodeBagFile(file.get(), size, kDmiSignature);
    RenderJson(report.fields);
    return 0;
}
