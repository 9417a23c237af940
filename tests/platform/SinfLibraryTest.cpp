// The quiet library loader and the KMZSYS32.DLL binding over it, with two
// test doubles of the library and the real one.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/SinfLibrary.h"
#include "support/TempDir.h"

// The double's log: L loaded, I SINF_Init, C SINF_Close, U unloaded. Only a
// non-zero SINF_Init is closed; without SINF_Init nothing is called, not even
// SINF_Close. A missing library (or none named) is not reported, and the
// caller's error mode stays as it was either way.
TEST(SinfLibrary, ClosesOnlyAfterANonZeroInitAndBeforeUnloading) {
    const std::tuple<const char*, const char*, bool, std::string> cases[] = {
        {"sinf_double.dll", "1", true, "LICU"},    {"sinf_double.dll", "0x80000000", true, "LICU"},
        {"sinf_double.dll", "7", true, "LICU"},    {"sinf_double.dll", "0", false, "LIU"},
        {"sinf_noinit.dll", "1", false, "LU"},     {"no_such_kmzsys32.dll", "1", false, ""},
        {nullptr, "1", false, ""}};
    TempDir dir;
    const std::string logFile = dir.Write("sinf.log", "");
    SetEnvironmentVariableA("SINF_DOUBLE_FILE", logFile.c_str());
    const UINT original = SetErrorMode(SEM_NOGPFAULTERRORBOX);
    for (const auto& [library, answer, initialised, log] : cases) {
        SCOPED_TRACE(std::string(library ? library : "(null)") + " " + answer);
        WriteWholeFile(logFile, "");
        SetEnvironmentVariableA("SINF_DOUBLE_INIT", answer);
        {
            SinfLibrary lib(library);
            EXPECT_EQ(lib.IsLoaded(), log.empty() ? 0u : 1u);
            EXPECT_EQ(lib.InitResult() != 0, initialised);
            EXPECT_EQ(lib.Address(SinfLibrary::e_SINF_Init) != nullptr, log.find('I') != std::string::npos);
            EXPECT_EQ(lib.Address(SinfLibrary::e_SINF_Close) != nullptr, !log.empty());
            EXPECT_EQ(GetErrorMode(), static_cast<UINT>(SEM_NOGPFAULTERRORBOX));
        }
        EXPECT_EQ(ReadWholeFile(logFile), log);
        EXPECT_EQ(GetModuleHandleA(library ? library : "sinf_double.dll"), nullptr) << "still loaded";
    }
    SetErrorMode(original);
}

// Every entry point the binding knows is exported by name, and SINF_Close
// ends only as many SINF_Init calls as were made.
TEST(Kmzsys32, ExportsEveryEntryPointAndBalancesInitAndClose) {
    SinfLibrary lib(kSinfLibraryName);
    ASSERT_EQ(lib.IsLoaded(), 1u);
    EXPECT_EQ(lib.InitResult(), 1u);
    for (uint32_t i = 0; i < SinfLibrary::kEntryPointCount; ++i) {
        auto e = static_cast<SinfLibrary::EntryPoint>(i);
        EXPECT_NE(lib.Address(e), nullptr) << SinfLibrary::EntryPointName(e);
    }
    std::string answers;
    using Entry = uint32_t(__stdcall*)();
    for (auto e : {SinfLibrary::e_SINF_Close, SinfLibrary::e_SINF_Close, SinfLibrary::e_SINF_Init,
                   SinfLibrary::e_SINF_GetMachType})
        answers += std::to_string(reinterpret_cast<Entry>(reinterpret_cast<void*>(lib.Address(e)))()) + " ";
    // The binding's own SINF_Init, then nothing left to close.
    EXPECT_EQ(answers, "1 0 1 " + std::to_string(SINF_NOT_AVAILABLE) + " ");
}
