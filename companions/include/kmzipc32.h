// Process and messaging support library: Windows family queries and message
// blocks for the host's message service.
#pragma once
#include <cstdint>

extern "C" {
// Non-zero on the Windows NT family.
uint32_t __stdcall IsWinNT();
// Non-zero on Windows 2000 (NT 5.0) or later, 0 on Windows NT 4 and earlier.
uint32_t __stdcall IsWinNT5();
// A zero-filled message block of `size` bytes from the process heap, or null.
void* __stdcall AllocateMessage(uint32_t size);
// Frees a block from AllocateMessage; 1 on success, 0 otherwise (null is 0).
uint32_t __stdcall FreeMessage(void* message);
}
