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
    std::vector<TestCase> cases = ReadCases(SING_CASES_DIR "/hostile/bag-cases.txt");
    ASSERT_GE(cases.size(), 13u);
    for (size_t cut = 0; cut < MakeBag(20, 3).size(); ++cut)
        cases.push_back({"cut at " + std::to_string(cut),
                         {{"blocks", "3"}, {"cut", std::to_string(cut)},
                          {"status", bag::Describe(cut < bag::kHeaderSize ? bag::Status::ShortHeader
                                                                          : bag::Status::ShortBlock)}}});
    TempDir dir;
    const std::string path = dir.Path() + "\\VOLXDMI.BAG";
    for (const TestCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto number = [&](const char* key, uint32_t otherwise) {
            return c.Has(key) ? static_cast<uint32_t>(std::stoul(c.Get(key), nullptr, 0)) : otherwise;
        };
        const uint32_t n = number("n", 20), blocks = number("blocks", 1);
        Bytes image = MakeBag(n, blocks, number("signature", kDmiSignature));
        if (c.Has("at"))
            databuf::PutU32(image.data(), number("at", 0), number("value", 0));
        image.resize(number("cut", static_cast<uint32_t>(image.size())));
        WriteWholeFile(path, AsText(image));
        const std::string& status = c.Get("status");
        const bool valid = status == "ok";
        for (uint32_t readOnly : {0u, 1u}) {
            BagFile f(path.c_str(), 0, kDmiSignature, kDmiEntriesPerBlock, readOnly, 1);
            ASSERT_EQ(f.IsOpen(), valid ? 1u : 0u);
            ASSERT_EQ(bag::Describe(f.LastStatus()), status);
            if (!valid)
                continue;
            EXPECT_EQ(f.Open(), 1u);  // already open: held and counted, not opened again
            EXPECT_EQ(f.OpenCount(), 2u);
            EXPECT_EQ(f.EntriesPerBlock(), n);
            EXPECT_EQ(f.BlockSize(), number("blockSize", 0));
            ASSERT_EQ(f.BlockCount(), blocks);
            for (uint32_t i = 0; i < blocks; ++i)
                ASSERT_EQ(bag::GetEntry(f.Block(i), 0).key, 0x1000u + i) << i;
        }
        ASSERT_EQ(ReadWholeFile(path), AsText(image));
        DecodeResult report = DecodeBagFile(image.data(), image.size(), kDmiSignature);
        ASSERT_EQ(report.ok, valid);
        ASSERT_TRUE(valid ? report.error.empty() : report.error.rfind(status, 0) == 0) << report.error;
    }
}
