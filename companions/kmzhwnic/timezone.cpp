// Time-zone entry point (being written: answers "not available").
#include "kmzhwnic.h"

extern "C" uint32_t __stdcall GetTimezoneInfo(char*, char*, char*, int32_t*, int32_t*, int32_t*, uint32_t) {
    return 0;
}
