// Proves which kind of process the test programs run in, so that an i386 run
// that silently fell back to 64-bit code cannot pass as one: a 32-bit build
// must run as a WoW64 process on a 64-bit system and load SING32.DLL as a
// PE32 i386 image; a 64-bit build as a native process with a PE32+ image.
#include <windows.h>

#include <gtest/gtest.h>

TEST(Architecture, ProcessAndLibraryMatchTheBuild) {
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    SYSTEM_INFO native{};
    GetNativeSystemInfo(&native);
    EXPECT_EQ(native.wProcessorArchitecture, PROCESSOR_ARCHITECTURE_AMD64);

    HMODULE lib = LoadLibraryA("SING32.DLL");
    ASSERT_NE(lib, nullptr) << "error " << GetLastError();
    const auto* base = reinterpret_cast<const BYTE*>(lib);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const WORD machine = nt->FileHeader.Machine, magic = nt->OptionalHeader.Magic;
    FreeLibrary(lib);
    const bool i386 = sizeof(void*) == 4;
    EXPECT_EQ(wow64 != FALSE, i386) << "a 32-bit test program must run under WoW64, a 64-bit one natively";
    EXPECT_EQ(machine, i386 ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_AMD64);
    EXPECT_EQ(magic, i386 ? IMAGE_NT_OPTIONAL_HDR32_MAGIC : IMAGE_NT_OPTIONAL_HDR64_MAGIC);
}
