// The two resource figures the soak watches: open handles and private bytes
// of this process.
//
// GetProcessHandleCount and GetProcessMemoryInfo's PrivateUsage are the
// sources. Wine 8 answers both with 0 (the handle count is a stub, and it
// fills only PagefileUsage); a live process always has handles and private
// memory, so a 0 falls back to probing the handle values one by one, and to
// the committed private regions of the address space. Wine's PagefileUsage
// is the host's view of the process, which under a user-mode emulator holds
// the emulator's own translation cache: it grows with every load of new code
// although the Windows process keeps nothing.
#pragma once
#include <cstdint>

struct ProcessStats {
    long long handles = -1;       // -1 when no source answered
    long long privateBytes = -1;  // -1 when no source answered
    const char* handleSource = "none";
    const char* memorySource = "none";

    static ProcessStats Now();
    bool Valid() const { return handles > 0 && privateBytes > 0; }
};
