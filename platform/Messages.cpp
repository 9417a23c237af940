// Message blocks for the host's message service. No export reaches these yet;
// they keep the module bound to the support library's allocator so that
// messages built here are freed by the service that owns them.
#include <cstdint>

#include "kmzipc32.h"

extern "C" void* NewHostMessage(uint32_t size) { return AllocateMessage(size); }

extern "C" uint32_t ReleaseHostMessage(void* message) { return FreeMessage(message); }
