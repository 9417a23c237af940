#include "dmi/BagFile.h"

#include <cstring>
#include <new>

namespace {

constexpr DWORD kFileFlags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS;

BagFileApi realBagFiles;

// SetFilePointer and GetFileSize with their high words, rather than the Ex
// forms, which Windows NT 4 lacks.
bool Seek(HANDLE h, uint64_t offset) {
    LONG high = static_cast<LONG>(offset >> 32);
    SetLastError(NO_ERROR);
    DWORD low = SetFilePointer(h, static_cast<LONG>(offset & 0xFFFFFFFF), &high, FILE_BEGIN);
    return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

// The open file as a source of bytes for the header and chain parser.
class FileSource : public bag::ByteSource {
public:
    explicit FileSource(HANDLE h) : h_(h) {}
    uint64_t Size() override {
        DWORD high = 0;
        SetLastError(NO_ERROR);
        DWORD low = GetFileSize(h_, &high);
        if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
            return 0;
        return (static_cast<uint64_t>(high) << 32) | low;
    }
    uint32_t ReadAt(uint64_t offset, uint8_t* out, uint32_t count) override {
        if (!Seek(h_, offset))
            return 0;
        uint32_t total = 0;
        while (total < count) {
            DWORD got = 0;
            if (!ReadFile(h_, out + total, count - total, &got, nullptr) || got == 0)
                break;
            total += got;
        }
        return total;
    }

private:
    HANDLE h_;
};

uint32_t WriteAt(HANDLE h, uint64_t offset, const uint8_t* data, uint32_t count) {
    if (!Seek(h, offset))
        return 0;
    uint32_t total = 0;
    while (total < count) {
        DWORD put = 0;
        if (!BagFileApi::Current().Write(h, data + total, count - total, &put) || put == 0)
            break;
        total += put;
    }
    return total;
}

}  // namespace

template <> BagFileApi* Seam<BagFileApi>::real = &realBagFiles;
template <> BagFileApi* Seam<BagFileApi>::current = &realBagFiles;

HANDLE BagFileApi::Open(const char* name, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
    return CreateFileA(name, access, share, nullptr, disposition, flags, nullptr);
}

BOOL BagFileApi::Write(HANDLE file, const void* data, DWORD count, DWORD* written) {
    return WriteFile(file, data, count, written, nullptr);
}

BOOL BagFileApi::Delete(const char* name) { return DeleteFileA(name); }

BagFile::BagFile(const char* fileName_, uint32_t baseOffset_, uint32_t signature_, uint32_t entriesPerBlock_,
                 uint32_t readOnly_, uint32_t openNow)
    : baseOffset(baseOffset_), lock(0), signature(signature_), entriesPerBlock(entriesPerBlock_),
      readOnly(readOnly_) {
    if (fileName_ != nullptr) {
        size_t size = std::strlen(fileName_) + 1;
        fileName = new (std::nothrow) char[size];
        if (fileName != nullptr)
            std::memcpy(fileName, fileName_, size);
    }
    if (openNow != 0)
        Open();
}

BagFile::~BagFile() {
    handle.Reset();
    delete[] fileName;
}

uint32_t BagFile::Open() {
    MutexHold hold(lock);
    if (IsOpen()) {
        ++openCount;
        return 1;
    }
    openCount = 0;
    lastStatus = bag::Status::Ok;
    if (fileName == nullptr)
        return 0;

    DWORD access = readOnly ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    DWORD share = readOnly ? FILE_SHARE_READ : 0;
    handle.Reset(BagFileApi::Current().Open(fileName, access, share, OPEN_EXISTING, kFileFlags));
    if (handle.Valid()) {
        FileSource source(handle.Get());
        uint8_t bytes[bag::kHeaderSize];
        uint32_t got = source.ReadAt(baseOffset, bytes, sizeof bytes);
        bag::Header header;
        lastStatus = bag::ParseHeader(bytes, got, signature, header);
        if (lastStatus != bag::Status::Ok) {
            CloseFile();
            return 0;
        }
        firstBlockOffset = header.firstBlockOffset;
        entriesPerBlock = header.entriesPerBlock;
        blockSize = bag::BlockSize(entriesPerBlock);
        if (!LoadIndex()) {
            CloseFile();
            return 0;
        }
        openCount = 1;
        return 1;
    }

    // The open failed. Only a file that does not exist is created: CREATE_NEW
    // refuses any existing file, also one that appeared since the open above,
    // so a bag file that is held elsewhere or unreadable is never emptied.
    if (!bag::ValidEntriesPerBlock(entriesPerBlock))
        return 0;
    handle.Reset(BagFileApi::Current().Open(fileName, GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW, kFileFlags));
    if (!handle.Valid())
        return 0;
    bag::Header header{signature, bag::kMagic, entriesPerBlock, baseOffset + bag::kHeaderSize};
    uint8_t bytes[bag::kHeaderSize];
    bag::EncodeHeader(header, bytes);
    firstBlockOffset = header.firstBlockOffset;
    if (WriteAt(handle.Get(), baseOffset, bytes, sizeof bytes) != sizeof bytes)
        return AbandonCreated();
    FlushFileBuffers(handle.Get());
    blockSize = bag::BlockSize(entriesPerBlock);
    // A new file's chain is this one block, whatever an earlier load held.
    blocks.Clear();
    if (!AppendBlock(firstBlockOffset))
        return AbandonCreated();
    openCount = 1;
    return 1;
}

// A stub left behind (disk full, quota) would be refused by every later open
// as a damaged file; deleted, the next open creates the file afresh. Only
// called for the file that this Open created with CREATE_NEW and has held
// without sharing since.
uint32_t BagFile::AbandonCreated() {
    CloseFile();
    BagFileApi::Current().Delete(fileName);
    return 0;
}

uint32_t BagFile::LoadIndex() {
    MutexHold hold(lock);
    if (!IsOpen())
        return 0;
    FileSource source(handle.Get());
    bag::ChainResult r = bag::LoadChain(source, firstBlockOffset, blockSize, blocks);
    if (r.status != bag::Status::Ok) {
        lastStatus = r.status;
        CloseFile();
        return 0;
    }
    currentBlock = blocks.Block(0);
    currentBlockOffset = firstBlockOffset;
    return 1;
}

uint32_t BagFile::AppendBlock(uint32_t offset) {
    MutexHold hold(lock);
    // blockSize belongs to an open file; without one there is nothing to size a block by.
    if (!IsOpen())
        return 0;
    if (blocks.Count() > 0)
        bag::SetNextBlockOffset(blocks.Block(blocks.Count() - 1), offset);
    else
        firstBlockOffset = offset;
    uint8_t* block = blocks.Add(blockSize);
    if (block == nullptr)
        return 0;
    bag::FillEmptyBlock(block, entriesPerBlock);
    currentBlock = block;
    currentBlockOffset = offset;
    return WriteBlock();
}

uint32_t BagFile::WriteBlock() {
    MutexHold hold(lock);
    if (!IsOpen() || currentBlock == nullptr)
        return 0;
    if (WriteAt(handle.Get(), currentBlockOffset, currentBlock, blockSize) != blockSize) {
        CloseFile();
        return 0;
    }
    return 1;
}

void BagFile::CloseFile() {
    MutexHold hold(lock);
    handle.Reset();
}
