// The bag file's on-disk layout and the reading of its header and index
// block chain, over any source of bytes. Free of OS headers: the library's
// BagFile reads a Windows file through it, the host tool and the tests read
// bytes in memory.
//
// Layout (all integers u32 little-endian):
//   header at baseOffset: signature, magic 0xFE348911, entriesPerBlock N,
//                         firstBlockOffset
//   index block (4 + 12 * N bytes): nextBlockOffset (0 ends the chain), then
//                         N entries of key (0xFFFFFFFF = empty), dataOffset,
//                         dataLength
#pragma once
#include <cstddef>
#include <cstdint>

namespace bag {

constexpr uint32_t kMagic = 0xFE348911;
constexpr uint32_t kHeaderSize = 16;
constexpr uint32_t kEntrySize = 12;
constexpr uint32_t kEmptyKey = 0xFFFFFFFF;
// Largest N accepted in a header or used for a new file. This product writes
// 20; anything past this bound is damage, not a format choice.
constexpr uint32_t kMaxEntriesPerBlock = 0x10000;
// Largest index (blocks x block size) loaded: 1,048,576 blocks of N = 1. The
// product's files hold a few blocks; a longer chain is refused as damage.
constexpr uint32_t kMaxIndexBytes = 16u << 20;
// The chain is read through a window of this many bytes (see LoadChain).
constexpr uint32_t kReadAheadBytes = 64u << 10;

struct Header {
    uint32_t signature = 0;
    uint32_t magic = 0;
    uint32_t entriesPerBlock = 0;
    uint32_t firstBlockOffset = 0;
};

struct Entry {
    uint32_t key;
    uint32_t dataOffset;
    uint32_t dataLength;
};

enum class Status {
    Ok,
    ShortHeader,         // fewer than 16 header bytes in the file
    BadMagic,
    BadSignature,
    BadEntriesPerBlock,  // N of 0 or above kMaxEntriesPerBlock
    ShortBlock,          // an index block lies (partly) past the end of the file
    ChainTooLong,        // more blocks than the file can hold apart: a loop
    IndexTooLarge,       // more than kMaxIndexBytes of index blocks
    NoMemory,
};

const char* Describe(Status s);

inline bool ValidEntriesPerBlock(uint32_t n) { return n >= 1 && n <= kMaxEntriesPerBlock; }
// 4 + 12 * N; only meaningful for a valid N.
inline uint32_t BlockSize(uint32_t n) { return 4 + kEntrySize * n; }

void EncodeHeader(const Header& h, uint8_t out[kHeaderSize]);
// Decodes what was read of the header (`got` bytes) and checks it: exactly 16
// bytes, the magic, the expected signature and a usable N. `out` receives the
// fields that were present even when the header is refused.
Status ParseHeader(const uint8_t* bytes, size_t got, uint32_t expectedSignature, Header& out);

// A new block: next 0, every key 0xFFFFFFFF, offsets and lengths 0.
void FillEmptyBlock(uint8_t* block, uint32_t entriesPerBlock);
uint32_t NextBlockOffset(const uint8_t* block);
void SetNextBlockOffset(uint8_t* block, uint32_t offset);
Entry GetEntry(const uint8_t* block, uint32_t i);

// Random-access reading of a file's bytes.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() = 0;
    // Copies up to `count` bytes from `offset` into `out`; returns how many
    // arrived (fewer at the end of the data or on a read error).
    virtual uint32_t ReadAt(uint64_t offset, uint8_t* out, uint32_t count) = 0;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint64_t Size() override { return size_; }
    uint32_t ReadAt(uint64_t offset, uint8_t* out, uint32_t count) override;

private:
    const uint8_t* data_;
    size_t size_;
};

// The in-memory copies of a file's index blocks, in chain order. The pointer
// array starts with 32 slots and doubles when full (32, 64, 128, ...), so
// loading n blocks copies fewer than 2n pointers. Block buffers come several
// to an allocation (as many as are loaded already, up to 64 KiB), stay
// allocated and are reused by later loads while the block size stays the
// same.
class BlockArray {
public:
    static constexpr uint32_t kFirstSlots = 32;
    BlockArray() = default;
    ~BlockArray();
    BlockArray(const BlockArray&) = delete;
    BlockArray& operator=(const BlockArray&) = delete;

    uint32_t Count() const { return count_; }
    uint32_t Capacity() const { return capacity_; }
    // How many times the pointer array was grown (each grow copies it).
    uint32_t Regrowths() const { return regrowths_; }
    uint8_t* Block(uint32_t i) const { return i < count_ ? slots_[i] : nullptr; }
    // Drops the loaded blocks (buffers are kept for reuse).
    void Clear() { count_ = 0; }
    // Allocates the first 32 slots if there are none yet; false when out of memory.
    bool EnsureSlots();
    // Takes the next slot with a buffer of `blockSize` bytes (contents
    // undefined) and counts it; null when out of memory.
    uint8_t* Add(uint32_t blockSize);
    // Gives back the slot taken by the last Add (its buffer is kept).
    void DropLast() {
        if (count_ > 0)
            --count_;
    }

private:
    bool AddBuffers(uint32_t blockSize);
    void FreeBuffers();
    uint8_t** slots_ = nullptr;
    uint8_t* chunks_ = nullptr;  // the buffers' allocations, each linked to the next by its first bytes
    uint32_t count_ = 0;
    uint32_t capacity_ = 0;
    uint32_t regrowths_ = 0;
    uint32_t bufferSize_ = 0;  // size of every allocated buffer
};

struct ChainResult {
    Status status = Status::Ok;
    uint32_t offset = 0;  // the block offset at which the walk stopped, on failure
};

// Reads the chain that starts at `firstBlockOffset` into `blocks` (cleared
// first). The walk is bounded by the source's size: every block must lie
// wholly inside it and there can be no more blocks than fit in it side by
// side, so a looping or endless chain ends with ChainTooLong; and by
// kMaxIndexBytes, past which it stops with IndexTooLarge. The source is read
// kReadAheadBytes at a time while the chain runs forward through the file;
// a block behind the window is read on its own. Whatever the chain's order,
// the walk reads less than twice the source's size plus one window, besides
// the blocks it reads on their own.
ChainResult LoadChain(ByteSource& source, uint32_t firstBlockOffset, uint32_t blockSize, BlockArray& blocks);

}  // namespace bag
