#include <gtest/gtest.h>

#include "gatherers/IpxInfoGatherer.h"
#include "probes/IpxAddresses.h"
#include "tests/gatherers/FillChecked.h"
#include "tests/probes/FakeNet.h"

TEST(IpxAddresses, EveryFailureGivesNothingAndCleansUp) {
    FakeIpx ipx;
    for (int32_t count : {-1, 2, 0x7FFFFFFF}) {  // none answers; an absurd count is not walked
        ipx.adapterCount = count;
        EXPECT_EQ(GetIpxAddresses(), nullptr);
    }
    EXPECT_EQ(ipx.addressQueries, 2 + 256);
    ipx.socketFails = true;
    EXPECT_EQ(GetIpxAddresses(), nullptr);
    ipx.startupFails = true;
    EXPECT_EQ(GetIpxAddresses(), nullptr);
    // Every session but the one that did not start is cleaned up; every socket closed.
    EXPECT_EQ(std::vector<int>({ipx.startups, ipx.cleanups, ipx.closes}), std::vector<int>({5, 4, 3}));
}

// The highest adapter first, those that do not answer left out; when IPX
// goes, the last good list stays (no transport at all: BufferBytesTest).
TEST(IpxInfoGatherer, BufferListsTheLastGoodAddresses) {
    FakeIpx ipx;
    IpxInfoGatherer g;
    ipx.adapterCount = 3;  // adapter 1 fails between two good ones
    ipx.adapters[0] = {0x00, 0x0A, 0x0B, 0x0C, 0x01, 0x02, 0x03, 0x04, 0x05, 0xAF};
    ipx.adapters[2] = {0xFE, 0xDC, 0xBA, 0x98, 0x00, 0x00, 0x1B, 0x2C, 0x3D, 0x4E};
    EXPECT_EQ(g.Update(), 1u);
    std::vector<uint8_t> bound(14, 0);
    bound[0] = 6;
    EXPECT_EQ(ipx.bound, bound);
    EXPECT_TRUE(ipx.addressQueries == 3 && ipx.closes == 1 && ipx.cleanups == 1);
    ipx.socketFails = true;  // IPX removed
    g.Update();
    EXPECT_EQ(Facts(g), "\"count\":2,\"addresses\":[\"FEDCBA98:00001B2C3D4E\",\"000A0B0C:0102030405AF\"]");
}
