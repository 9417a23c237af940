// kmzhwnic.dll's IP entry points against the adapters that IP Helper's
// other list (GetAdaptersAddresses) reports.
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "platform/HwNicLibrary.h"

TEST(Kmzhwnic, AnswersForEachAdapterWithAnIpv4AddressAndHoldsOneReference) {
    std::set<std::string> expected, answered;
    ULONG size = 64 * 1024;
    std::vector<unsigned char> block(size);
    auto* list = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(block.data());
    ASSERT_EQ(GetAdaptersAddresses(AF_INET, 0, nullptr, list, &size), static_cast<ULONG>(ERROR_SUCCESS));
    for (auto* a = list; a != nullptr; a = a->Next)
        if (a->IfType != IF_TYPE_SOFTWARE_LOOPBACK && a->FirstUnicastAddress != nullptr)
            expected.insert(inet_ntoa(
                reinterpret_cast<const sockaddr_in*>(a->FirstUnicastAddress->Address.lpSockaddr)->sin_addr));

    // The module's one loader keeps exactly one reference however often the
    // NT 4 path loads again; one FreeLibrary then unloads it.
    ASSERT_EQ(GetModuleHandleA("kmzhwnic.dll"), nullptr);
    HMODULE m = HwNicModule();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(HwNicModule(), m);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ReloadHwNicModule(), m);
    auto init = HwNicEntry<uint32_t(__stdcall*)()>(m, "InitHardwareNIC");
    auto get = HwNicEntry<GetIpAddressInfoFn>(m, "GetIpAddressInfo");
    ASSERT_TRUE(init && get);
    EXPECT_EQ(HwNicEntry<GetIpAddressInfoFn>(m, "NoSuchEntry"), nullptr);
    uint32_t count = init();
    char ip[256], mask[256], gw[256];
    for (uint32_t i = 0; i < count; ++i) {
        ASSERT_EQ(get(i, ip, mask, gw), 1u) << i;
        EXPECT_NE(inet_addr(mask), INADDR_NONE) << mask;
        EXPECT_STRNE(gw, "0.0.0.0");  // no gateway: the empty text
        answered.insert(ip);
    }
    EXPECT_EQ(answered, expected);
    // Past the last adapter, or without a buffer: failure, nothing written.
    std::strcpy(ip, "keep");
    EXPECT_TRUE(get(count, ip, mask, gw) == 0 && get(0, nullptr, mask, gw) == 0);
    EXPECT_STREQ(ip, "keep");
    FreeLibrary(m);
    EXPECT_EQ(GetModuleHandleA("kmzhwnic.dll"), nullptr);
    LoadLibraryA("kmzhwnic.dll");  // give back the reference the module counts as its own
}
