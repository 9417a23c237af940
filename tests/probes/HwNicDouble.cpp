// Stand-ins for kmzhwnic.dll, one build per behaviour:
//   HWNIC_PRESENT  answers every index with made-up addresses;
//   HWNIC_NOINFO   has no GetIpAddressInfo;
//   HWNIC_FAILING  writes some of its texts (one without a terminator), then
//                  reports failure.
// HwNicCalls() returns and clears the log of calls: "I" for InitHardwareNIC,
// "G<index>" for GetIpAddressInfo.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#define EXPORT extern "C" __declspec(dllexport)

namespace {
std::string calls;
std::string handedOut;
}  // namespace

EXPORT const char* __stdcall HwNicCalls() {
    handedOut = calls;
    calls.clear();
    return handedOut.c_str();
}

EXPORT uint32_t __stdcall InitHardwareNIC() {
    calls += "I ";
    return 1;
}

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

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
