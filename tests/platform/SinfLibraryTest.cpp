#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/SinfLibrary.h"

namespace {

// Builds and destroys a binding over a test double whose SINF_Init answers
// `initAnswer`; returns the init result and the double's event log.
std::pair<uint32_t, std::string> Bind(const char* library, const char* initAnswer) {
    SetEnvironmentVariableA("SINF_DOUBLE_LOG", "");
    SetEnvironmentVariableA("SINF_DOUBLE_INIT", initAnswer);
    uint32_t init = SinfLibrary(library).InitResult();
    char log[256] = {};
    GetEnvironmentVariableA("SINF_DOUBLE_LOG", log, sizeof log - 1);
    EXPECT_EQ(GetModuleHandleA(library), nullptr) << library << " is still loaded";
    return {init, log};
}

}  // namespace

TEST(SinfLibrary, ClosesOnlyAfterANonZeroInitAndBeforeUnloading) {
    for (const char* answer : {"1", "0x80000000", "7"}) {
        auto [init, log] = Bind("sinf_double.dll", answer);
        EXPECT_NE(init, 0u) << answer;
        EXPECT_EQ(log, "LICU") << answer;
    }
    EXPECT_EQ(Bind("sinf_double.dll", "0"), std::pair(0u, std::string("LIU")));
    // Without SINF_Init nothing is called, not even SINF_Close.
    EXPECT_EQ(Bind("sinf_noinit.dll", "1"), std::pair(0u, std::string("LU")));
}

TEST(SinfLibrary, AbsentLibraryIsQuietAndEmpty) {
    UINT mode = GetErrorMode();
    SinfLibrary lib("no_such_kmzsys32.dll");
    EXPECT_EQ(lib.IsLoaded(), 0u);
    EXPECT_EQ(lib.InitResult(), 0u);
    EXPECT_EQ(GetErrorMode(), mode);
    for (uint32_t i = 0; i < SinfLibrary::kEntryPointCount; ++i)
        EXPECT_EQ(lib.Address(static_cast<SinfLibrary::EntryPoint>(i)), nullptr) << i;
}

TEST(Kmzsys32, ExportsAll32AndBalancesInitAndClose) {
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
    auto call = [&](const char* name) {
        return reinterpret_cast<uint32_t(__stdcall*)()>(reinterpret_cast<void*>(GetProcAddress(m, name)))();
    };
    EXPECT_EQ(call("SINF_Close"), 0u);  // nothing to close
    EXPECT_EQ(call("SINF_Init"), 1u);
    EXPECT_EQ(call("SINF_GetMachType"), SINF_NOT_AVAILABLE);
    EXPECT_EQ(call("SINF_Close"), 1u);
    EXPECT_EQ(call("SINF_Close"), 0u);
    FreeLibrary(m);
}
