#include <gtest/gtest.h>

#include "dmi/DmiDatabase.h"
#include "framework/Exports.h"
#include "framework/Gatherer.h"
#include "support/ScratchHive.h"
#include "tests/dmi/DmiTestUtil.h"

namespace {

const std::string kKey = kHostSettingsKey;

std::string SystemBagPath() {
    char dir[MAX_PATH];
    UINT n = GetSystemDirectoryA(dir, sizeof dir);
    return std::string(dir, n) + "\\VOLXDMI.BAG";
}

// Runs `body` with `dir` as the current folder.
template <typename Body>
void InFolder(const std::string& dir, Body body) {
    char saved[MAX_PATH];
    GetCurrentDirectoryA(sizeof saved, saved);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
    body();
    SetCurrentDirectoryA(saved);
}

}  // namespace

TEST(DmiPath, JoinsTheDataValueAsItIs) {
    ScratchHive hive;
    TempDir dir;
    hive.SetString(kKey, "Data", dir.Path());
    {
        DmiDatabase db(kDmiBagFileName, kDmiSignature, 0);
        EXPECT_EQ(std::string(db.Path()), dir.Path() + "\\VOLXDMI.BAG");
        ASSERT_NE(db.GetBagFile(), nullptr);
        EXPECT_EQ(db.GetBagFile()->IsOpen(), 1u);
    }
    EXPECT_EQ(ReadAll(dir.File("VOLXDMI.BAG")), NewDmiBagImage());

    // A trailing backslash is kept: the join adds its own.
    hive.SetString(kKey, "Data", dir.Path() + "\\");
    DmiDatabase db(kDmiBagFileName, kDmiSignature, 0);
    EXPECT_EQ(std::string(db.Path()), dir.Path() + "\\\\VOLXDMI.BAG");
    // Variables are not expanded, whatever the value's type.
    hive.SetString(kKey, "Data", "%TEMP%", REG_EXPAND_SZ);
    EXPECT_STREQ(DmiDatabase(kDmiBagFileName, kDmiSignature, 0).Path(), "%TEMP%\\VOLXDMI.BAG");
}

TEST(DmiPath, KeyWithoutDataMeansTheCurrentFolder) {
    ScratchHive hive;
    hive.CreateKey(kKey);
    hive.SetString(kKey, "data directory", "C:\\elsewhere");
    TempDir dir;
    InFolder(dir.Path(), [] {
        DmiDatabase db(kDmiBagFileName, kDmiSignature, 0);
        EXPECT_STREQ(db.Path(), "VOLXDMI.BAG");
        EXPECT_EQ(db.PathSource(), DmiPathSource::CurrentDirectory);
    });
    EXPECT_EQ(ReadAll(dir.File("VOLXDMI.BAG")).size(), 260u);
}

TEST(DmiPath, NoKeyOnWindowsNTMeansTheSystemFolder) {
    ScratchHive hive;
    std::string expected = SystemBagPath();
    bool existed = Exists(expected);
    {
        DmiDatabase db(kDmiBagFileName, kDmiSignature, 0);
        EXPECT_EQ(std::string(db.Path()), expected);
        EXPECT_EQ(db.PathSource(), DmiPathSource::SystemDirectory);
    }
    EXPECT_TRUE(Exists(expected));
    if (!existed)
        DeleteFileA(expected.c_str());
}

TEST(DmiPath, NoKeyOutsideWindowsNTMeansTheCurrentFolder) {
    // A program that Wine tells it runs on Windows 98, in a scratch folder.
    HKEY real = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kHostSettingsKey, 0, KEY_READ, &real) == ERROR_SUCCESS) {
        RegCloseKey(real);
        GTEST_SKIP() << "this prefix has the host settings key";
    }
    const char* appKey = "Software\\Wine\\AppDefaults\\sing_bag_probe.exe";
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, appKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(k, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6);
    RegCloseKey(k);
    TempDir dir;
    std::string out;
    int rc = RunProgram("\"" + ProgramFolder() + "\\sing_bag_probe.exe\" path", dir.Path().c_str(), &out);
    RegDeleteKeyA(HKEY_CURRENT_USER, appKey);
    EXPECT_EQ(out, "VOLXDMI.BAG");
    EXPECT_EQ(rc, 1);
    EXPECT_EQ(ReadAll(dir.File("VOLXDMI.BAG")).size(), 260u);
}

TEST(DmiPath, NamesThatDoNotFitUseNoBagFile) {
    ScratchHive hive;
    TempDir dir;
    InFolder(dir.Path(), [&] {
        // 243 + "\" + 11 characters is exactly 255.
        hive.SetString(kKey, "Data", std::string(243, 'd'));
        EXPECT_EQ(std::strlen(DmiDatabase(kDmiBagFileName, kDmiSignature, 0).Path()), 255u);

        std::string tooLong(244, 'd');
        std::string unterminated(256, 'u');
        std::string longer(400, 'l');
        for (const std::string* v : {&tooLong, &unterminated, &longer}) {
            if (v == &unterminated)
                hive.SetRaw(kKey, "Data", REG_SZ, v->data(), 256);  // no NUL at all
            else
                hive.SetString(kKey, "Data", *v);
            DmiDatabase db(kDmiBagFileName, kDmiSignature, 0);
            EXPECT_STREQ(db.Path(), "") << v->size();
            EXPECT_EQ(db.PathSource(), DmiPathSource::None) << v->size();
            EXPECT_EQ(db.GetBagFile(), nullptr) << v->size();
        }
    });
    // Nothing was created in the current folder instead.
    EXPECT_FALSE(Exists(dir.File("VOLXDMI.BAG")));
}

TEST(DmiPath, LongSystemFoldersAndUnterminatedValues) {
    // Cases the registry and Windows of a test machine cannot produce.
    char path[kDmiPathRoom];
    DmiPathInputs in;
    in.isWinNT = true;
    std::string longSystem = "C:\\" + std::string(70, 's');
    in.systemDirectory = longSystem.c_str();
    EXPECT_EQ(ChooseDmiPath(in, "VOLXDMI.BAG", path), DmiPathSource::SystemDirectory);
    EXPECT_EQ(std::string(path), longSystem + "\\VOLXDMI.BAG");
    in.systemDirectory = nullptr;  // unreadable, or longer than 255
    EXPECT_EQ(ChooseDmiPath(in, "VOLXDMI.BAG", path), DmiPathSource::None);
    EXPECT_STREQ(path, "");

    // The value ends at the bytes read when it has no NUL.
    DmiPathInputs key;
    key.keyOpened = key.dataRead = true;
    char raw[8] = {'C', ':', '\\', 'D', 'X', 'Y', 'Z', 'W'};
    key.data = raw;
    key.dataSize = 4;
    EXPECT_EQ(ChooseDmiPath(key, "VOLXDMI.BAG", path), DmiPathSource::DataDirectory);
    EXPECT_STREQ(path, "C:\\D\\VOLXDMI.BAG");
}

namespace {

// A gatherer that looks at the handle it is given.
class DmiProbe : public Gatherer {
public:
    DmiProbe() : Gatherer("DmiProbe", 0xABACAB77) {}
    ~DmiProbe() = default;
    uint32_t FillDMIInfo(uint32_t, uint32_t, uint32_t, DmiDatabase* db) override {
        seenHandle = db != nullptr;
        if (db && db->GetBagFile()) {
            fileOpen = db->GetBagFile()->IsOpen();
            path = db->Path();
        }
        return Gatherer::FillDMIInfo(0, 0, 0, db);
    }
    bool seenHandle = false;
    uint32_t fileOpen = 0;
    std::string path;
};

}  // namespace

TEST(FillDMIInfo, OpensTheBagFileForTheCallWhateverTheSlot) {
    ScratchHive hive;
    TempDir dir;
    hive.SetString(kKey, "Data", dir.Path());
    std::string bagPath = dir.File("VOLXDMI.BAG");

    EXPECT_EQ(SING_FillDMIInfo(0xFFFF, 1, 2, 3), 0u);
    Bytes created = ReadAll(bagPath);
    ASSERT_EQ(created, NewDmiBagImage());

    DmiProbe probe;
    EXPECT_EQ(SING_FillDMIInfo(probe.GetIndex(), 1, 2, 3), 1u);
    EXPECT_TRUE(probe.seenHandle);
    EXPECT_EQ(probe.fileOpen, 1u);
    EXPECT_EQ(probe.path, bagPath);
    // Closed again when the export returned, and unchanged by the open.
    HANDLE h = CreateFileA(bagPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_EQ(ReadAll(bagPath), created);

    // A file the library refuses is left as it is; the result stays the gatherer's.
    Bytes foreign = MakeBag(20, 2, 0x41424344);
    WriteAll(bagPath, foreign);
    EXPECT_EQ(SING_FillDMIInfo(probe.GetIndex(), 0, 0, 0), 1u);
    EXPECT_EQ(probe.fileOpen, 0u);
    EXPECT_EQ(SING_FillDMIInfo(0xFFFF, 0, 0, 0), 0u);
    EXPECT_EQ(ReadAll(bagPath), foreign);
}
