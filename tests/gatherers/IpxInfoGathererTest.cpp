#include <gtest/gtest.h>

#include "gatherers/IpxInfoGatherer.h"
#include "probes/IpxAddresses.h"
#include "tests/gatherers/Fill.h"
#include "tests/probes/FakeNet.h"

namespace {
std::vector<std::string> Texts(const std::unique_ptr<IpxAddrNode>& list) {
    std::vector<std::string> out;
    for (const IpxAddrNode* n = list.get(); n != nullptr; n = n->next.get())
        out.push_back(n->text);
    return out;
}
}  // namespace

TEST(IpxAddresses, HighestAdapterFirstWithoutGaps) {
    FakeIpx ipx;
    ipx.adapterCount = 3;
    ipx.adapters[0] = {0x00, 0x0A, 0x0B, 0x0C, 0x01, 0x02, 0x03, 0x04, 0x05, 0xAF};
    ipx.adapters[2] = {0xFE, 0xDC, 0xBA, 0x98, 0x00, 0x00, 0x1B, 0x2C, 0x3D, 0x4E};
    EXPECT_EQ(Texts(GetIpxAddresses()), (std::vector<std::string>{"FEDCBA98:00001B2C3D4E", "000A0B0C:0102030405AF"}));
    EXPECT_EQ(ipx.addressQueries, 3);
    std::vector<uint8_t> bound(14, 0);
    bound[0] = 6;
    EXPECT_EQ(ipx.bound, bound);
    EXPECT_EQ(ipx.closes, 1);
    EXPECT_EQ(ipx.cleanups, 1);
}

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
    EXPECT_EQ(ipx.startups, 5);
    EXPECT_EQ(ipx.cleanups, 4);  // all but the session that did not start
    EXPECT_EQ(ipx.closes, 3);
}

TEST(IpxInfoGatherer, BufferListsTheLastGoodAddresses) {
    FakeIpx ipx;
    ipx.socketFails = true;  // no IPX transport
    IpxInfoGatherer g;
    EXPECT_EQ(g.Update(), 1u);
    std::vector<uint8_t> empty(20, 0);
    databuf::WriteHeader(empty.data(), 20, 0xABACAB0A, 1);
    databuf::PutU32(empty.data(), 16, 20);
    EXPECT_EQ(Fill(g), empty);

    ipx.socketFails = false;
    ipx.adapterCount = 2;
    ipx.adapters[0] = {0, 0, 0, 1, 0, 0, 0, 0, 0, 1};
    ipx.adapters[1] = {0, 0, 0, 2, 0, 0, 0, 0, 0, 2};
    g.Update();
    std::vector<uint8_t> two(64, 0);
    databuf::WriteHeader(two.data(), 64, 0xABACAB0A, 1);
    databuf::PutU32(two.data(), 12, 2);
    databuf::PutU32(two.data(), 16, 20);
    std::memcpy(&two[20], "00000002:000000000002\0" "00000001:000000000001", 44);
    EXPECT_EQ(Fill(g), two);

    // IPX removed: the previous list stays.
    ipx.socketFails = true;
    g.Update();
    EXPECT_EQ(Fill(g), two);
}
