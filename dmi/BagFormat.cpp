#include "dmi/BagFormat.h"

#include <cstdint>
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
    case Status::IndexTooLarge: return "index larger than 16 MiB";
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
    while (chunks_ != nullptr) {
        uint8_t* next;
        std::memcpy(&next, chunks_, sizeof next);
        delete[] chunks_;
        chunks_ = next;
    }
    for (uint32_t i = 0; i < capacity_; ++i)
        slots_[i] = nullptr;
}

// Buffers for the slots from count_ on, from one allocation of at most
// 64 KiB (or one block). Slots are given buffers in order, so those with one
// are always the first ones.
bool BlockArray::AddBuffers(uint32_t blockSize) {
    constexpr uint32_t kChunkBytes = 64u << 10;
    uint32_t n = count_ > 0 ? count_ : 1;
    uint32_t most = kChunkBytes / blockSize;
    if (n > most)
        n = most > 0 ? most : 1;
    if (n > capacity_ - count_)
        n = capacity_ - count_;
    uint8_t* chunk = new (std::nothrow) uint8_t[sizeof chunks_ + size_t{n} * blockSize];
    if (chunk == nullptr)
        return false;
    std::memcpy(chunk, &chunks_, sizeof chunks_);
    chunks_ = chunk;
    for (uint32_t i = 0; i < n; ++i)
        slots_[count_ + i] = chunk + sizeof chunks_ + size_t{i} * blockSize;
    return true;
}

bool BlockArray::EnsureSlots() {
    if (slots_ != nullptr)
        return true;
    slots_ = new (std::nothrow) uint8_t*[kFirstSlots]();
    if (slots_ == nullptr)
        return false;
    capacity_ = kFirstSlots;
    return true;
}

uint8_t* BlockArray::Add(uint32_t blockSize) {
    if (!EnsureSlots())
        return nullptr;
    if (count_ == capacity_) {
        if (capacity_ > UINT32_MAX / 2)
            return nullptr;
        uint8_t** grown = new (std::nothrow) uint8_t*[size_t{capacity_} * 2]();
        if (grown == nullptr)
            return nullptr;
        std::memcpy(grown, slots_, capacity_ * sizeof *slots_);
        delete[] slots_;
        slots_ = grown;
        capacity_ *= 2;
        ++regrowths_;
    }
    // Buffers are reused only at the size they were made for; a file with
    // another N gets fresh ones. Blocks of two sizes never mix in one array.
    if (blockSize != bufferSize_) {
        if (count_ > 0)
            return nullptr;
        FreeBuffers();
        bufferSize_ = blockSize;
    }
    if (slots_[count_] == nullptr && !AddBuffers(blockSize))
        return nullptr;
    return slots_[count_++];
}

namespace {

// A source of `size` bytes read through a window of kReadAheadBytes (or of
// the whole source, when smaller). Only a block past the window's end moves
// it (the window then starts at that block), and only for blocks of at most
// half a window: so each refill starts more than half a window after the
// last, and refills read less than twice the source's size in all. Any other
// block is read on its own, as is every block when there is no window (out
// of memory).
class ReadAhead : public ByteSource {
public:
    ReadAhead(ByteSource& source, uint64_t size)
        : source_(source), size_(size), room_(size < kReadAheadBytes ? static_cast<uint32_t>(size) : kReadAheadBytes),
          window_(new (std::nothrow) uint8_t[room_]) {}
    ~ReadAhead() override { delete[] window_; }
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    uint64_t Size() override { return size_; }
    uint32_t ReadAt(uint64_t offset, uint8_t* out, uint32_t count) override {
        bool inside = offset >= start_ && offset - start_ <= filled_ && count <= filled_ - (offset - start_);
        if (!inside) {
            bool forward = offset > start_ || filled_ == 0;
            if (window_ == nullptr || count > room_ / 2 || !forward || offset >= size_)
                return source_.ReadAt(offset, out, count);
            start_ = offset;
            uint64_t left = size_ - offset;
            filled_ = source_.ReadAt(offset, window_, left < room_ ? static_cast<uint32_t>(left) : room_);
        }
        uint32_t skip = static_cast<uint32_t>(offset - start_);
        uint32_t n = count < filled_ - skip ? count : filled_ - skip;
        std::memcpy(out, window_ + skip, n);
        return n;
    }

private:
    ByteSource& source_;
    uint64_t size_;
    uint32_t room_;  // the window's size
    uint8_t* window_;
    uint64_t start_ = 0;   // source offset of window_[0]
    uint32_t filled_ = 0;  // bytes of the window read
};

}  // namespace

ChainResult LoadChain(ByteSource& source, uint32_t firstBlockOffset, uint32_t blockSize, BlockArray& blocks) {
    blocks.Clear();
    if (!blocks.EnsureSlots())
        return {Status::NoMemory, firstBlockOffset};
    uint64_t size = source.Size();
    uint64_t maxBlocks = blockSize == 0 ? 0 : size / blockSize;
    uint32_t limitBlocks = blockSize == 0 ? 0 : kMaxIndexBytes / blockSize;
    ReadAhead window(source, size);
    for (uint32_t offset = firstBlockOffset; offset != 0;) {
        if (offset >= size || blockSize > size - offset)
            return {Status::ShortBlock, offset};
        if (blocks.Count() >= maxBlocks)
            return {Status::ChainTooLong, offset};
        if (blocks.Count() >= limitBlocks)
            return {Status::IndexTooLarge, offset};
        uint8_t* block = blocks.Add(blockSize);
        if (block == nullptr)
            return {Status::NoMemory, offset};
        if (window.ReadAt(offset, block, blockSize) != blockSize) {
            blocks.DropLast();
            return {Status::ShortBlock, offset};
        }
        offset = NextBlockOffset(block);
    }
    return {};
}

}  // namespace bag
