#include <gtest/gtest.h>

#include <process.h>

#include <atomic>
#include <memory>
#include <thread>

#include "dmi/BagFile.h"
#include "dmi/MutexSemaphore.h"
#include "tests/dmi/DmiTestUtil.h"

namespace {

std::unique_ptr<BagFile> OpenBag(const std::string& path, uint32_t readOnly = 0) {
    return std::make_unique<BagFile>(path.c_str(), 0, kDmiSignature, kDmiEntriesPerBlock, readOnly, 1);
}

// Opens `path` from a second process (sing_bag_probe): 1 opened, 0 refused.
int OpenFromAnotherProcess(const std::string& path) {
    char self[MAX_PATH];
    std::string exe(self, GetModuleFileNameA(nullptr, self, sizeof self));
    exe = exe.substr(0, exe.find_last_of('\\')) + "\\sing_bag_probe.exe";
    return static_cast<int>(_spawnl(_P_WAIT, exe.c_str(), ("\"" + exe + "\"").c_str(),
                                    ("\"" + path + "\"").c_str(), nullptr));
}

class BagFileTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.File("VOLXDMI.BAG");
};

}  // namespace

TEST_F(BagFileTest, CreatesTheExact260ByteFileAndReopensItUnchanged) {
    for (int pass : {1, 2}) {
        {
            auto f = OpenBag(path);
            ASSERT_EQ(f->IsOpen(), 1u) << pass;
            EXPECT_EQ(f->BlockCount(), 1u) << pass;
        }
        EXPECT_EQ(ReadAll(path), NewDmiBagImage()) << pass;
    }
}

TEST_F(BagFileTest, LoadsValidFilesWhateverTheirNAndLength) {
    struct Case {
        uint32_t n, blocks, blockSize;
    };
    // 300 blocks of 244 bytes run through more than one read-ahead window.
    for (const Case& c : {Case{10, 1, 124}, Case{20, 0, 244}, Case{20, 300, 244}}) {
        WriteAll(path, MakeBag(c.n, c.blocks));
        auto f = OpenBag(path);
        ASSERT_EQ(f->IsOpen(), 1u) << c.n << "/" << c.blocks;
        EXPECT_EQ(f->EntriesPerBlock(), c.n);
        EXPECT_EQ(f->BlockSize(), c.blockSize);
        ASSERT_EQ(f->BlockCount(), c.blocks);
        for (uint32_t i = 0; i < c.blocks; ++i)
            ASSERT_EQ(bag::GetEntry(f->Block(i), 0).key, 0x1000u + i) << i;
    }
}

TEST_F(BagFileTest, RefusesDamagedFilesAndLeavesThemUntouched) {
    struct Case {
        const char* what;
        Bytes bytes;
        bag::Status status;
    };
    auto patched = [](uint32_t blocks, size_t at, uint32_t value) {
        Bytes b = MakeBag(20, blocks);
        databuf::PutU32(b.data(), at, value);
        return b;
    };
    Bytes cut = MakeBag(20, 3);
    cut.pop_back();
    const Case cases[] = {
        {"another signature", MakeBag(20, 1, 0x12345678), bag::Status::BadSignature},
        {"10-byte file", Bytes(10, 0x31), bag::Status::ShortHeader},
        {"wrong magic", patched(1, 4, bag::kMagic ^ 1), bag::Status::BadMagic},
        {"chain looping over two blocks", patched(2, 16 + 244, 16), bag::Status::ChainTooLong},
        {"block pointing to itself", patched(1, 16, 16), bag::Status::ChainTooLong},
        {"next block far past the end", patched(1, 16, 0x7FFFFFF0), bag::Status::ShortBlock},
        {"last block cut short", cut, bag::Status::ShortBlock},
        {"index past 16 MiB", MakeBag(0x10000, 22), bag::Status::IndexTooLarge},
    };
    for (const Case& c : cases) {
        WriteAll(path, c.bytes);
        for (uint32_t readOnly : {0u, 1u}) {
            auto f = OpenBag(path, readOnly);
            EXPECT_EQ(f->IsOpen(), 0u) << c.what;
            EXPECT_EQ(f->LastStatus(), c.status) << c.what << ": " << bag::Describe(f->LastStatus());
            EXPECT_EQ(f->Open(), 0u) << c.what;
            EXPECT_EQ(f->OpenCount(), 0u) << c.what;
        }
        EXPECT_EQ(ReadAll(path), c.bytes) << c.what;
    }
}

TEST_F(BagFileTest, OpenOnAnOpenObjectOnlyCounts) {
    auto f = OpenBag(path);
    ASSERT_EQ(f->IsOpen(), 1u);
    EXPECT_EQ(f->Open(), 1u);  // the file is held exclusively: a second disk open would fail
    EXPECT_EQ(f->OpenCount(), 2u);
    f->CloseFile();
    EXPECT_EQ(f->IsOpen(), 0u);
    EXPECT_EQ(f->Open(), 1u);
    EXPECT_EQ(f->OpenCount(), 1u);
    EXPECT_EQ(f->BlockCount(), 1u);
}

TEST_F(BagFileTest, AHeldFileRefusesOtherOpenersAndIsNotEmptied) {
    Bytes image = MakeBag(20, 2);
    WriteAll(path, image);
    {
        auto first = OpenBag(path);
        ASSERT_EQ(first->IsOpen(), 1u);
        EXPECT_EQ(OpenBag(path)->IsOpen(), 0u);
        EXPECT_EQ(OpenBag(path, 1)->IsOpen(), 0u);
        EXPECT_EQ(OpenFromAnotherProcess(path), 0);
    }
    EXPECT_EQ(OpenFromAnotherProcess(path), 1);
    EXPECT_EQ(ReadAll(path), image);
}

TEST_F(BagFileTest, AFailedOpenNeverRecreatesAnExistingFile) {
    static std::string racePath;
    static Bytes raceImage;
    racePath = dir.File("RACE.BAG");
    raceImage = MakeBag(10, 2);
    Bytes image = MakeBag(20, 3);
    WriteAll(path, image);
    // Through the open seam, failures a real disk gives only by chance: a
    // transient error opening the existing file...
    struct TransientError final : BagFileApi {
        HANDLE Open(const char* name, DWORD access, DWORD share, DWORD disposition, DWORD flags) override {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return disposition == OPEN_EXISTING ? INVALID_HANDLE_VALUE
                                                : BagFileApi::Open(name, access, share, disposition, flags);
        }
    } transient;
    BagFileApi::Install(&transient);
    EXPECT_EQ(OpenBag(path)->IsOpen(), 0u);
    // ...and another program creating the file just after our open found none.
    struct Race final : BagFileApi {
        HANDLE Open(const char* name, DWORD access, DWORD share, DWORD disposition, DWORD flags) override {
            HANDLE h = BagFileApi::Open(name, access, share, disposition, flags);
            if (disposition == OPEN_EXISTING && h == INVALID_HANDLE_VALUE)
                WriteAll(racePath, raceImage);
            return h;
        }
    } race;
    BagFileApi::Install(&race);
    EXPECT_EQ(OpenBag(racePath)->IsOpen(), 0u);
    BagFileApi::Install(nullptr);
    EXPECT_EQ(ReadAll(path), image);
    EXPECT_EQ(ReadAll(racePath), raceImage);
}

TEST(MutexSemaphore, IsReentrantAndExcludesOtherThreads) {
    MutexSemaphore m(0);
    EXPECT_EQ(m.Unlock(), 0u);  // not held
    ASSERT_EQ(m.Lock() + m.Lock(), 2u);
    std::atomic<bool> got{false};
    std::thread other([&] { got = m.Lock() == 1 && m.Unlock() == 1; });
    EXPECT_EQ(m.Unlock(), 1u);
    Sleep(100);
    EXPECT_FALSE(got);  // still held once
    EXPECT_EQ(m.Unlock(), 1u);
    other.join();
    EXPECT_TRUE(got);
}
