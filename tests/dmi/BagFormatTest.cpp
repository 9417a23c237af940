// The index chain walk over bytes in memory: what it costs in copies and
// reads, and where it stops; the host tool's report of a valid file.
#include <gtest/gtest.h>

#include <functional>

#include "decode/DmiBag.h"
#include "tests/dmi/BagImage.h"

namespace {

// Counts what the walk asks of the source.
class CountingSource : public bag::ByteSource {
public:
    explicit CountingSource(const Bytes& b) : inner_(b.data(), b.size()) {}
    uint64_t Size() override { return inner_.Size(); }
    uint32_t ReadAt(uint64_t offset, uint8_t* out, uint32_t count) override {
        ++reads;
        bytes += count;
        return inner_.ReadAt(offset, out, count);
    }
    uint64_t reads = 0, bytes = 0;

private:
    bag::MemorySource inner_;
};

// MakeBag(n, blocks) with the chain rewired to visit the file's blocks in
// the order order(0), order(1), ... (each a block's place in the file).
Bytes ChainInOrder(uint32_t n, uint32_t blocks, const std::function<uint32_t(uint32_t)>& order) {
    Bytes b = MakeBag(n, blocks);
    auto at = [&](uint32_t i) { return bag::kHeaderSize + bag::BlockSize(n) * order(i); };
    databuf::PutU32(b.data(), 12, at(0));
    for (uint32_t i = 0; i < blocks; ++i)
        bag::SetNextBlockOffset(b.data() + at(i), i + 1 < blocks ? at(i + 1) : 0);
    return b;
}

// Loads the chain of `image` (N = n) from `source`, which holds its bytes.
bag::ChainResult Load(bag::ByteSource& source, const Bytes& image, uint32_t n, bag::BlockArray& blocks) {
    return bag::LoadChain(source, databuf::GetU32(image.data(), 12), bag::BlockSize(n), blocks);
}

}  // namespace

TEST(BagChain, PointerArrayDoublesSoLoadsCopyItLogarithmicallyOften) {
    struct Case {
        uint32_t blocks, capacity, regrowths;
    };
    for (const Case& c : {Case{32, 32, 0}, Case{40, 64, 1}, Case{1000, 1024, 5}, Case{100000, 131072, 12}}) {
        Bytes image = MakeBag(1, c.blocks);
        bag::MemorySource source(image.data(), image.size());
        bag::BlockArray blocks;
        ASSERT_EQ(Load(source, image, 1, blocks).status, bag::Status::Ok) << c.blocks;
        EXPECT_EQ(blocks.Count(), c.blocks);
        EXPECT_EQ(blocks.Capacity(), c.capacity) << c.blocks;
        EXPECT_EQ(blocks.Regrowths(), c.regrowths) << c.blocks;
        // A second load into the same array reuses its slots.
        ASSERT_EQ(Load(source, image, 1, blocks).status, bag::Status::Ok);
        EXPECT_EQ(blocks.Regrowths(), c.regrowths) << c.blocks;
    }
}

// Whatever order the chain visits the file's blocks in, each is loaded
// intact, and the bytes read stay within twice the file plus the blocks read
// on their own: a chain running forward costs one read per window.
TEST(BagChain, ReadsAheadAndKeepsHostileOrdersLinear) {
    const uint32_t n = 20, count = 20000, half = count / 2;
    struct Case {
        const char* what;
        std::function<uint32_t(uint32_t)> order;
        uint64_t maxReads;
    };
    const uint64_t windows = (16 + uint64_t{bag::BlockSize(n)} * count) / (bag::kReadAheadBytes - bag::BlockSize(n)) + 1;
    const Case cases[] = {
        {"forward", [](uint32_t i) { return i; }, windows},
        {"backward", [&](uint32_t i) { return count - 1 - i; }, count + 1},
        {"between the two halves", [&](uint32_t i) { return i % 2 ? half + i / 2 : i / 2; }, half + windows + 1},
    };
    for (const Case& c : cases) {
        Bytes image = ChainInOrder(n, count, c.order);
        CountingSource source(image);
        bag::BlockArray blocks;
        ASSERT_EQ(Load(source, image, n, blocks).status, bag::Status::Ok) << c.what;
        ASSERT_EQ(blocks.Count(), count) << c.what;
        for (uint32_t i = 0; i < count; ++i)
            ASSERT_EQ(bag::GetEntry(blocks.Block(i), 0).key, 0x1000 + c.order(i)) << c.what << " " << i;
        EXPECT_LE(source.reads, c.maxReads) << c.what;
        EXPECT_LE(source.bytes, 2 * image.size() + bag::kReadAheadBytes + (source.reads - 1) * bag::BlockSize(n))
            << c.what;
    }
}

// At most 16 MiB of index blocks: the largest such chain loads, one block
// more is refused as soon as the walk gets there.
TEST(BagChain, IndexIsLimitedTo16MiB) {
    for (uint32_t n : {1u, bag::kMaxEntriesPerBlock}) {
        const uint32_t most = bag::kMaxIndexBytes / bag::BlockSize(n);
        for (uint32_t blocks : {most, most + 1}) {
            Bytes image = MakeBag(n, blocks);
            bag::MemorySource source(image.data(), image.size());
            bag::BlockArray array;
            bag::ChainResult r = Load(source, image, n, array);
            EXPECT_EQ(r.status, blocks == most ? bag::Status::Ok : bag::Status::IndexTooLarge) << n << "/" << blocks;
            EXPECT_EQ(array.Count(), most) << n << "/" << blocks;
        }
    }
}

TEST(BagDecode, ListsTheChainAndOnlyTheUsedEntries) {
    auto child = [](const Node& n, const std::string& key) -> const Node& {
        for (const Node& c : n.children)
            if (c.key == key)
                return c;
        static const Node none{};
        ADD_FAILURE() << "no " << key;
        return none;
    };
    Bytes image = MakeBag(20, 3);
    DecodeResult r = DecodeBagFile(image.data(), image.size(), kDmiSignature);
    ASSERT_TRUE(r.ok) << r.error;
    const Node& blocks = child(r.fields, "blocks");
    ASSERT_EQ(blocks.children.size(), 3u);
    const Node& last = blocks.children[2];
    EXPECT_EQ(child(last, "offset").number, 16u + 2 * 244);
    EXPECT_EQ(child(last, "nextBlockOffset").number, 0u);
    const Node& used = child(last, "usedEntries");
    ASSERT_EQ(used.children.size(), 1u);  // the other 19 are empty
    EXPECT_EQ(child(used.children[0], "key").number, 0x1002u);
    EXPECT_EQ(child(used.children[0], "dataLength").number, 99u);
}
