// Runs against the built SING32.DLL, loaded by name as the agent loads it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "client/SingClient.h"
#include "framework/GathererRegistry.h"

namespace {

struct ExportSpec {
    const char* name;
    int argBytes;
};

const ExportSpec kExports[] = {
    {"SING_NumGatherers", 0},   {"SING_Name", 4},           {"SING_Init", 4},
    {"SING_Close", 4},          {"SING_Update", 12},        {"SING_GetDataBufLen", 12},
    {"SING_FillDataBuf", 16},   {"SING_GetUniquePacketID", 4}, {"SING_Print", 4},
    {"SING_FlagDMIRefresh", 4}, {"SING_FlagDMIInits", 16},  {"SING_DMIInit", 8},
    {"SING_FlagDMIUpdates", 16}, {"SING_DMIUpdate", 8},     {"SING_FillDMIInfo", 16},
};

// The gatherers the library registers, in index order.
struct Registered {
    const char* name;
    uint32_t packetId;
};
const Registered kRegistered[] = {
    {"WindowsUserInfo", 0xABACAB01},
    {"IPInfo", 0xABACAB02},
    {"NETBIOSInfo", 0xABACAB04},
    {"KMZUserInfo", 0xABACAB05},
    {"IPX Data", 0xABACAB0A},
    {"Regional Data", 0xABACAB0B},
    {nullptr, 0},  // sentinel; rows are added as gatherers land
};
constexpr uint32_t kRegisteredCount = sizeof kRegistered / sizeof kRegistered[0] - 1;

class Sing32Dll : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(lib.Load("SING32.DLL", error)) << error;
    }
    void* Proc(const char* name) { return lib.Proc(name); }
    SingClient lib;
};

#if defined(__i386__)
// Calls fn with `words` stack words (the first the index 0xFFFF, an empty
// slot, the rest 0) and returns how many argument bytes the callee removed.
int CalleePopped(void* fn, int words) {
    int delta;
    __asm__ volatile(
        "movl %%esp, %%esi\n\t"
        "movl %[w], %%ecx\n\t"
        "1:\n\t"
        "cmpl $1, %%ecx\n\t"
        "jle 2f\n\t"
        "pushl $0\n\t"
        "decl %%ecx\n\t"
        "jmp 1b\n\t"
        "2:\n\t"
        "testl %%ecx, %%ecx\n\t"
        "jz 3f\n\t"
        "pushl $0xFFFF\n\t"
        "3:\n\t"
        "call *%[fn]\n\t"
        "movl %%esp, %%eax\n\t"
        "subl %%esi, %%eax\n\t"
        "movl %%esi, %%esp\n\t"
        : "=a"(delta)
        : [fn] "b"(fn), [w] "D"(words)
        : "ecx", "edx", "esi", "memory", "cc");
    return delta + 4 * words;
}
#endif

}  // namespace

TEST_F(Sing32Dll, ExportsAllFifteenNamesUndecorated) {
    for (const ExportSpec& e : kExports) {
        EXPECT_NE(Proc(e.name), nullptr) << e.name;
        std::string decorated = std::string(e.name) + "@" + std::to_string(e.argBytes);
        EXPECT_EQ(Proc(decorated.c_str()), nullptr) << decorated;
    }
}

TEST_F(Sing32Dll, EachExportRemovesExactlyItsArguments) {
#if defined(__i386__)
    for (const ExportSpec& e : kExports)
        EXPECT_EQ(CalleePopped(Proc(e.name), e.argBytes / 4), e.argBytes) << e.name;
#else
    GTEST_SKIP() << "stack cleanup is a 32-bit convention; checked on the i386 build";
#endif
}

TEST_F(Sing32Dll, RegistersTheGatherersInOrder) {
    EXPECT_EQ(lib.numGatherers(), kRegisteredCount);
    auto found = lib.Discover();
    ASSERT_EQ(found.size(), kRegisteredCount);
    for (uint32_t i = 0; i < kRegisteredCount; ++i) {
        EXPECT_EQ(found[i].index, i);
        EXPECT_TRUE(found[i].named) << i;
        EXPECT_EQ(found[i].name, kRegistered[i].name);
        EXPECT_EQ(found[i].packetId, kRegistered[i].packetId);
        EXPECT_STREQ(lib.name(i | 0x00010000), kRegistered[i].name);
    }
    // Past the last registered one every index answers nothing, at the end
    // of the table and beyond it.
    for (uint32_t i = kRegisteredCount; i < 65536; i += (i < 64 ? 1 : 997)) {
        EXPECT_EQ(lib.name(i), nullptr) << i;
        EXPECT_EQ(lib.packetId(i), 0u) << i;
    }
    EXPECT_EQ(lib.name(GathererRegistry::kSlots - 1), nullptr);
    EXPECT_EQ(lib.name(GathererRegistry::kSlots), nullptr);
}

TEST_F(Sing32Dll, EveryGathererCompletesTheHostCycle) {
    std::vector<uint8_t> buf;
    for (const auto& g : lib.Discover())
        EXPECT_GE(lib.FullCycle(g.index, buf), 12) << g.name;
}

// The client refuses what is not SING32.DLL and keeps nothing loaded.
TEST(SingClient, RefusesMissingLibrariesAndLibrariesWithoutTheExports) {
    SingClient lib;
    std::string error;
    EXPECT_FALSE(lib.Load("no_such_sing32.dll", error));
    EXPECT_EQ(error.rfind("cannot load no_such_sing32.dll (error 126", 0), 0u) << error;
    EXPECT_FALSE(lib.Loaded());
    EXPECT_TRUE(lib.Discover().empty());

    EXPECT_FALSE(lib.Load("sing_fixture.dll", error));
    EXPECT_EQ(error, "the library does not export SING_NumGatherers");
    EXPECT_FALSE(lib.Loaded());
    EXPECT_EQ(GetModuleHandleA("sing_fixture.dll"), nullptr);

    ASSERT_TRUE(lib.Load("SING32.DLL", error)) << error;
    EXPECT_TRUE(lib.Unload());
    EXPECT_FALSE(lib.Loaded());
    EXPECT_EQ(lib.numGatherers, nullptr);
}

TEST_F(Sing32Dll, FlagDMIRefreshAnswersOneForAnyArgument) {
    auto flag = reinterpret_cast<uint32_t(__stdcall*)(uint32_t)>(Proc("SING_FlagDMIRefresh"));
    ASSERT_NE(flag, nullptr);
    for (uint32_t v : {0u, 1u, 6u, 0xFFFFFFFFu})
        EXPECT_EQ(flag(v), 1u);
}

TEST(Sing32Load, LoadsAndUnloadsRepeatedly) {
    for (int i = 0; i < 20; ++i) {
        HMODULE m = LoadLibraryA("SING32.DLL");
        ASSERT_NE(m, nullptr);
        ASSERT_TRUE(FreeLibrary(m));
    }
}
