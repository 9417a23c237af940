// Bag files of every shape: valid ones of any N and length load block for
// block; damaged ones and every cut of a valid one are refused for their
// reason. Read-write and read-only alike, each file is left byte for byte,
// and the host tool's report agrees. The shapes: bag-cases.txt beside this file.
#include <gtest/gtest.h>

#include "decode/DmiBag.h"
#include "dmi/BagFile.h"
#include "support/CaseFile.h"
#include "support/TempDir.h"
#include "tests/dmi/BagImage.h"

TEST(HostileBag, EachShapeLoadsOrIsRefusedForItsReasonAndIsKept) {
    struct Case {
        std::string what, status;
        Bytes bytes;
        uint32_t n, blocks, blockSize;
    };
    std::vector<Case> cases;
    for (const TestCase& c : ReadCases(SING_CASES_DIR "/hostile/bag-cases.txt")) {
        auto number = [&](const char* key, uint32_t otherwise) {
            return c.Has(key) ? static_cast<uint32_t>(std::stoul(c.Get(key), nullptr, 0)) : otherwise;
        };
        const uint32_t n = number("n", 20), blocks = number("blocks", 1);
        Bytes image = MakeBag(n, blocks, number("signature", kDmiSignature));
        if (c.Has("at"))
            databuf::PutU32(image.data(), number("at", 0), number("value", 0));
        cases.push_back({c.name, c.Get("status"), image, n, blocks, number("blockSize", 0)});
    }
    ASSERT_GE(cases.size(), 13u);
    const Bytes whole = MakeBag(20, 3);
    for (size_t cut = 0; cut < whole.size(); ++cut)
        cases.push_back({"cut at " + std::to_string(cut),
                         bag::Describe(cut < bag::kHeaderSize ? bag::Status::ShortHeader : bag::Status::ShortBlock),
                         Bytes(whole.begin(), whole.begin() + cut), 0, 0, 0});

    TempDir dir;
    const std::string path = dir.Path() + "\\VOLXDMI.BAG";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteWholeFile(path, AsText(c.bytes));
        const bool valid = c.status == "ok";
        for (uint32_t readOnly : {0u, 1u}) {
            BagFile f(path.c_str(), 0, kDmiSignature, kDmiEntriesPerBlock, readOnly, 1);
            ASSERT_EQ(f.IsOpen(), valid ? 1u : 0u);
            ASSERT_EQ(bag::Describe(f.LastStatus()), c.status);
            if (!valid)
                continue;
            EXPECT_EQ(f.Open(), 1u);  // already open: held, not opened again
            EXPECT_EQ(f.EntriesPerBlock(), c.n);
            EXPECT_EQ(f.BlockSize(), c.blockSize);
            ASSERT_EQ(f.BlockCount(), c.blocks);
            for (uint32_t i = 0; i < c.blocks; ++i)
                ASSERT_EQ(bag::GetEntry(f.Block(i), 0).key, 0x1000u + i) << i;
        }
        ASSERT_EQ(ReadWholeFile(path), AsText(c.bytes));
        DecodeResult report = DecodeBagFile(c.bytes.data(), c.bytes.size(), kDmiSignature);
        ASSERT_EQ(report.ok, valid);
        ASSERT_TRUE(valid ? report.error.empty() : report.error.rfind(c.status, 0) == 0) << report.error;
    }
}
