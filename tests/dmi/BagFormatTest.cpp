// The index chain walk over bytes in memory: what it costs in copies and
// reads, and where it stops; the host tool's report of a valid file.
#include <gtest/gtest.h>

#include <functional>

#include "decode/DmiBag.h"
#include "tests/dmi/BagImage.h"

namespace {

// Loads the chain of `image` (N = n) and counts what the walk asks of it.
struct CountingLoad : bag::MemorySource {
    CountingLoad(const Bytes& image, uint32_t n, bag::BlockArray& blocks) : MemorySource(image.data(), image.size()) {
        status = bag::LoadChain(*this, databuf::GetU32(image.data(), 12), bag::BlockSize(n), blocks).status;
    }
    uint32_t ReadAt(uint64_t offset, uint8_t* out, uint32_t count) override {
        ++reads;
        bytes += count;
        return MemorySource::ReadAt(offset, out, count);
    }
    uint64_t reads = 0, bytes = 0;
    bag::Status status;
};

}  // namespace

TEST(BagChain, PointerArrayDoublesSoLoadsCopyItLogarithmicallyOften) {
    struct Case {
        uint32_t blocks, capacity, regrowths;
    };
    for (const Case& c : {Case{32, 32, 0}, Case{40, 64, 1}, Case{1000, 1024, 5}, Case{100000, 131072, 12}}) {
        SCOPED_TRACE(c.blocks);
        Bytes image = MakeBag(1, c.blocks);
        bag::BlockArray blocks;
        for (int load : {1, 2}) {  // the second load into the same array reuses its slots
            ASSERT_EQ(CountingLoad(image, 1, blocks).status, bag::Status::Ok) << load;
            EXPECT_EQ(blocks.Count(), c.blocks);
            EXPECT_EQ(blocks.Capacity(), c.capacity);
            EXPECT_EQ(blocks.Regrowths(), c.regrowths);
        }
    }
}

// Whatever order the chain visits the file's blocks in, each is loaded
// intact, and the bytes read stay within twice the file plus the blocks read
// on their own: a chain running forward costs one read per window.
TEST(BagChain, ReadsAheadAndKeepsHostileOrdersLinear) {
    const uint32_t n = 20, count = 20000, half = count / 2, size = bag::BlockSize(n);
    const uint64_t windows = (16 + uint64_t{size} * count) / (bag::kReadAheadBytes - size) + 1;
    const std::tuple<const char*, std::function<uint32_t(uint32_t)>, uint64_t> cases[] = {
        {"forward", [](uint32_t i) { return i; }, windows},
        {"backward", [&](uint32_t i) { return count - 1 - i; }, count + 1},
        {"between the two halves", [&](uint32_t i) { return i % 2 ? half + i / 2 : i / 2; }, half + windows + 1},
    };
    for (const auto& [what, visit, maxReads] : cases) {
        SCOPED_TRACE(what);
        const auto& order = visit;
        Bytes image = MakeBag(n, count);  // rewired to visit block order(0), order(1), ...
        auto at = [&](uint32_t i) { return bag::kHeaderSize + size * order(i); };
        databuf::PutU32(image.data(), 12, at(0));
        for (uint32_t i = 0; i < count; ++i)
            bag::SetNextBlockOffset(image.data() + at(i), i + 1 < count ? at(i + 1) : 0);
        bag::BlockArray blocks;
        CountingLoad load(image, n, blocks);
        ASSERT_EQ(load.status, bag::Status::Ok);
        ASSERT_EQ(blocks.Count(), count);
        for (uint32_t i = 0; i < count; ++i)
            ASSERT_EQ(bag::GetEntry(blocks.Block(i), 0).key, 0x1000 + order(i)) << i;
        EXPECT_LE(load.reads, maxReads);
        EXPECT_LE(load.bytes, 2 * image.size() + bag::kReadAheadBytes + (load.reads - 1) * size);
    }
}

// At most 16 MiB of index blocks: the largest such chain loads, one block
// more is refused as soon as the walk gets there.
TEST(BagChain, IndexIsLimitedTo16MiB) {
    for (uint32_t n : {1u, bag::kMaxEntriesPerBlock}) {
        const uint32_t most = bag::kMaxIndexBytes / bag::BlockSize(n);
        for (uint32_t blocks : {most, most + 1}) {
            bag::BlockArray array;
            EXPECT_EQ(CountingLoad(MakeBag(n, blocks), n, array).status,
                      blocks == most ? bag::Status::Ok : bag::Status::IndexTooLarge) << n << "/" << blocks;
            EXPECT_EQ(array.Count(), most) << n << "/" << blocks;
        }
    }
}

TEST(BagDecode, ListsTheChainAndOnlyTheUsedEntries) {
    Bytes image = MakeBag(20, 3);
    DecodeResult r = DecodeBagFile(image.data(), image.size(), kDmiSignature);
    ASSERT_TRUE(r.ok) << r.error;
    // Each node as key=number, or key{children}.
    std::function<std::string(const Node&)> dump = [&](const Node& n) {
        std::string out = n.key + (n.children.empty() ? "=" + std::to_string(n.number) : "{");
        for (const Node& c : n.children)
            out += dump(c) + " ";
        return out + (n.children.empty() ? "" : "}");
    };
    const std::string all = dump(r.fields);
    const size_t last = all.find("offset=" + std::to_string(16 + 2 * 244) + " ");
    ASSERT_NE(last, std::string::npos) << all;
    // The third block ends the chain and lists entry 0 only (the other 19 are empty).
    const std::string third = "offset=504 nextBlockOffset=0 usedEntries{{entry=0 key=4098 dataOffset=16384 dataLength=99 } }";
    EXPECT_EQ(all.substr(last, third.size()), third) << all;
}
