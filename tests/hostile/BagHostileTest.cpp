// A valid bag file cut at every length, and headers with N at the extremes:
// each is refused and left byte for byte as it was.
#include <gtest/gtest.h>

#include <memory>

#include "dmi/BagFile.h"
#include "tests/dmi/DmiTestUtil.h"

TEST(HostileBag, EveryCutOfAValidFileIsRefusedAndKept) {
    TempDir dir;
    std::string path = dir.File("VOLXDMI.BAG");
    Bytes whole = MakeBag(20, 3);
    for (size_t cut = 1; cut < whole.size(); ++cut) {
        Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
        WriteAll(path, part);
        {
            BagFile f(path.c_str(), 0, kDmiSignature, kDmiEntriesPerBlock, 0, 1);
            ASSERT_EQ(f.IsOpen(), 0u) << cut;
        }
        ASSERT_EQ(ReadAll(path), part) << cut;
    }
    WriteAll(path, whole);
    BagFile f(path.c_str(), 0, kDmiSignature, kDmiEntriesPerBlock, 0, 1);
    EXPECT_EQ(f.IsOpen(), 1u);
}

TEST(HostileBag, EntriesPerBlockAtTheExtremes) {
    TempDir dir;
    std::string path = dir.File("VOLXDMI.BAG");
    for (uint32_t n : {0u, 0xFFFFFFFFu, 0x80000000u, 0x10001u}) {
        Bytes bytes = MakeBag(20, 1);
        databuf::PutU32(bytes.data(), 8, n);
        WriteAll(path, bytes);
        {
            BagFile f(path.c_str(), 0, kDmiSignature, kDmiEntriesPerBlock, 0, 1);
            EXPECT_EQ(f.IsOpen(), 0u) << n;
        }
        EXPECT_EQ(ReadAll(path), bytes) << n;
    }
}
