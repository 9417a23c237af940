#include "dmi/BagFormat.h"

#include <cstring>
#include <new>

#include "framework/DataBuf.h"

namespace bag {

using databuf::GetU32;
using databuf::PutU32;

const char* Describe(Status s) {
    switch (s) {
    case Status::Ok: return "ok";
    case Status::ShortHeader: return "header shorter than 16 bytes";
    case Status::BadMagic: return "wrong magic number";
    case Status::BadSignature: return "wrong signature";
    case Status::BadEntriesPerBlock: return "entries per block out of range";
    case Status::ShortBlock: return "index block cut short by the end of the file";
    case Status::ChainTooLong: return "index chain longer than the file can hold (a loop)";
    case Status::NoMemory: return "out of memory";
    }
    return "unknown";
}

void EncodeHeader(const Header& h, uint8_t out[kHeaderSize]) {
    PutU32(out, 0, h.signature);
    PutU32(out, 4, h.magic);
    PutU32(out, 8, h.entriesPerBlock);
    PutU32(out, 12, h.firstBlockOffset);
}

Status ParseHeader(const uint8_t* bytes, size_t got, uint32_t expectedSignature, Header& out) {
    out = Header{};
    uint32_t* fields[] = {&out.signature, &out.magic, &out.entriesPerBlock, &out.firstBlockOffset};
    for (uint32_t i = 0; i < 4 && got >= 4 * (i + 1); ++i)
        *fields[i] = GetU32(bytes, 4 * i);
    if (got != kHeaderSize)
        return Status::ShortHeader;
    if (out.magic != kMagic)
        return Status::BadMagic;
    if (out.signature != expectedSignature)
        return Status::BadSignature;
    if (!ValidEntriesPerBlock(out.entriesPerBlock))
        return Status::BadEntriesPerBlock;
    return Status::Ok;
}

void FillEmptyBlock(uint8_t* block, uint32_t entriesPerBlock) {
    std::memset(block, 0, BlockSize(entriesPerBlock));
    for (uint32_t i = 0; i < entriesPerBlock; ++i)
        PutU32(block, 4 + kEntrySize * i, kEmptyKey);
}

uint32_t NextBlockOffset(const uint8_t* block) { return GetU32(block, 0); }

void SetNextBlockOffset(uint8_t* block, uint32_t offset) { PutU32(block, 0, offset); }

Entry GetEntry(const uint8_t* block, uint32_t i) {
    uint32_t at = 4 + kEntrySize * i;
    return Entry{GetU32(block, at), GetU32(block, at + 4), GetU32(block, at + 8)};
}

uint32_t MemorySource::ReadAt(uint64_t offset, uint8_t* out, uint32_t count) {
    if (offset >= size_)
        return 0;
    uint64_t left = size_ - offset;
    uint32_t n = left < count ? static_cast<uint32_t>(left) : count;
    std::memcpy(out, data_ + offset, n);
    return n;
}

BlockArray::~BlockArray() {
    FreeBuffers();
    delete[] slots_;
}

void BlockArray::FreeBuffers() {
    for (uint32_t i = 0; i < capacity_; ++i) {
        delete[] slots_[i];
        slots_[i] = nullptr;
    }
}

bool BlockArray::EnsureSlots() {
    if (slots_ != nullptr)
        return true;
    slots_ = new (std::nothrow) uint8_t*[kGrowth]();
    if (slots_ == nullptr)
        return false;
    capacity_ = kGrowth;
    return true;
}

uint8_t* BlockArray::Add(uint32_t blockSize) {
    if (!EnsureSlots())
        return nullptr;
    if (count_ == capacity_) {
        uint8_t** grown = new (std::nothrow) uint8_t*[capacity_ + kGrowth]();
        if (grown == nullptr)
            return nullptr;
        std::memcpy(grown, slots_, capacity_ * sizeof *slots_);
        delete[] slots_;
        slots_ = grown;
        capacity_ += kGrowth;
    }
    // Buffers are reused only at the size they were made for; a file with
    // another N gets fresh ones. Blocks of two sizes never mix in one array.
    if (blockSize != bufferSize_) {
        if (count_ > 0)
            return nullptr;
        FreeBuffers();
        bufferSize_ = blockSize;
    }
    if (slots_[count_] == nullptr) {
        slots_[count_] = new (std::nothrow) uint8_t[blockSize];
        if (slots_[count_] == nullptr)
            return nullptr;
    }
    return slots_[count_++];
}

ChainResult LoadChain(ByteSource& source, uint32_t firstBlockOffset, uint32_t blockSize, BlockArray& blocks) {
    blocks.Clear();
    if (!blocks.EnsureSlots())
        return {Status::NoMemory, firstBlockOffset};
    uint64_t size = source.Size();
    uint64_t maxBlocks = blockSize == 0 ? 0 : size / blockSize;
    for (uint32_t offset = firstBlockOffset; offset != 0;) {
        if (offset >= size || blockSize > size - offset)
            return {Status::ShortBlock, offset};
        if (blocks.Count() >= maxBlocks)
            return {Status::ChainTooLong, offset};
        uint8_t* block = blocks.Add(blockSize);
        if (block == nullptr)
            return {Status::NoMemory, offset};
        if (source.ReadAt(offset, block, blockSize) != blockSize) {
            blocks.DropLast();
            return {Status::ShortBlock, offset};
        }
        offset = NextBlockOffset(block);
    }
    return {};
}

}  // namespace bag
