// The two resource figures the soak watches: open handles and private bytes
// of this process.
//
// GetProcessHandleCount and GetProcessMemoryInfo's PrivateUsage are the
// sources. Wine 8 answers both with 0 (the handle count is a stub, and it
// fills only PagefileUsage); a live process always has handles and private
// memory, so a 0 falls back to probing the handle values one by one, and to
// PagefileUsage (which Windows reports equal to PrivateUsage).
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
