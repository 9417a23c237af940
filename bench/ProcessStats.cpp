#include "ProcessStats.h"

#include <windows.h>
#include <psapi.h>

namespace {

// Counts this process's handles by asking about each handle value in turn.
// Handle values are multiples of 4 and are handed out from the lowest free
// slot, so the scan stops after a long run of values that are not handles.
// (Wine 8's system-wide handle list is no alternative: its server crashes
// when that list is taken while another process starts or exits.)
long long CountByProbing() {
    long long count = 0;
    int misses = 0;
    for (ULONG_PTR value = 4; misses < 4096; value += 4) {
        DWORD flags;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
            ++count;
            misses = 0;
        } else {
            ++misses;
        }
    }
    return count;
}

// Sums the committed private regions of this process's address space, the
// memory Windows counts as PrivateUsage.
long long CommittedPrivateBytes() {
    long long total = 0;
    MEMORY_BASIC_INFORMATION region;
    const char* at = nullptr;
    while (VirtualQuery(at, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += static_cast<long long>(region.RegionSize);
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at)  // the top of the address space
            break;
        at = next;
    }
    return total;
}

}  // namespace

ProcessStats ProcessStats::Now() {
    ProcessStats s;
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) {
        s.handles = count;
        s.handleSource = "GetProcessHandleCount";
    } else if ((s.handles = CountByProbing()) > 0) {
        s.handleSource = "a probe of handle values";
    }
    PROCESS_MEMORY_COUNTERS_EX mem{};
    mem.cb = sizeof mem;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&mem), sizeof mem) &&
        mem.PrivateUsage > 0) {
        s.privateBytes = static_cast<long long>(mem.PrivateUsage);
        s.memorySource = "PrivateUsage";
    } else if ((s.privateBytes = CommittedPrivateBytes()) > 0) {
        s.memorySource = "committed private regions (VirtualQuery)";
    }
    return s;
}
