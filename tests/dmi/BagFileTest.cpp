#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "dmi/BagFile.h"
#include "dmi/MutexSemaphore.h"
#include "tests/dmi/DmiTestUtil.h"

namespace {

BagFile* OpenBag(const std::string& path, uint32_t readOnly = 0) {
    return new BagFile(path.c_str(), 0, kDmiSignature, kDmiEntriesPerBlock, readOnly, 1);
}

class BagFileTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.File("VOLXDMI.BAG");
};

}  // namespace

TEST_F(BagFileTest, CreatesTheExact260ByteFileAndReopensIt) {
    {
        std::unique_ptr<BagFile> f(OpenBag(path));
        ASSERT_EQ(f->IsOpen(), 1u);
        EXPECT_EQ(f->OpenCount(), 1u);
        EXPECT_EQ(f->BlockCount(), 1u);
        EXPECT_EQ(f->BlockSize(), 244u);
        EXPECT_EQ(f->FirstBlockOffset(), 16u);
    }
    EXPECT_EQ(ReadAll(path), NewDmiBagImage());

    std::unique_ptr<BagFile> again(OpenBag(path));
    ASSERT_EQ(again->IsOpen(), 1u);
    EXPECT_EQ(again->BlockCount(), 1u);
    EXPECT_EQ(bag::GetEntry(again->Block(0), 19).key, bag::kEmptyKey);
    again.reset();
    EXPECT_EQ(ReadAll(path), NewDmiBagImage());
}

TEST_F(BagFileTest, TakesNFromTheHeaderOfAnExistingFile) {
    WriteAll(path, MakeBag(10, 1));
    std::unique_ptr<BagFile> f(OpenBag(path));
    ASSERT_EQ(f->IsOpen(), 1u);
    EXPECT_EQ(f->EntriesPerBlock(), 10u);
    EXPECT_EQ(f->BlockSize(), 124u);
    EXPECT_EQ(bag::GetEntry(f->Block(0), 0).key, 0x1000u);
}

TEST_F(BagFileTest, LoadsLongChainsGrowingTheArrayBy32) {
    WriteAll(path, MakeBag(20, 40));
    std::unique_ptr<BagFile> f(OpenBag(path));
    ASSERT_EQ(f->IsOpen(), 1u);
    EXPECT_EQ(f->BlockCount(), 40u);
    EXPECT_EQ(f->BlockCapacity(), 64u);
    for (uint32_t i = 0; i < 40; ++i)
        ASSERT_EQ(bag::GetEntry(f->Block(i), 0).key, 0x1000u + i) << i;
}

TEST_F(BagFileTest, FirstBlockOffsetZeroMeansAnEmptyIndex) {
    WriteAll(path, MakeBag(20, 0));
    std::unique_ptr<BagFile> f(OpenBag(path));
    EXPECT_EQ(f->IsOpen(), 1u);
    EXPECT_EQ(f->BlockCount(), 0u);
}

TEST_F(BagFileTest, RefusesDamagedFilesAndLeavesThemUntouched) {
    struct Case {
        const char* what;
        Bytes bytes;
        bag::Status status;
    };
    Bytes loop = MakeBag(20, 2);
    databuf::PutU32(loop.data(), 16 + 244, 16);  // the second block points back to the first
    Bytes self = MakeBag(20, 1);
    databuf::PutU32(self.data(), 16, 16);
    Bytes pastEnd = MakeBag(20, 1);
    databuf::PutU32(pastEnd.data(), 16, 0x7FFFFFF0);
    Bytes cut = MakeBag(20, 3);
    cut.resize(cut.size() - 1);
    Bytes farFirst = MakeBag(20, 1);
    databuf::PutU32(farFirst.data(), 12, 100000);
    Bytes badMagic = MakeBag(20, 1);
    badMagic[4] ^= 1;
    Bytes nZero = MakeBag(20, 1);
    databuf::PutU32(nZero.data(), 8, 0);
    Bytes nHuge = MakeBag(20, 1);
    databuf::PutU32(nHuge.data(), 8, 0x15555555);  // 4 + 12 * N wraps to 0
    const Case cases[] = {
        {"another signature", MakeBag(20, 1, 0x12345678), bag::Status::BadSignature},
        {"10-byte file", Bytes(10, 0x31), bag::Status::ShortHeader},
        {"empty file", Bytes{}, bag::Status::ShortHeader},
        {"wrong magic", badMagic, bag::Status::BadMagic},
        {"N of 0", nZero, bag::Status::BadEntriesPerBlock},
        {"absurd N", nHuge, bag::Status::BadEntriesPerBlock},
        {"chain looping over two blocks", loop, bag::Status::ChainTooLong},
        {"block pointing to itself", self, bag::Status::ChainTooLong},
        {"next block past the end", pastEnd, bag::Status::ShortBlock},
        {"last block cut short", cut, bag::Status::ShortBlock},
        {"first block past the end", farFirst, bag::Status::ShortBlock},
    };
    for (const Case& c : cases) {
        WriteAll(path, c.bytes);
        for (uint32_t readOnly : {0u, 1u}) {
            std::unique_ptr<BagFile> f(OpenBag(path, readOnly));
            EXPECT_EQ(f->IsOpen(), 0u) << c.what;
            EXPECT_EQ(f->OpenCount(), 0u) << c.what;
            EXPECT_EQ(f->LastStatus(), c.status) << c.what << ": " << bag::Describe(f->LastStatus());
            EXPECT_EQ(f->Open(), 0u) << c.what;
        }
        EXPECT_EQ(ReadAll(path), c.bytes) << c.what;
    }
}

TEST_F(BagFileTest, OpenOnAnOpenObjectOnlyCounts) {
    std::unique_ptr<BagFile> f(OpenBag(path));
    ASSERT_EQ(f->IsOpen(), 1u);
    // Nobody else can open the file meanwhile, so a second open that went
    // to the disk would fail; it must not try.
    EXPECT_EQ(f->Open(), 1u);
    EXPECT_EQ(f->OpenCount(), 2u);
    EXPECT_EQ(f->BlockCount(), 1u);
    f->CloseFile();
    EXPECT_EQ(f->IsOpen(), 0u);
    EXPECT_EQ(f->Open(), 1u);  // a closed object starts again from 1
    EXPECT_EQ(f->OpenCount(), 1u);
    EXPECT_EQ(f->BlockCount(), 1u);
}

TEST_F(BagFileTest, AHeldFileRefusesOtherOpenersAndIsNotEmptied) {
    Bytes image = MakeBag(20, 2);
    WriteAll(path, image);
    std::string probe = "\"" + ProgramFolder() + "\\sing_bag_probe.exe\" open \"" + path + "\"";
    {
        std::unique_ptr<BagFile> first(OpenBag(path));
        ASSERT_EQ(first->IsOpen(), 1u);
        std::unique_ptr<BagFile> second(OpenBag(path));
        EXPECT_EQ(second->IsOpen(), 0u);
        std::unique_ptr<BagFile> reader(OpenBag(path, 1));
        EXPECT_EQ(reader->IsOpen(), 0u);
        EXPECT_EQ(RunProgram(probe, nullptr), 0);
    }
    EXPECT_EQ(ReadAll(path), image);
    EXPECT_EQ(RunProgram(probe, nullptr), 1);
    EXPECT_EQ(ReadAll(path), image);

    // Another program holding the file, even with full sharing, keeps it.
    HANDLE other = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    EXPECT_EQ(std::unique_ptr<BagFile>(OpenBag(path))->IsOpen(), 0u);
    CloseHandle(other);
    EXPECT_EQ(ReadAll(path), image);
}

TEST_F(BagFileTest, AFolderOfThatNameIsLeftAlone) {
    std::string folder = dir.File("FOLDER.BAG");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    EXPECT_EQ(std::unique_ptr<BagFile>(OpenBag(folder))->IsOpen(), 0u);
    EXPECT_EQ(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY, DWORD{FILE_ATTRIBUTE_DIRECTORY});
}

namespace {

// Failures a real disk gives only by chance, through the open seam.
std::string racePath;
Bytes raceImage;

HANDLE TransientFailure(const char* name, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
    if (disposition == OPEN_EXISTING) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileA(name, access, share, nullptr, disposition, flags, nullptr);
}

// Another program creates the file just after our open found none.
HANDLE CreatedMeanwhile(const char* name, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
    HANDLE h = CreateFileA(name, access, share, nullptr, disposition, flags, nullptr);
    if (disposition == OPEN_EXISTING && h == INVALID_HANDLE_VALUE)
        WriteAll(racePath, raceImage);
    return h;
}

struct SeamGuard {
    explicit SeamGuard(BagFileOpenFn fn) { SetBagFileOpenFn(fn); }
    ~SeamGuard() { SetBagFileOpenFn(nullptr); }
};

}  // namespace

TEST_F(BagFileTest, AFailedOpenNeverRecreatesAnExistingFile) {
    Bytes image = MakeBag(20, 3);
    WriteAll(path, image);
    {
        SeamGuard seam(TransientFailure);
        EXPECT_EQ(std::unique_ptr<BagFile>(OpenBag(path))->IsOpen(), 0u);
    }
    EXPECT_EQ(ReadAll(path), image);

    racePath = dir.File("RACE.BAG");
    raceImage = MakeBag(10, 2);
    {
        SeamGuard seam(CreatedMeanwhile);
        EXPECT_EQ(std::unique_ptr<BagFile>(OpenBag(racePath))->IsOpen(), 0u);
    }
    EXPECT_EQ(ReadAll(racePath), raceImage);
}

TEST(MutexSemaphore, IsReentrantAndExcludesOtherThreads) {
    MutexSemaphore m(0);
    ASSERT_EQ(m.IsValid(), 1u);
    EXPECT_EQ(m.Unlock(), 0u);  // not held
    ASSERT_EQ(m.Lock(), 1u);
    ASSERT_EQ(m.Lock(), 1u);
    std::atomic<bool> got{false};
    std::thread other([&] {
        if (m.Lock() == 1) {
            got = true;
            m.Unlock();
        }
    });
    Sleep(100);
    EXPECT_FALSE(got);
    EXPECT_EQ(m.Unlock(), 1u);
    Sleep(100);
    EXPECT_FALSE(got);  // still held once
    EXPECT_EQ(m.Unlock(), 1u);
    other.join();
    EXPECT_TRUE(got);
}
