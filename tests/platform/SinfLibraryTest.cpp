// The KMZSYS32.DLL binding, over two test doubles and over the real library.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/SinfLibrary.h"

TEST(SinfLibrary, ClosesOnlyAfterANonZeroInitAndBeforeUnloading) {
    // The double's log: L loaded, I SINF_Init, C SINF_Close, U unloaded.
    // Without SINF_Init nothing is called, not even SINF_Close.
    const std::tuple<const char*, const char*, bool, const char*> cases[] = {
        {"sinf_double.dll", "1", true, "LICU"},       {"sinf_double.dll", "0x80000000", true, "LICU"},
        {"sinf_double.dll", "7", true, "LICU"},       {"sinf_double.dll", "0", false, "LIU"},
        {"sinf_noinit.dll", "1", false, "LU"},        {"no_such_kmzsys32.dll", "1", false, ""}};
    for (const auto& [library, answer, initialised, log] : cases) {
        SetEnvironmentVariableA("SINF_DOUBLE_LOG", "");
        SetEnvironmentVariableA("SINF_DOUBLE_INIT", answer);
        {
            SinfLibrary lib(library);
            EXPECT_EQ(lib.InitResult() != 0, initialised) << library << " " << answer;
            EXPECT_EQ(lib.Address(SinfLibrary::e_SINF_Close) != nullptr, *log != '\0') << library;
        }
        char got[256] = {};
        GetEnvironmentVariableA("SINF_DOUBLE_LOG", got, sizeof got - 1);
        EXPECT_EQ(std::string(got), log) << library << " " << answer;
        EXPECT_EQ(GetModuleHandleA(library), nullptr) << library << " is still loaded";
    }
}

TEST(Kmzsys32, ExportsEveryEntryPointAndBalancesInitAndClose) {
    {
        SinfLibrary lib(kSinfLibraryName);
        ASSERT_EQ(lib.IsLoaded(), 1u);
        EXPECT_EQ(lib.InitResult(), 1u);
        for (uint32_t i = 0; i < SinfLibrary::kEntryPointCount; ++i) {
            auto e = static_cast<SinfLibrary::EntryPoint>(i);
            EXPECT_NE(lib.Address(e), nullptr) << SinfLibrary::EntryPointName(e);
        }
    }
    HMODULE m = LoadLibraryA(kSinfLibraryName);
    ASSERT_NE(m, nullptr);
    std::string answers;
    for (const char* name : {"SINF_Close", "SINF_Init", "SINF_GetMachType", "SINF_Close", "SINF_Close"})
        answers += std::to_string(
                       reinterpret_cast<uint32_t(__stdcall*)()>(reinterpret_cast<void*>(GetProcAddress(m, name)))()) +
                   " ";
    // Nothing to close before SINF_Init, nor after the one SINF_Close.
    EXPECT_EQ(answers, "0 1 " + std::to_string(SINF_NOT_AVAILABLE) + " 1 0 ");
    FreeLibrary(m);
}
