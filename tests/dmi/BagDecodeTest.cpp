// The host tool's read-only report of a bag file.
#include <gtest/gtest.h>

#include "decode/DmiBag.h"
#include "tests/dmi/DmiTestUtil.h"

namespace {

const Node* Child(const Node& n, const std::string& key) {
    for (const Node& c : n.children)
        if (c.key == key)
            return &c;
    return nullptr;
}

}  // namespace

TEST(BagDecode, ListsTheChainAndTheUsedEntries) {
    Bytes image = MakeBag(20, 3);
    DecodeResult r = DecodeBagFile(image.data(), image.size(), kDmiSignature);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(Child(r.fields, "blockCount")->number, 3u);
    const Node* blocks = Child(r.fields, "blocks");
    ASSERT_EQ(blocks->children.size(), 3u);
    const Node& last = blocks->children[2];
    EXPECT_EQ(Child(last, "offset")->number, 16u + 2 * 244);
    EXPECT_EQ(Child(last, "nextBlockOffset")->number, 0u);
    const Node* used = Child(last, "usedEntries");
    ASSERT_EQ(used->children.size(), 1u);  // the other 19 are empty
    EXPECT_EQ(Child(used->children[0], "key")->number, 0x1002u);
    EXPECT_EQ(Child(used->children[0], "dataLength")->number, 99u);

    Bytes fresh = NewDmiBagImage();
    r = DecodeBagFile(fresh.data(), fresh.size(), kDmiSignature);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(Child(r.fields, "blocks")->children[0].children.back().children.empty());
}

TEST(BagDecode, ReportsWhatTheLibraryWouldRefuse) {
    Bytes foreign = MakeBag(20, 1, 0x01020304);
    DecodeResult r = DecodeBagFile(foreign.data(), foreign.size(), kDmiSignature);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "wrong signature");
    EXPECT_EQ(Child(*Child(r.fields, "header"), "signature")->number, 0x01020304u);

    Bytes loop = MakeBag(20, 2);
    databuf::PutU32(loop.data(), 16 + 244, 16);
    r = DecodeBagFile(loop.data(), loop.size(), kDmiSignature);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("loop"), std::string::npos) << r.error;
    EXPECT_EQ(Child(r.fields, "blockCount")->number, 2u);

    // Every shorter prefix of a valid file is refused without reading past it.
    Bytes image = MakeBag(20, 2);
    for (size_t n = 0; n < image.size(); ++n) {
        Bytes part(image.begin(), image.begin() + n);
        ASSERT_FALSE(DecodeBagFile(part.data(), part.size(), kDmiSignature).ok) << n;
    }
}
