// Network hardware library: IP configuration of the machine's adapters and
// the time-zone description, for the probes that complete what the
// registry lacks.
#pragma once
#include <cstdint>

extern "C" {
// Prepares the adapter list; the result carries no meaning.
uint32_t __stdcall InitHardwareNIC();
// Fills the three 256-byte texts for the index-th IPv4 adapter; 0 on failure.
uint32_t __stdcall GetIpAddressInfo(uint32_t index, char* ipAddress, char* subnetMask, char* defaultGateway);
// Fills three texts of `size` bytes each and three numbers describing the
// machine's time zone; 0 on failure.
uint32_t __stdcall GetTimezoneInfo(char* text1, char* text2, char* text3, int32_t* number1, int32_t* number2,
                                   int32_t* number3, uint32_t size);
}
