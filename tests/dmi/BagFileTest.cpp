// The bag file on disk: creation, loading, who else may open it, and opens
// that fail without touching the file. Damaged files: tests/hostile.
#include <gtest/gtest.h>

#include <process.h>

#include <atomic>
#include <memory>
#include <thread>

#include "dmi/BagFile.h"
#include "dmi/MutexSemaphore.h"
#include "support/TempDir.h"
#include "support/TestMachine.h"
#include "tests/dmi/BagImage.h"

namespace {

std::unique_ptr<BagFile> OpenBag(const std::string& path, uint32_t readOnly = 0) {
    return std::make_unique<BagFile>(path.c_str(), 0, kDmiSignature, kDmiEntriesPerBlock, readOnly, 1);
}

// Opens `path` from a second process (sing_bag_probe): 1 opened, 0 refused.
uint32_t OpenFromAnotherProcess(const std::string& path, uint32_t readOnly) {
    std::string exe = TestFolder() + "\\sing_bag_probe.exe";
    return static_cast<uint32_t>(_spawnl(_P_WAIT, exe.c_str(), ("\"" + exe + "\"").c_str(),
                                         ("\"" + path + "\"").c_str(), readOnly ? "ro" : "rw", nullptr));
}

class BagFileTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.Path() + "\\VOLXDMI.BAG";
};

}  // namespace

TEST_F(BagFileTest, CreatesTheExact260ByteFileAndReopensItUnchanged) {
    for (int pass : {1, 2}) {
        {
            auto f = OpenBag(path);
            ASSERT_EQ(f->IsOpen(), 1u) << pass;
            EXPECT_EQ(f->BlockCount(), 1u) << pass;
            EXPECT_EQ(f->Open(), 1u) << pass;  // already open: held, not opened again
        }
        EXPECT_EQ(ReadWholeFile(path), NewDmiBagImage()) << pass;
    }
}

TEST_F(BagFileTest, LoadsValidFilesWhateverTheirNAndLength) {
    struct Case {
        uint32_t n, blocks, blockSize;
    };
    // 300 blocks of 244 bytes run through more than one read-ahead window.
    for (const Case& c : {Case{10, 1, 124}, Case{20, 0, 244}, Case{20, 300, 244}}) {
        WriteWholeFile(path, AsText(MakeBag(c.n, c.blocks)));
        auto f = OpenBag(path);
        ASSERT_EQ(f->IsOpen(), 1u) << c.n << "/" << c.blocks;
        EXPECT_EQ(f->EntriesPerBlock(), c.n);
        EXPECT_EQ(f->BlockSize(), c.blockSize);
        ASSERT_EQ(f->BlockCount(), c.blocks);
        for (uint32_t i = 0; i < c.blocks; ++i)
            ASSERT_EQ(bag::GetEntry(f->Block(i), 0).key, 0x1000u + i) << i;
    }
}

// Held for writing, the file admits no other opener, not even a reader that
// shares everything; held read-only, only other readers. A refused opener
// neither re-creates nor empties it.
TEST_F(BagFileTest, SecondOpenersWhileTheFileIsHeld) {
    const std::string image = AsText(MakeBag(20, 2));
    WriteWholeFile(path, image);
    for (uint32_t heldReadOnly : {0u, 1u}) {
        auto first = OpenBag(path, heldReadOnly);
        ASSERT_EQ(first->IsOpen(), 1u);
        for (uint32_t readOnly : {0u, 1u}) {
            SCOPED_TRACE(std::string(heldReadOnly ? "held read-only" : "held for writing") +
                         (readOnly ? ", second reader" : ", second writer"));
            EXPECT_EQ(OpenBag(path, readOnly)->IsOpen(), heldReadOnly & readOnly);
            EXPECT_EQ(OpenFromAnotherProcess(path, readOnly), heldReadOnly & readOnly);
        }
        ScopedHandle reader(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_EQ(reader.Valid(), heldReadOnly != 0);
    }
    EXPECT_EQ(OpenFromAnotherProcess(path, 0), 1u);
    EXPECT_EQ(ReadWholeFile(path), image);
}

TEST_F(BagFileTest, AFailedOpenNeverRecreatesAnExistingFile) {
    static std::string racePath, raceImage;
    racePath = dir.Path() + "\\RACE.BAG";
    raceImage = AsText(MakeBag(10, 2));
    const std::string image = AsText(MakeBag(20, 3));
    WriteWholeFile(path, image);
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
                WriteWholeFile(racePath, raceImage);
            return h;
        }
    } race;
    BagFileApi::Install(&race);
    EXPECT_EQ(OpenBag(racePath)->IsOpen(), 0u);
    BagFileApi::Install(nullptr);
    EXPECT_EQ(ReadWholeFile(path), image);
    EXPECT_EQ(ReadWholeFile(racePath), raceImage);
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
