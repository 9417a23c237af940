// Bag file images built in memory, for the tests and the bench (no OS headers).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "dmi/BagFormat.h"
#include "dmi/DmiPath.h"
#include "framework/DataBuf.h"

using Bytes = std::vector<uint8_t>;

// A bag file image: header, then `blocks` index blocks laid end to end from
// offset 16, chained in order. Entry 0 of block i holds key 0x1000 + i.
inline Bytes MakeBag(uint32_t n, uint32_t blocks, uint32_t signature = kDmiSignature) {
    uint32_t size = bag::BlockSize(n);
    Bytes b(bag::kHeaderSize + size_t{size} * blocks);
    bag::EncodeHeader(bag::Header{signature, bag::kMagic, n, blocks ? 16u : 0u}, b.data());
    for (uint32_t i = 0; i < blocks; ++i) {
        uint8_t* block = b.data() + 16 + size_t{size} * i;
        bag::FillEmptyBlock(block, n);
        bag::SetNextBlockOffset(block, i + 1 < blocks ? 16 + size * (i + 1) : 0);
        databuf::PutU32(block, 4, 0x1000 + i);
        databuf::PutU32(block, 8, 0x4000);
        databuf::PutU32(block, 12, 99);
    }
    return b;
}

inline std::string AsText(const Bytes& b) { return std::string(b.begin(), b.end()); }
