// IP configuration entry points (being written: answers "not available").
#include "kmzhwnic.h"

extern "C" uint32_t __stdcall InitHardwareNIC() { return 0; }

extern "C" uint32_t __stdcall GetIpAddressInfo(uint32_t, char*, char*, char*) { return 0; }
