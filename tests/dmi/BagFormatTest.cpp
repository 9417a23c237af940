// The index chain walk over bytes in memory: what it costs in copies and
// reads, and where it stops; the host tool's report of a valid file.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>

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

// The pointer array doubles, so loads copy it logarithmically often; a second
// load into the same array reuses its slots. At most 16 MiB of index blocks:
// the largest such chain loads, one block more is refused as soon as the walk
// gets there.
TEST(BagChain, PointerArrayDoublesAndTheIndexIsLimitedTo16MiB) {
    struct Case {
        uint32_t n, blocks, loaded, capacity, regrowths;
    };
    const uint32_t big = bag::kMaxEntriesPerBlock, most = bag::kMaxIndexBytes / bag::BlockSize(1),
                   mostBig = bag::kMaxIndexBytes / bag::BlockSize(big);
    for (const Case& c : {Case{1, 32, 32, 32, 0}, Case{1, 40, 40, 64, 1}, Case{1, 1000, 1000, 1024, 5},
                          Case{1, 100000, 100000, 131072, 12}, Case{1, most, most, most, 15},
                          Case{1, most + 1, most, most, 15}, Case{big, mostBig, mostBig, 32, 0},
                          Case{big, mostBig + 1, mostBig, 32, 0}}) {
        SCOPED_TRACE(std::to_string(c.n) + "/" + std::to_string(c.blocks));
        Bytes image = MakeBag(c.n, c.blocks);
        bag::BlockArray blocks;
        for (int load : {1, 2}) {
            EXPECT_EQ(CountingLoad(image, c.n, blocks).status,
                      c.loaded == c.blocks ? bag::Status::Ok : bag::Status::IndexTooLarge) << load;
            EXPECT_EQ(blocks.Count(), c.loaded);
            ASSERT_EQ(blocks.Capacity(), c.capacity);  // a slower growth stops here, before the large rows
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

// The host tool's report of a valid file of three blocks, as singdump shows it
// (bag-report.txt): the chain in order, and in each block only entry 0 (the
// other 19 are empty).
TEST(BagDecode, ListsTheChainAndOnlyTheUsedEntries) {
    Bytes image = MakeBag(20, 3);
    DecodeResult r = DecodeBagFile(image.data(), image.size(), kDmiSignature);
    ASSERT_TRUE(r.ok) << r.error;
    std::ifstream expected(SING_CASES_DIR "/dmi/bag-report.txt");
    EXPECT_EQ(RenderText(r.fields, 0), std::string(std::istreambuf_iterator<char>(expected), {}));
}
