// IP configuration entry points, answered from the IP Helper API: adapter
// `index` is the index-th adapter in GetAdaptersInfo's list (the adapters
// bound to IPv4) that has an address; adapters listed with 0.0.0.0 (down,
// or waiting for a lease) have nothing to tell and are passed over. Nothing
// is cached between calls.
#include <windows.h>
#include <iphlpapi.h>

#include <cstring>
#include <memory>
#include <new>

#include "kmzhwnic.h"

namespace {

constexpr size_t kTextRoom = 256;

// The adapter list; null when there is none or it cannot be read.
std::unique_ptr<unsigned char[]> ReadAdapters() {
    ULONG size = 0;
    // The list may grow between the sizing call and the next; try again then.
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::unique_ptr<unsigned char[]> block;
        if (size != 0) {
            block.reset(new (std::nothrow) unsigned char[size]);
            if (!block)
                return nullptr;
        }
        ULONG rc = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(block.get()), &size);
        if (rc == ERROR_SUCCESS)
            return block;
        if (rc != ERROR_BUFFER_OVERFLOW || size == 0)
            return nullptr;
    }
    return nullptr;
}

bool HasAddress(const IP_ADAPTER_INFO* a) {
    const char* ip = a->IpAddressList.IpAddress.String;
    return ip[0] != '\0' && std::strncmp(ip, "0.0.0.0", sizeof a->IpAddressList.IpAddress.String) != 0;
}

// The index-th adapter with an address, or null.
const IP_ADAPTER_INFO* FindAdapter(const std::unique_ptr<unsigned char[]>& block, uint32_t index) {
    for (auto* a = reinterpret_cast<const IP_ADAPTER_INFO*>(block.get()); a != nullptr; a = a->Next) {
        if (!HasAddress(a))
            continue;
        if (index == 0)
            return a;
        --index;
    }
    return nullptr;
}

// At most 255 characters and a NUL; the API's strings are fixed arrays that
// are not trusted to be terminated.
template <size_t N>
void CopyAddress(char* out, const char (&text)[N]) {
    size_t length = 0;
    while (length < N && length < kTextRoom - 1 && text[length] != '\0')
        ++length;
    std::memcpy(out, text, length);
    out[length] = '\0';
}

}  // namespace

extern "C" uint32_t __stdcall InitHardwareNIC() {
    // The number of adapters with an address; callers give it no meaning.
    std::unique_ptr<unsigned char[]> block = ReadAdapters();
    uint32_t count = 0;
    while (FindAdapter(block, count) != nullptr)
        ++count;
    return count;
}

extern "C" uint32_t __stdcall GetIpAddressInfo(uint32_t index, char* ipAddress, char* subnetMask,
                                               char* defaultGateway) {
    if (ipAddress == nullptr || subnetMask == nullptr || defaultGateway == nullptr)
        return 0;
    std::unique_ptr<unsigned char[]> block = ReadAdapters();
    const IP_ADAPTER_INFO* adapter = FindAdapter(block, index);
    if (adapter == nullptr)
        return 0;
    CopyAddress(ipAddress, adapter->IpAddressList.IpAddress.String);
    CopyAddress(subnetMask, adapter->IpAddressList.IpMask.String);
    // An adapter without a gateway lists "0.0.0.0" (or nothing): no text.
    const char* gateway = adapter->GatewayList.IpAddress.String;
    if (std::strncmp(gateway, "0.0.0.0", sizeof adapter->GatewayList.IpAddress.String) == 0)
        defaultGateway[0] = '\0';
    else
        CopyAddress(defaultGateway, adapter->GatewayList.IpAddress.String);
    return 1;
}
