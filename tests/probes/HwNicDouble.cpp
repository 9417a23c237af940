// Stand-ins for kmzhwnic.dll: HWNIC_PRESENT answers every index,
// HWNIC_NOINFO lacks GetIpAddressInfo, HWNIC_FAILING writes (one text
// unterminated) and fails. HwNicCalls() returns and clears the call log.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#define EXPORT extern "C" __declspec(dllexport)

static std::string calls, handedOut;

EXPORT const char* __stdcall HwNicCalls() { return (handedOut = std::exchange(calls, "")).c_str(); }

EXPORT uint32_t __stdcall InitHardwareNIC() { return calls += "I ", 1; }

#if !defined(HWNIC_NOINFO)
EXPORT uint32_t __stdcall GetIpAddressInfo(uint32_t index, char* ipAddress, char* subnetMask, char* defaultGateway) {
    calls += "G" + std::to_string(index) + " ";
#if defined(HWNIC_FAILING)
    std::snprintf(ipAddress, 256, "10.66.0.%u", index);
    std::memset(subnetMask, 'M', 256);
    std::strcpy(defaultGateway, "10.66.0.254");
    return 0;
#else
    std::snprintf(ipAddress, 256, "10.77.0.%u", index);
    std::strcpy(subnetMask, "255.255.0.0");
    std::strcpy(defaultGateway, "10.77.0.254");
    return 1;
#endif
}
#endif
