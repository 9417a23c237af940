// The bag file on disk: creation, loading, who else may open it, opens that
// fail without touching the file; where it lives, and SING_FillDMIInfo, which
// opens it for one call. Damaged files: tests/hostile.
#include <gtest/gtest.h>

#include <process.h>

#include <atomic>
#include <memory>
#include <thread>

#include "dmi/BagFile.h"
#include "dmi/DmiDatabase.h"
#include "dmi/MutexSemaphore.h"
#include "framework/Exports.h"
#include "framework/Gatherer.h"
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
    enum { TransientOpenError, CreatedByAnotherProgram, DiskFull } fault;
    std::string racePath, raceImage;  // created just after our open found none
    DWORD failingWrite = 0;           // the size of the write that stops half way
    explicit FaultyDisk(decltype(fault) f) : fault(f) { Install(this); }
    ~FaultyDisk() override { Install(nullptr); }
    HANDLE Open(const char* name, DWORD access, DWORD share, DWORD disposition, DWORD flags) override {
        if (fault == TransientOpenError && disposition == OPEN_EXISTING)
            return SetLastError(ERROR_NOT_ENOUGH_MEMORY), INVALID_HANDLE_VALUE;
        HANDLE h = BagFileApi::Open(name, access, share, disposition, flags);
        if (fault == CreatedByAnotherProgram && disposition == OPEN_EXISTING && h == INVALID_HANDLE_VALUE)
            WriteWholeFile(racePath, raceImage);
        return h;
    }
    BOOL Write(HANDLE file, const void* data, DWORD count, DWORD* written) override {
        if (fault != DiskFull || count != failingWrite)
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
        return Gatherer::FillDMIInfo(0, 0, 0, db);
    }
    uint32_t fileOpen = 0;
    std::string path;
};

// The bag file in a folder of its own, which the Data value names.
class Dmi : public ::testing::Test {
protected:
    void SetUp() override { hive.SetString(kHostSettingsKey, "Data", dir.Path()); }
    ScratchHive hive;
    TempDir dir;
    const std::string path = dir.Path() + "\\VOLXDMI.BAG";
};

}  // namespace

// The first open creates the file; then valid files of any N and length,
// 300 blocks of 244 bytes running through more than one read-ahead window.
TEST_F(Dmi, CreatesTheExact260ByteFileAndLoadsValidOnes) {
    const std::tuple<std::string, uint32_t, uint32_t, uint32_t> cases[] = {
        {"", 20, 1, 244}, {"", 20, 1, 244},  // "": what is there (none, then the one created)
        {AsText(MakeBag(10, 1)), 10, 1, 124}, {AsText(MakeBag(20, 0)), 20, 0, 244},
        {AsText(MakeBag(20, 300)), 20, 300, 244}};
    for (const auto& [image, n, blocks, blockSize] : cases) {
        SCOPED_TRACE(std::to_string(n) + "/" + std::to_string(blocks));
        if (!image.empty())
            WriteWholeFile(path, image);
        {
            auto f = OpenBag(path);
            ASSERT_EQ(f->IsOpen(), 1u);
            EXPECT_EQ(f->Open(), 1u);  // already open: held, not opened again
            EXPECT_EQ(f->EntriesPerBlock() * 1000 + f->BlockSize(), n * 1000 + blockSize);
            ASSERT_EQ(f->BlockCount(), blocks);
            for (uint32_t i = 0; !image.empty() && i < blocks; ++i)
                ASSERT_EQ(bag::GetEntry(f->Block(i), 0).key, 0x1000u + i) << i;
        }
        EXPECT_EQ(ReadWholeFile(path), image.empty() ? NewDmiBagImage() : image);
    }
}

// Held for writing, the file admits no other opener, not even a reader that
// shares everything; held read-only, only other readers. A refused opener,
// and an open that fails by chance, neither re-creates nor empties it.
TEST_F(Dmi, SecondOpenersWhileTheFileIsHeldAndFailedOpens) {
    const std::string bytes = ReadWholeFile(WriteWholeFile(path, AsText(MakeBag(20, 2))));
    for (uint32_t heldReadOnly : {0u, 1u}) {
        auto first = OpenBag(path, heldReadOnly);
        ASSERT_EQ(first->IsOpen(), 1u);
        for (uint32_t readOnly : {0u, 1u}) {
            SCOPED_TRACE(std::to_string(heldReadOnly) + " held read-only, second read-only " + std::to_string(readOnly));
            EXPECT_EQ(OpenBag(path, readOnly)->IsOpen(), heldReadOnly & readOnly);
            EXPECT_EQ(OpenFromAnotherProcess(path, readOnly), heldReadOnly & readOnly);
        }
        ScopedHandle reader(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_EQ(reader.Valid(), heldReadOnly != 0);
    }
    EXPECT_EQ(OpenFromAnotherProcess(path, 0), 1u);
    {
        FaultyDisk transient(FaultyDisk::TransientOpenError);
        EXPECT_EQ(OpenBag(path)->IsOpen(), 0u);
    }
    FaultyDisk race(FaultyDisk::CreatedByAnotherProgram);
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

TEST_F(Dmi, PathFollowsTheSettingsKeyAndFitsIn255Characters) {
    const std::string d = dir.Path(), name = "\\VOLXDMI.BAG", d243(243, 'd');
    char sys[MAX_PATH];
    const std::string system = std::string(sys, GetSystemDirectoryA(sys, sizeof sys)) + name, root = d.substr(0, 2) + name;
    const bool had[] = {FileExists(system), FileExists(root)};  // the system one made here: removed after
    struct Case {
        const char* value;  // the value's name; null: no key
        std::string data;
        DWORD type, size;  // size 0: the text with its NUL
        std::string expected;
        DmiPathSource source;
        uint32_t opened;
    };
    const Case cases[] = {
        {"data directory", "C:\\elsewhere", REG_SZ, 0, "VOLXDMI.BAG", DmiPathSource::CurrentDirectory, 1},
        {"Data", d, REG_SZ, 0, path, DmiPathSource::DataDirectory, 1},
        {"Data", d + "\\", REG_SZ, 0, d + "\\" + name, DmiPathSource::DataDirectory, 1},  // no normalising
        {"Data", "", REG_SZ, 0, "VOLXDMI.BAG", DmiPathSource::CurrentDirectory, 1},  // not the drive's root
        {"Data", "%TEMP%", REG_EXPAND_SZ, 0, "%TEMP%" + name, DmiPathSource::DataDirectory, 0},  // no expanding
        {"Data", d243, REG_SZ, 0, d243 + name, DmiPathSource::DataDirectory, 0},  // exactly 255 characters
        {"Data", std::string(244, 'd'), REG_SZ, 0, "", DmiPathSource::None, 0},
        {"Data", std::string(256, 'u'), REG_SZ, 256, "", DmiPathSource::None, 0},  // no NUL
        {nullptr, "", REG_SZ, 0, system, DmiPathSource::SystemDirectory, 1},  // on the NT family
    };
    char saved[MAX_PATH];
    GetCurrentDirectoryA(sizeof saved, saved);
    ASSERT_TRUE(SetCurrentDirectoryA(d.c_str()));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        hive.DeleteKey(kHostSettingsKey);
        if (c.value)
            hive.SetRaw(kHostSettingsKey, c.value, c.type, c.data.c_str(), c.size ? c.size : DWORD(c.data.size() + 1));
        DmiDatabase db(kDmiBagFileName, kDmiSignature, 0);
        EXPECT_EQ(db.Path(), c.expected);
        EXPECT_EQ(db.PathSource(), c.source);
        BagFile* f = db.GetBagFile();
        EXPECT_EQ(f != nullptr, c.source != DmiPathSource::None);
        EXPECT_EQ(f ? f->IsOpen() : 0, c.opened);
    }
    SetCurrentDirectoryA(saved);
    EXPECT_EQ(ReadWholeFile(path), NewDmiBagImage());
    EXPECT_EQ(FileExists(root), had[1]);
    if (!had[0])
        DeleteFileA(system.c_str());
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
    ASSERT_EQ(ReadWholeFile(path), NewDmiBagImage());
    DmiProbe probe;
    EXPECT_EQ(SING_FillDMIInfo(probe.GetIndex(), 1, 2, 3), 1u);
    EXPECT_EQ(probe.fileOpen, 1u);
    EXPECT_EQ(probe.path, path);
    EXPECT_EQ(ScopedHandle(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)).Valid(), true);
    EXPECT_EQ(ReadWholeFile(path), NewDmiBagImage());
    const std::string foreign = ReadWholeFile(WriteWholeFile(path, AsText(MakeBag(20, 2, 0x41424344))));
    EXPECT_EQ(SING_FillDMIInfo(probe.GetIndex(), 0, 0, 0), 1u);
    EXPECT_EQ(probe.fileOpen, 0u);
    EXPECT_EQ(ReadWholeFile(path), foreign);
    for (DWORD failing : {bag::kHeaderSize, bag::BlockSize(kDmiEntriesPerBlock)}) {
        SCOPED_TRACE(failing);
        DeleteFileA(path.c_str());
        {
            FaultyDisk disk(FaultyDisk::DiskFull);
            disk.failingWrite = failing;
            EXPECT_EQ(SING_FillDMIInfo(0xFFFF, 0, 0, 0), 0u);
        }
        EXPECT_FALSE(FileExists(path));
        EXPECT_EQ(SING_FillDMIInfo(0xFFFF, 0, 0, 0), 0u);
        EXPECT_EQ(ReadWholeFile(path), NewDmiBagImage());
    }
}
