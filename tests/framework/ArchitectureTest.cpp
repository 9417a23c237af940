// Proves which kind of process the test programs run in, so that an i386 run
// that silently fell back to 64-bit code cannot pass as one: a 32-bit build
// must run as a WoW64 process on a 64-bit system and load SING32.DLL as a
// PE32 i386 image; a 64-bit build as a native process with a PE32+ image.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

struct LoadedImage {
    WORD machine = 0;
    WORD magic = 0;
};

LoadedImage ImageOf(HMODULE m) {
    const auto* base = reinterpret_cast<const BYTE*>(m);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return {nt->FileHeader.Machine, nt->OptionalHeader.Magic};
}

TEST(Architecture, ProcessAndLibraryMatchTheBuild) {
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    SYSTEM_INFO native{};
    GetNativeSystemInfo(&native);
    EXPECT_EQ(native.wProcessorArchitecture, PROCESSOR_ARCHITECTURE_AMD64);

    HMODULE lib = LoadLibraryA("SING32.DLL");
    ASSERT_NE(lib, nullptr) << "error " << GetLastError();
    LoadedImage image = ImageOf(lib);
    FreeLibrary(lib);
    if (sizeof(void*) == 4) {
        EXPECT_TRUE(wow64) << "a 32-bit test program must run under WoW64";
        EXPECT_EQ(image.machine, IMAGE_FILE_MACHINE_I386);
        EXPECT_EQ(image.magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
    } else {
        EXPECT_FALSE(wow64);
        EXPECT_EQ(image.machine, IMAGE_FILE_MACHINE_AMD64);
        EXPECT_EQ(image.magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);
    }
}

}  // namespace
