#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/SinfLibrary.h"

namespace {

std::string Log() {
    char buf[256] = {};
    GetEnvironmentVariableA("SINF_DOUBLE_LOG", buf, sizeof buf - 1);
    return buf;
}

// Builds and destroys a binding over `library`, with SINF_Init answering
// `initAnswer`; returns the double's log at construction and at the end.
struct Binding {
    std::string afterLoad, afterUnload;
    uint32_t initResult = 0;
};
Binding Bind(const char* library, const char* initAnswer) {
    SetEnvironmentVariableA("SINF_DOUBLE_LOG", "");
    SetEnvironmentVariableA("SINF_DOUBLE_INIT", initAnswer);
    Binding r;
    {
        SinfLibrary lib(library);
        r.afterLoad = Log();
        r.initResult = lib.InitResult();
    }
    r.afterUnload = Log();
    EXPECT_EQ(GetModuleHandleA(library), nullptr) << library << " is still loaded";
    return r;
}

}  // namespace

TEST(SinfLibrary, ClosesOnlyAfterANonZeroInitAndBeforeUnloading) {
    for (const char* answer : {"1", "0x80000000", "7"}) {
        Binding r = Bind("sinf_double.dll", answer);
        EXPECT_EQ(r.afterLoad, "LI") << answer;
        EXPECT_NE(r.initResult, 0u) << answer;
        EXPECT_EQ(r.afterUnload, "LICU") << answer;
    }
    Binding zero = Bind("sinf_double.dll", "0");
    EXPECT_EQ(zero.initResult, 0u);
    EXPECT_EQ(zero.afterUnload, "LIU");
}

TEST(SinfLibrary, WithoutInitNothingIsCalled) {
    SetEnvironmentVariableA("SINF_DOUBLE_INIT", "1");
    {
        SinfLibrary lib("sinf_noinit.dll");
        EXPECT_EQ(lib.Address(SinfLibrary::e_SINF_Init), nullptr);
        EXPECT_NE(lib.Address(SinfLibrary::e_SINF_Close), nullptr);
        EXPECT_NE(lib.Address(SinfLibrary::e_SINF_GetMachType), nullptr);
    }
    Binding r = Bind("sinf_noinit.dll", "1");
    EXPECT_EQ(r.initResult, 0u);
    EXPECT_EQ(r.afterUnload, "LU");
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
    auto fn = [&](const char* name) {
        return reinterpret_cast<uint32_t(__stdcall*)()>(reinterpret_cast<void*>(GetProcAddress(m, name)));
    };
    EXPECT_EQ(fn("SINF_Close")(), 0u);  // nothing to close
    EXPECT_EQ(fn("SINF_Init")(), 1u);
    EXPECT_EQ(fn("SINF_GetMachType")(), SINF_NOT_AVAILABLE);
    EXPECT_EQ(fn("SINF_GetSystemIDField")(), SINF_NOT_AVAILABLE);
    EXPECT_EQ(fn("SINF_Close")(), 1u);
    EXPECT_EQ(fn("SINF_Close")(), 0u);
    FreeLibrary(m);
}
