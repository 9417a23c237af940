// Where the bag file lives, and SING_FillDMIInfo, which opens it for one call.
#include <gtest/gtest.h>

#include <memory>

#include "dmi/DmiDatabase.h"
#include "framework/Exports.h"
#include "framework/Gatherer.h"
#include "support/ScratchHive.h"
#include "support/TempDir.h"
#include "tests/dmi/BagImage.h"

namespace {

const std::string kKey = kHostSettingsKey;

// A file the test may create outside its own folder, removed unless it was there before.
struct Outside {
    explicit Outside(std::string p) : path(std::move(p)), existed(FileExists(path)) {}
    ~Outside() {
        if (!existed)
            DeleteFileA(path.c_str());
    }
    std::string path;
    bool existed;
};

}  // namespace

TEST(DmiPath, FollowsTheSettingsKeyAndFitsIn255Characters) {
    ScratchHive hive;
    TempDir dir;
    const std::string d = dir.Path(), name = "\\VOLXDMI.BAG", d243(243, 'd');
    char sys[MAX_PATH];
    Outside system(std::string(sys, GetSystemDirectoryA(sys, sizeof sys)) + name);
    Outside root(d.substr(0, 2) + name);  // an empty Data: the current drive's root
    enum Key { NoKey, OtherValue, Data, DataWithoutNul };
    struct Case {
        Key key;
        std::string value;
        DWORD type;
        std::string expected;
        DmiPathSource source;
        uint32_t opened;
    };
    const Case cases[] = {
        {OtherValue, "", REG_SZ, "VOLXDMI.BAG", DmiPathSource::CurrentDirectory, 1},
        {Data, d, REG_SZ, d + name, DmiPathSource::DataDirectory, 1},
        {Data, d + "\\", REG_SZ, d + "\\" + name, DmiPathSource::DataDirectory, 1},  // no normalising
        {Data, "", REG_SZ, name, DmiPathSource::DataDirectory, 1},
        {Data, "%TEMP%", REG_EXPAND_SZ, "%TEMP%" + name, DmiPathSource::DataDirectory, 0},  // no expanding
        {Data, d243, REG_SZ, d243 + name, DmiPathSource::DataDirectory, 0},  // exactly 255 characters
        {Data, std::string(244, 'd'), REG_SZ, "", DmiPathSource::None, 0},
        {DataWithoutNul, std::string(256, 'u'), REG_SZ, "", DmiPathSource::None, 0},
        {NoKey, "", REG_SZ, system.path, DmiPathSource::SystemDirectory, 1},  // on the NT family
    };
    char saved[MAX_PATH];
    GetCurrentDirectoryA(sizeof saved, saved);
    ASSERT_TRUE(SetCurrentDirectoryA(d.c_str()));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        hive.DeleteKey(kKey);
        if (c.key == OtherValue)
            hive.SetString(kKey, "data directory", "C:\\elsewhere");
        else if (c.key == Data)
            hive.SetString(kKey, "Data", c.value, c.type);
        else if (c.key == DataWithoutNul)
            hive.SetRaw(kKey, "Data", REG_SZ, c.value.data(), 256);
        DmiDatabase db(kDmiBagFileName, kDmiSignature, 0);
        EXPECT_EQ(db.Path(), c.expected);
        EXPECT_EQ(db.PathSource(), c.source);
        BagFile* f = db.GetBagFile();
        EXPECT_EQ(f != nullptr, c.source != DmiPathSource::None);
        EXPECT_EQ(f ? f->IsOpen() : 0, c.opened);
    }
    SetCurrentDirectoryA(saved);
    EXPECT_EQ(ReadWholeFile(d + name), NewDmiBagImage());
    EXPECT_EQ(ReadWholeFile(root.path), NewDmiBagImage());
}

TEST(DmiPath, InputsATestMachineCannotProduce) {
    char path[kDmiPathRoom];
    DmiPathInputs in;
    EXPECT_EQ(ChooseDmiPath(in, "VOLXDMI.BAG", path), DmiPathSource::CurrentDirectory);  // no key, not NT
    EXPECT_EQ(std::string(path), "VOLXDMI.BAG");
    in.isWinNT = true;  // with the system directory unreadable, or longer than 255
    EXPECT_EQ(ChooseDmiPath(in, "VOLXDMI.BAG", path), DmiPathSource::None);
    EXPECT_EQ(path[0], '\0');
    // A value without a NUL ends at the bytes read.
    DmiPathInputs key;
    key.keyOpened = key.dataRead = true;
    key.data = "C:\\DXYZW";
    key.dataSize = 4;
    EXPECT_EQ(ChooseDmiPath(key, "VOLXDMI.BAG", path), DmiPathSource::DataDirectory);
    EXPECT_EQ(std::string(path), "C:\\D\\VOLXDMI.BAG");
}

namespace {

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

// The bag file in a folder of its own, named by the Data value.
class FillDMIInfo : public ::testing::Test {
protected:
    void SetUp() override { hive.SetString(kKey, "Data", dir.Path()); }
    ScratchHive hive;
    TempDir dir;
    const std::string bagPath = dir.Path() + "\\VOLXDMI.BAG";
};

}  // namespace

TEST_F(FillDMIInfo, OpensTheBagFileForTheCallWhateverTheSlot) {
    EXPECT_EQ(SING_FillDMIInfo(0xFFFF, 1, 2, 3), 0u);
    ASSERT_EQ(ReadWholeFile(bagPath), NewDmiBagImage());
    DmiProbe probe;
    EXPECT_EQ(SING_FillDMIInfo(probe.GetIndex(), 1, 2, 3), 1u);
    EXPECT_EQ(probe.fileOpen, 1u);
    EXPECT_EQ(probe.path, bagPath);
    // Closed again when the export returned, and unchanged.
    HANDLE h = CreateFileA(bagPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_EQ(ReadWholeFile(bagPath), NewDmiBagImage());

    // A refused file is left as it is; the result stays the gatherer's.
    const std::string foreign = AsText(MakeBag(20, 2, 0x41424344));
    WriteWholeFile(bagPath, foreign);
    EXPECT_EQ(SING_FillDMIInfo(probe.GetIndex(), 0, 0, 0), 1u);
    EXPECT_EQ(probe.fileOpen, 0u);
    EXPECT_EQ(ReadWholeFile(bagPath), foreign);
}

// The disk gives out half way through the header or the first block of the
// file the call creates: that stub is deleted, so the next call creates the
// whole file instead of refusing the stub for good.
TEST_F(FillDMIInfo, AFileItCouldNotCompleteIsRemovedAndMadeAfreshNextTime) {
    struct DiskFull final : BagFileApi {
        DWORD failing = 0;  // the size of the write that fails
        BOOL Write(HANDLE file, const void* data, DWORD count, DWORD* written) override {
            if (count != failing)
                return BagFileApi::Write(file, data, count, written);
            BagFileApi::Write(file, data, count / 2, written);
            SetLastError(ERROR_DISK_FULL);
            return FALSE;
        }
    } disk;
    for (DWORD failing : {bag::kHeaderSize, bag::BlockSize(kDmiEntriesPerBlock)}) {
        disk.failing = failing;
        BagFileApi::Install(&disk);
        EXPECT_EQ(SING_FillDMIInfo(0xFFFF, 0, 0, 0), 0u);
        BagFileApi::Install(nullptr);
        EXPECT_FALSE(FileExists(bagPath)) << failing;
        EXPECT_EQ(SING_FillDMIInfo(0xFFFF, 0, 0, 0), 0u);
        EXPECT_EQ(ReadWholeFile(bagPath), NewDmiBagImage()) << failing;
        DeleteFileA(bagPath.c_str());
    }
}
