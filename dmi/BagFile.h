// A bag file on disk: a 16-byte header and a chain of index blocks (layout
// in dmi/BagFormat.h). BagFile opens an existing file and checks its header,
// or creates a new one with one empty index block, reads the whole index
// chain into memory, and closes the file when destroyed. Every operation runs
// under the object's own re-entrant lock.
#pragma once
#include <windows.h>

#include <cstdint>

#include "dmi/BagFormat.h"
#include "dmi/MutexSemaphore.h"
#include "platform/Handles.h"
#include "platform/Seam.h"

// The calls through which every BagFile opens or creates its file
// (CreateFileA with the flags it chooses), writes it and deletes one it
// could not complete. Tests replace them to produce the failures and races
// that a real disk gives only by chance.
class BagFileApi : public Seam<BagFileApi> {
public:
    virtual ~BagFileApi() = default;
    virtual HANDLE Open(const char* name, DWORD access, DWORD share, DWORD disposition, DWORD flags);
    virtual BOOL Write(HANDLE file, const void* data, DWORD count, DWORD* written);
    virtual BOOL Delete(const char* name);
};
template <> BagFileApi* Seam<BagFileApi>::real;
template <> BagFileApi* Seam<BagFileApi>::current;

class BagFile {
public:
    // Opens the file at once when `openNow` is non-zero; the result shows in IsOpen().
    BagFile(const char* fileName, uint32_t baseOffset, uint32_t signature, uint32_t entriesPerBlock,
            uint32_t readOnly, uint32_t openNow);
    virtual ~BagFile();
    BagFile(const BagFile&) = delete;
    BagFile& operator=(const BagFile&) = delete;

    // 1 when the file is open after the call. On an open object it only
    // counts the call. A file that exists is opened and checked, never
    // re-created: when it cannot be opened, or its header or index chain is
    // bad, the result is 0 and the file is left as it is. Only a name that
    // no file has yet is created (with N from the constructor); when its
    // header or first block cannot be written, it is deleted again.
    uint32_t Open();
    uint32_t IsOpen() const { return handle.Valid() ? 1 : 0; }
    void CloseFile();

    uint32_t OpenCount() const { return openCount; }
    uint32_t EntriesPerBlock() const { return entriesPerBlock; }
    uint32_t BlockSize() const { return blockSize; }
    uint32_t BlockCount() const { return blocks.Count(); }
    const uint8_t* Block(uint32_t i) const { return blocks.Block(i); }
    // Why the last Open failed (Ok when it did not fail on the file's contents).
    bag::Status LastStatus() const { return lastStatus; }

private:
    // Reads the chain from firstBlockOffset into memory; cursor to its head.
    uint32_t LoadIndex();
    // Adds an empty block at `offset` behind the last loaded block (linked in
    // memory only) and writes it.
    uint32_t AppendBlock(uint32_t offset);
    // Writes the cursor's block at its offset.
    uint32_t WriteBlock();
    // Closes and deletes a file this object created but could not complete.
    uint32_t AbandonCreated();

    uint32_t baseOffset;
    uint32_t firstBlockOffset = 0;
    char* fileName = nullptr;
    ScopedHandle handle;
    MutexSemaphore lock;
    uint32_t openCount = 0;
    uint8_t* currentBlock = nullptr;
    uint32_t currentBlockOffset = 0;
    uint32_t blockSize = 0;
    uint32_t signature;
    uint32_t entriesPerBlock;
    uint32_t readOnly;
    bag::BlockArray blocks;
    bag::Status lastStatus = bag::Status::Ok;
};
