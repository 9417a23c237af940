#include "dmi/MutexSemaphore.h"

MutexSemaphore::MutexSemaphore(uint32_t initialOwner)
    : mutex(CreateMutexA(nullptr, initialOwner != 0 ? TRUE : FALSE, nullptr)) {}

uint32_t MutexSemaphore::Lock() {
    if (!mutex.Valid())
        return 0;
    return WaitForSingleObject(mutex.Get(), INFINITE) == WAIT_OBJECT_0 ? 1 : 0;
}

uint32_t MutexSemaphore::Unlock() {
    if (!mutex.Valid())
        return 0;
    return ReleaseMutex(mutex.Get()) ? 1 : 0;
}
