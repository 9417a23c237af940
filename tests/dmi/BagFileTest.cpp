// The bag file on disk: who else may open it, opens that fail without
// touching the file; where it lives, and SING_FillDMIInfo, which opens (or
// creates) it for one call. Loading valid and damaged files: tests/hostile.
#include <gtest/gtest.h>

#include <process.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

#include "dmi/BagFile.h"
#include "dmi/DmiDatabase.h"
#include "dmi/MutexSemaphore.h"
#include "framework/Exports.h"
#include "framework/Gatherer.h"
#include "support/CaseFile.h"
#include "support/ScratchHive.h"
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

// Failures a real disk gives only by chance, through the file seam.
struct FaultyDisk final : BagFileApi {
    std::string racePath, raceImage;  // another program creates it just after our open found none
    DWORD failingWrite = 0;           // the size of the write that stops half way (disk full)
    FaultyDisk() { Install(this); }
    ~FaultyDisk() override { Install(nullptr); }
    HANDLE Open(const char* name, DWORD access, DWORD share, DWORD disposition, DWORD flags) override {
        HANDLE h = BagFileApi::Open(name, access, share, disposition, flags);
        if (!racePath.empty() && disposition == OPEN_EXISTING && h == INVALID_HANDLE_VALUE)
            WriteWholeFile(racePath, raceImage);
        return h;
    }
    BOOL Write(HANDLE file, const void* data, DWORD count, DWORD* written) override {
        if (count != failingWrite)
            return BagFileApi::Write(file, data, count, written);
        BagFileApi::Write(file, data, count / 2, written);
        return SetLastError(ERROR_DISK_FULL), FALSE;
    }
};

// A gatherer that records the bag file it is given.
struct DmiProbe : Gatherer {
    DmiProbe() : Gatherer("DmiProbe", 0xABACAB77) {}
    uint32_t FillDMIInfo(uint32_t, uint32_t, uint32_t, DmiDatabase* db) override {
        fileOpen = db && db->GetBagFile() ? db->GetBagFile()->IsOpen() : 0;
        path = db ? db->Path() : "";
        // Held for writing: not even a reader that shares everything gets in.
        readable = ScopedHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, 0, nullptr)).Valid();
        return Gatherer::FillDMIInfo(0, 0, 0, db);
    }
    uint32_t fileOpen = 0;
    bool readable = true;
    std::string path;
};

// The bag file in a folder of its own, which the Data value names.
class Dmi : public ::testing::Test {
protected:
    void SetUp() override { hive.SetString(kHostSettingsKey, "Data", dir.Path()); }
    ScratchHive hive;
    TempDir dir;
    const std::string path = dir.Path() + "\\VOLXDMI.BAG";
    // A new DMI bag file: header and one empty block of 20 entries, 260 bytes
    // (a fuzz seed; read as a stream, which takes the "..").
    std::ifstream newFile{SING_CASES_DIR "/../fuzz/corpus/bagfile/new-empty.bag", std::ios::binary};
    const std::string newBag{std::istreambuf_iterator<char>(newFile), {}};
};

}  // namespace

// Held for writing, the file admits no other opener, not even a reader that
// shares everything; held read-only, only other readers, not even a plain
// writer that shares everything. Neither a refused opener nor one that finds
// the file created by another program just after its open failed re-creates
// or empties it.
TEST_F(Dmi, SecondOpenersWhileTheFileIsHeldAndFailedOpens) {
    const std::string bytes = ReadWholeFile(WriteWholeFile(path, AsText(MakeBag(20, 2))));
    for (uint32_t heldReadOnly : {0u, 1u}) {
        auto first = OpenBag(path, heldReadOnly);
        ASSERT_EQ(first->IsOpen(), 1u);
        for (uint32_t readOnly : {0u, 1u}) {
            SCOPED_TRACE("held read-only " + std::to_string(heldReadOnly) + ", second " + std::to_string(readOnly));
            EXPECT_EQ(OpenBag(path, readOnly)->IsOpen(), heldReadOnly & readOnly);
            EXPECT_EQ(OpenFromAnotherProcess(path, readOnly), heldReadOnly & readOnly);
        }
        for (DWORD access : {DWORD{GENERIC_READ}, DWORD{GENERIC_WRITE}}) {  // plain openers that share everything
            ScopedHandle plain(CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, 0, nullptr));
            EXPECT_EQ(plain.Valid(), heldReadOnly != 0 && access == GENERIC_READ) << access;
        }
    }
    EXPECT_EQ(OpenFromAnotherProcess(path, 0), 1u);
    FaultyDisk race;
    race.racePath = dir.Path() + "\\RACE.BAG";
    race.raceImage = AsText(MakeBag(10, 2));
    EXPECT_EQ(OpenBag(race.racePath)->IsOpen(), 0u);
    EXPECT_EQ(ReadWholeFile(race.racePath), race.raceImage);
    EXPECT_EQ(ReadWholeFile(path), bytes);
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

// Where the bag file lives: the cases of path-cases.txt, run with the test's
// folder current.
TEST_F(Dmi, PathFollowsTheSettingsKeyAndFitsIn255Characters) {
    char sys[MAX_PATH];
    const std::string system(sys, GetSystemDirectoryA(sys, sizeof sys));
    const std::string root = dir.Path().substr(0, 2) + "\\VOLXDMI.BAG";
    const bool hadSystemFile = FileExists(system + "\\VOLXDMI.BAG"), hadRootFile = FileExists(root);
    const char* sources[] = {"data", "system", "current", "none"};  // DmiPathSource's order
    const std::vector<TestCase> cases = ReadCases(SING_CASES_DIR "/dmi/path-cases.txt");
    EXPECT_GE(cases.size(), 9u);
    char saved[MAX_PATH];
    GetCurrentDirectoryA(sizeof saved, saved);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.Path().c_str()));
    for (const TestCase& c : cases) {
        SCOPED_TRACE(c.name);
        hive.DeleteKey(kHostSettingsKey);
        const std::string data = Runs(c.Get("data")), expected = Runs(c.Get("path"));
        if (c.Has("value"))
            hive.SetRaw(kHostSettingsKey, c.Get("value").c_str(), std::stoul(c.Get("type")), data.data(), data.size());
        DmiDatabase db(kDmiBagFileName, kDmiSignature, 0);
        EXPECT_EQ(db.Path(), expected.rfind("$SYSTEM", 0) == 0 ? system + expected.substr(7) : expected);
        EXPECT_EQ(sources[static_cast<int>(db.PathSource())], c.Get("source"));
        BagFile* f = db.GetBagFile();
        EXPECT_EQ(f != nullptr, c.Get("source") != "none");
        EXPECT_EQ(std::to_string(f ? f->IsOpen() : 0), c.Get("opened"));
    }
    SetCurrentDirectoryA(saved);
    EXPECT_EQ(ReadWholeFile(path), newBag);
    EXPECT_EQ(FileExists(root), hadRootFile);
    if (!hadSystemFile)
        DeleteFileA((system + "\\VOLXDMI.BAG").c_str());
}

// Inputs a test machine cannot produce: no key and not NT; NT with the system
// directory unreadable or longer than 255; a value without a NUL ends at the
// bytes read.
TEST(DmiPath, InputsATestMachineCannotProduce) {
    char out[kDmiPathRoom];
    DmiPathInputs none, nt, key;
    nt.isWinNT = key.keyOpened = key.dataRead = true;
    key.data = "C:\\DXYZW";
    key.dataSize = 4;
    EXPECT_EQ(ChooseDmiPath(none, "VOLXDMI.BAG", out), DmiPathSource::CurrentDirectory);
    EXPECT_EQ(std::string(out), "VOLXDMI.BAG");
    EXPECT_EQ(ChooseDmiPath(nt, "VOLXDMI.BAG", out), DmiPathSource::None);
    EXPECT_EQ(out[0], '\0');
    EXPECT_EQ(ChooseDmiPath(key, "VOLXDMI.BAG", out), DmiPathSource::DataDirectory);
    EXPECT_EQ(std::string(out), "C:\\D\\VOLXDMI.BAG");
}

// Opened for the call, for any slot, closed again after; a refused file is
// left as it is and the result stays the gatherer's. The disk giving out half
// way through the header or the first block of the file the call creates:
// that stub is deleted, so the next call creates the whole file instead of
// refusing the stub for good.
TEST_F(Dmi, FillDMIInfoOpensTheBagFileForTheCallOnly) {
    EXPECT_EQ(SING_FillDMIInfo(0xFFFF, 1, 2, 3), 0u);
    ASSERT_EQ(ReadWholeFile(path), newBag);
    DmiProbe probe;
    EXPECT_EQ(SING_FillDMIInfo(probe.GetIndex(), 1, 2, 3), 1u);
    EXPECT_EQ(probe.fileOpen, 1u);
    EXPECT_FALSE(probe.readable);
    EXPECT_EQ(probe.path, path);
    EXPECT_EQ(ReadWholeFile(path), newBag);  // closed again: a reader sharing only reading gets in
    const std::string foreign = ReadWholeFile(WriteWholeFile(path, AsText(MakeBag(20, 2, 0x41424344))));
    EXPECT_EQ(SING_FillDMIInfo(probe.GetIndex(), 0, 0, 0), 1u);
    EXPECT_EQ(probe.fileOpen, 0u);
    EXPECT_EQ(ReadWholeFile(path), foreign);
    for (DWORD failing : {bag::kHeaderSize, bag::BlockSize(kDmiEntriesPerBlock)}) {
        SCOPED_TRACE(failing);
        DeleteFileA(path.c_str());
        {
            FaultyDisk disk;
            disk.failingWrite = failing;
            EXPECT_EQ(SING_FillDMIInfo(0xFFFF, 0, 0, 0), 0u);
        }
        EXPECT_FALSE(FileExists(path));
        EXPECT_EQ(SING_FillDMIInfo(0xFFFF, 0, 0, 0), 0u);
        EXPECT_EQ(ReadWholeFile(path), newBag);
    }
}
