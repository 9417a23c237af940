// kmzhwnic.dll's IP entry points, loaded as the NT 4 probe loads them, with
// the machine's adapters as IP Helper's address list reports them.
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "kmzhwnic.h"

namespace {

using InitFn = uint32_t(__stdcall*)();
using GetFn = uint32_t(__stdcall*)(uint32_t, char*, char*, char*);

// The first IPv4 address of every adapter that has one, from
// GetAdaptersAddresses (a different view than the library's).
std::set<std::string> Ipv4Addresses() {
    ULONG size = 64 * 1024;
    std::vector<unsigned char> block(size);
    auto* list = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(block.data());
    std::set<std::string> found;
    if (GetAdaptersAddresses(AF_INET, 0, nullptr, list, &size) != ERROR_SUCCESS)
        return found;
    for (auto* a = list; a != nullptr; a = a->Next) {
        if (a->IfType == IF_TYPE_SOFTWARE_LOOPBACK || a->FirstUnicastAddress == nullptr)
            continue;
        auto* sin = reinterpret_cast<const sockaddr_in*>(a->FirstUnicastAddress->Address.lpSockaddr);
        found.insert(inet_ntoa(sin->sin_addr));
    }
    return found;
}

}  // namespace

TEST(Kmzhwnic, AnswersForEachIpv4Adapter) {
    HMODULE m = LoadLibraryA("kmzhwnic.dll");
    ASSERT_NE(m, nullptr);
    auto init = reinterpret_cast<InitFn>(reinterpret_cast<void*>(GetProcAddress(m, "InitHardwareNIC")));
    auto get = reinterpret_cast<GetFn>(reinterpret_cast<void*>(GetProcAddress(m, "GetIpAddressInfo")));
    ASSERT_TRUE(init && get);

    uint32_t count = init();
    std::set<std::string> answered;
    for (uint32_t i = 0; i < count; ++i) {
        char ip[256], mask[256], gw[256];
        std::memset(gw, 'X', sizeof gw);
        ASSERT_EQ(get(i, ip, mask, gw), 1u) << i;
        EXPECT_NE(inet_addr(ip), INADDR_NONE) << ip;
        EXPECT_NE(inet_addr(mask), INADDR_NONE) << mask;
        EXPECT_LT(std::strlen(gw), 16u);
        EXPECT_STRNE(gw, "0.0.0.0");
        answered.insert(ip);
    }
    EXPECT_EQ(answered, Ipv4Addresses());

    // Past the last adapter: failure, nothing written.
    char ip[256] = "keep", mask[256] = "keep", gw[256] = "keep";
    EXPECT_EQ(get(count, ip, mask, gw), 0u);
    EXPECT_EQ(get(0xFFFFFFFF, ip, mask, gw), 0u);
    EXPECT_STREQ(ip, "keep");
    EXPECT_STREQ(gw, "keep");
    EXPECT_EQ(get(0, nullptr, mask, gw), 0u);
    FreeLibrary(m);
}
