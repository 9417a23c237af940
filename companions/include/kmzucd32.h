// Conversion library: local code page to UTF-16.
#pragma once
#include <cstdint>

#if defined(_WIN32)
#define KMZUCD_API __stdcall
#else
#define KMZUCD_API
#endif

extern "C" {
// Converts the NUL-terminated text `source` from the active ANSI code page
// into UTF-16. With a null `destination` only sizes. Returns the number of
// UTF-16 units including the terminator; 0 when there is nothing to convert
// or `destination` is too small. `selector` and `flags` are accepted for the
// callers' protocol (the library uses selector 42, flags 0).
uint32_t KMZUCD_API VXConvertLocalToUnicode(const char* source, uint16_t* destination,
                                            uint32_t destinationUnits, uint32_t selector,
                                            uint32_t flags);
}
