// The quiet library loader: by name, unloaded with the object, and a
// missing library neither reported nor changing the caller's error mode.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/DynamicLibrary.h"

TEST(DynamicLibrary, LoadsByNameFindsExportsAndUnloads) {
    UINT original = SetErrorMode(SEM_NOGPFAULTERRORBOX);
    ASSERT_EQ(GetModuleHandleA("sing_fixture.dll"), nullptr);
    {
        DynamicLibrary lib("sing_fixture.dll");
        ASSERT_EQ(lib.IsLoaded(), 1u);
        EXPECT_STREQ(lib.LibraryName(), "sing_fixture.dll");
        auto answer = reinterpret_cast<int (*)()>(reinterpret_cast<void*>(lib.GetProc("FixtureAnswer")));
        ASSERT_NE(answer, nullptr);
        EXPECT_EQ(answer(), 42);
        EXPECT_EQ(lib.GetProc("NotExported"), nullptr);
        EXPECT_EQ(GetErrorMode(), static_cast<UINT>(SEM_NOGPFAULTERRORBOX));
    }
    EXPECT_EQ(GetModuleHandleA("sing_fixture.dll"), nullptr);
    for (const char* name : {"no_such_library_here.dll", static_cast<const char*>(nullptr)}) {
        DynamicLibrary lib(name);
        EXPECT_EQ(lib.IsLoaded(), 0u);
        EXPECT_EQ(lib.GetProc("Anything"), nullptr);
        EXPECT_EQ(GetErrorMode(), static_cast<UINT>(SEM_NOGPFAULTERRORBOX));
    }
    EXPECT_EQ(DynamicLibrary(nullptr).LibraryName(), nullptr);
    SetErrorMode(original);
}
