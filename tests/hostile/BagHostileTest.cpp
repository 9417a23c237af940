// Bag files of every damaged shape, and every cut of a valid one: the library
// refuses each, read-write and read-only, with its reason and leaves it byte
// for byte; the host tool's report refuses it for the same reason.
#include <gtest/gtest.h>

#include "decode/DmiBag.h"
#include "dmi/BagFile.h"
#include "support/TempDir.h"
#include "tests/dmi/BagImage.h"

TEST(HostileBag, DamagedFilesAreRefusedForTheirReasonAndKept) {
    struct Case {
        std::string what;
        Bytes bytes;
        bag::Status status;
    };
    std::vector<Case> cases = {
        {"another signature", MakeBag(20, 1, 0x12345678), bag::Status::BadSignature},
        {"wrong magic", Patched(MakeBag(20, 1), 4, bag::kMagic ^ 1), bag::Status::BadMagic},
        {"chain looping over two blocks", Patched(MakeBag(20, 2), 16 + 244, 16), bag::Status::ChainTooLong},
        {"block pointing to itself", Patched(MakeBag(20, 1), 16, 16), bag::Status::ChainTooLong},
        {"next block far past the end", Patched(MakeBag(20, 1), 16, 0x7FFFFFF0), bag::Status::ShortBlock},
        {"index one block past 16 MiB", MakeBag(bag::kMaxEntriesPerBlock, 22), bag::Status::IndexTooLarge},
    };
    for (uint32_t n : {0u, bag::kMaxEntriesPerBlock + 1, 0x80000000u, 0xFFFFFFFFu})
        cases.push_back({"N " + std::to_string(n), Patched(MakeBag(20, 1), 8, n), bag::Status::BadEntriesPerBlock});
    const Bytes whole = MakeBag(20, 3);
    for (size_t cut = 0; cut < whole.size(); ++cut)
        cases.push_back({"cut at " + std::to_string(cut), Bytes(whole.begin(), whole.begin() + cut),
                         cut < bag::kHeaderSize ? bag::Status::ShortHeader : bag::Status::ShortBlock});

    TempDir dir;
    const std::string path = dir.Path() + "\\VOLXDMI.BAG";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteWholeFile(path, AsText(c.bytes));
        for (uint32_t readOnly : {0u, 1u}) {
            BagFile f(path.c_str(), 0, kDmiSignature, kDmiEntriesPerBlock, readOnly, 1);
            ASSERT_EQ(f.IsOpen(), 0u);
            ASSERT_EQ(f.LastStatus(), c.status) << bag::Describe(f.LastStatus());
        }
        ASSERT_EQ(ReadWholeFile(path), AsText(c.bytes));
        DecodeResult report = DecodeBagFile(c.bytes.data(), c.bytes.size(), kDmiSignature);
        ASSERT_FALSE(report.ok);
        ASSERT_EQ(report.error.rfind(bag::Describe(c.status), 0), 0u) << report.error;
    }
}
