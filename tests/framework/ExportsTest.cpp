// Runs against the built SING32.DLL, loaded by name as the agent loads it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "client/SingClient.h"

namespace {

// The argument bytes of an export as sing32.h declares it.
template <class R, class... A>
constexpr int ArgBytes(R(SING_CALL*)(A...)) {
    return static_cast<int>(4 * sizeof...(A));
}
#define EXPORT(name) {#name, ArgBytes(name##_fn{})}
const struct {
    const char* name;
    int argBytes;
} kExports[] = {
    EXPORT(SING_NumGatherers), EXPORT(SING_Name),           EXPORT(SING_Init),          EXPORT(SING_Close),
    EXPORT(SING_Update),       EXPORT(SING_GetDataBufLen),  EXPORT(SING_FillDataBuf),   EXPORT(SING_GetUniquePacketID),
    EXPORT(SING_Print),        EXPORT(SING_FlagDMIRefresh), EXPORT(SING_FlagDMIInits),  EXPORT(SING_DMIInit),
    EXPORT(SING_FlagDMIUpdates), EXPORT(SING_DMIUpdate),    EXPORT(SING_FillDMIInfo),
};
#undef EXPORT

#if defined(__i386__)
// Calls fn with `words` stack words (the first the index 0xFFFF, an empty
// slot, the rest 0) and returns how many argument bytes the callee removed.
int CalleePopped(void* fn, int words) {
    int delta;
    __asm__ volatile(
        "movl %%esp, %%esi\n\t"
        "movl %[w], %%ecx\n\t"
        "jecxz 3f\n\t"
        "1: decl %%ecx\n\t"
        "jz 2f\n\t"
        "pushl $0\n\t"
        "jmp 1b\n\t"
        "2: pushl $0xFFFF\n\t"
        "3: call *%[fn]\n\t"
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

// The library is the build's architecture; each export is found by its plain
// name, not a decorated one, and on the i386 build removes exactly its
// arguments from the stack at run time (the static check follows direct
// jumps only).
TEST(Sing32Dll, ExportsUndecoratedAndRemoveTheirArguments) {
    SingClient lib;
    std::string error;
    ASSERT_TRUE(lib.Load("SING32.DLL", error)) << error;
    // An i386 run that silently fell back to 64-bit code cannot pass: a 32-bit
    // program runs under WoW64 and loads a PE32 i386 image, a 64-bit one not.
    const bool i386 = sizeof(void*) == 4;
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    EXPECT_EQ(wow64 != FALSE, i386);
    const auto* base = reinterpret_cast<const BYTE*>(GetModuleHandleA("SING32.DLL"));
    ASSERT_NE(base, nullptr);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    EXPECT_EQ(nt->FileHeader.Machine, i386 ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_AMD64);
    EXPECT_EQ(nt->OptionalHeader.Magic, i386 ? IMAGE_NT_OPTIONAL_HDR32_MAGIC : IMAGE_NT_OPTIONAL_HDR64_MAGIC);
    for (const auto& e : kExports) {
        void* fn = lib.Proc(e.name);
        ASSERT_NE(fn, nullptr) << e.name;
        EXPECT_EQ(lib.Proc((std::string(e.name) + "@" + std::to_string(e.argBytes)).c_str()), nullptr) << e.name;
#if defined(__i386__)
        EXPECT_EQ(CalleePopped(fn, e.argBytes / 4), e.argBytes) << e.name;
#endif
    }
    // (Every gatherer's host cycle and the gatherer count: example_host.)
    for (int i = 0; i < 20; ++i) {  // and the library loads and unloads again and again
        ASSERT_TRUE(lib.Unload()) << i;
        ASSERT_TRUE(lib.Load("SING32.DLL", error)) << error;
    }
}
