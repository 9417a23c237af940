// An unnamed Windows mutex: orders the threads of this process that share
// one object, and is re-entrant for the thread that holds it.
#pragma once
#include <windows.h>

#include <cstdint>

#include "platform/Handles.h"

class MutexSemaphore {
public:
    explicit MutexSemaphore(uint32_t initialOwner);
    virtual ~MutexSemaphore() = default;
    MutexSemaphore(const MutexSemaphore&) = delete;
    MutexSemaphore& operator=(const MutexSemaphore&) = delete;

    // 1 once the mutex is held; 0 at once when there is no mutex or the wait failed.
    uint32_t Lock();
    // The result of ReleaseMutex; 0 when there is no mutex.
    uint32_t Unlock();
    uint32_t IsValid() const { return mutex.Valid() ? 1 : 0; }

private:
    ScopedHandle mutex;  // empty when creation failed
};

// Holds a MutexSemaphore for a scope. Unlock runs on every way out, also when
// Lock failed: the operations carry on without the lock then.
class MutexHold {
public:
    explicit MutexHold(MutexSemaphore& m) : m_(m) { m_.Lock(); }
    ~MutexHold() { m_.Unlock(); }
    MutexHold(const MutexHold&) = delete;
    MutexHold& operator=(const MutexHold&) = delete;

private:
    MutexSemaphore& m_;
};
