// The host tool's read-only report of a bag file.
#include <gtest/gtest.h>

#include "decode/DmiBag.h"
#include "tests/dmi/DmiTestUtil.h"

namespace {

const Node& Child(const Node& n, const std::string& key) {
    for (const Node& c : n.children)
        if (c.key == key)
            return c;
    ADD_FAILURE() << "no " << key;
    static const Node none{};
    return none;
}

DecodeResult Decode(const Bytes& b) { return DecodeBagFile(b.data(), b.size(), kDmiSignature); }

}  // namespace

TEST(BagDecode, ListsTheChainAndTheUsedEntries) {
    DecodeResult r = Decode(MakeBag(20, 3));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(Child(r.fields, "blockCount").number, 3u);
    ASSERT_EQ(Child(r.fields, "blocks").children.size(), 3u);
    const Node& last = Child(r.fields, "blocks").children[2];
    EXPECT_EQ(Child(last, "offset").number, 16u + 2 * 244);
    EXPECT_EQ(Child(last, "nextBlockOffset").number, 0u);
    const Node& used = Child(last, "usedEntries");
    ASSERT_EQ(used.children.size(), 1u);  // the other 19 are empty
    EXPECT_EQ(Child(used.children[0], "key").number, 0x1002u);
    EXPECT_EQ(Child(used.children[0], "dataLength").number, 99u);
}

TEST(BagDecode, ReportsWhatTheLibraryWouldRefuse) {
    DecodeResult r = Decode(MakeBag(20, 1, 0x01020304));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "wrong signature");
    EXPECT_EQ(Child(Child(r.fields, "header"), "signature").number, 0x01020304u);

    Bytes loop = MakeBag(20, 2);
    databuf::PutU32(loop.data(), 16 + 244, 16);
    r = Decode(loop);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("loop"), std::string::npos) << r.error;
    EXPECT_EQ(Child(r.fields, "blockCount").number, 2u);

    // Every shorter prefix of a valid file is refused without reading past it.
    Bytes image = MakeBag(20, 2);
    for (size_t n = 0; n < image.size(); ++n)
        ASSERT_FALSE(Decode(Bytes(image.begin(), image.begin() + n)).ok) << n;
}
