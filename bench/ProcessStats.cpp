#include "ProcessStats.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace {

// The layouts of SystemExtendedHandleInformation (class 64).
struct HandleEntry {
    void* object;
    ULONG_PTR processId;
    ULONG_PTR handle;
    ULONG grantedAccess;
    USHORT creatorBackTraceIndex;
    USHORT objectTypeIndex;
    ULONG attributes;
    ULONG reserved;
};
struct HandleTable {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};
constexpr ULONG kSystemExtendedHandleInformation = 64;
constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);
using QuerySystemInformationFn = LONG(NTAPI*)(ULONG, void*, ULONG, ULONG*);

long long CountFromHandleTable() {
    static const auto query = reinterpret_cast<QuerySystemInformationFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr)
        return -1;
    static std::vector<unsigned char> buf(1 << 16);
    for (int attempt = 0; attempt < 16; ++attempt) {
        ULONG needed = 0;
        LONG status = query(kSystemExtendedHandleInformation, buf.data(), static_cast<ULONG>(buf.size()), &needed);
        if (status == kStatusInfoLengthMismatch) {
            buf.resize(std::max<size_t>(buf.size() * 2, needed + 4096));
            continue;
        }
        if (status != 0)
            return -1;
        const auto* table = reinterpret_cast<const HandleTable*>(buf.data());
        size_t fit = (buf.size() - offsetof(HandleTable, entries)) / sizeof(HandleEntry);
        size_t n = table->count < fit ? table->count : fit;
        long long mine = 0;
        const ULONG_PTR self = GetCurrentProcessId();
        for (size_t i = 0; i < n; ++i)
            mine += table->entries[i].processId == self;
        return mine;
    }
    return -1;
}

}  // namespace

ProcessStats ProcessStats::Now() {
    ProcessStats s;
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) {
        s.handles = count;
        s.handleSource = "GetProcessHandleCount";
    } else if ((s.handles = CountFromHandleTable()) > 0) {
        s.handleSource = "system handle table";
    }
    PROCESS_MEMORY_COUNTERS_EX mem{};
    mem.cb = sizeof mem;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&mem), sizeof mem)) {
        if (mem.PrivateUsage > 0) {
            s.privateBytes = static_cast<long long>(mem.PrivateUsage);
            s.memorySource = "PrivateUsage";
        } else if (mem.PagefileUsage > 0) {
            s.privateBytes = static_cast<long long>(mem.PagefileUsage);
            s.memorySource = "PagefileUsage";
        }
    }
    return s;
}
