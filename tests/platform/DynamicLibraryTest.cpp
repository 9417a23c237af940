#include <windows.h>

#include <gtest/gtest.h>

#include "platform/DynamicLibrary.h"

TEST(DynamicLibrary, LoadsByNameAndFindsExports) {
    ASSERT_EQ(GetModuleHandleA("sing_fixture.dll"), nullptr);
    {
        DynamicLibrary lib("sing_fixture.dll");
        ASSERT_EQ(lib.IsLoaded(), 1u);
        EXPECT_STREQ(lib.LibraryName(), "sing_fixture.dll");
        auto answer = reinterpret_cast<int (*)()>(reinterpret_cast<void*>(lib.GetProc("FixtureAnswer")));
        ASSERT_NE(answer, nullptr);
        EXPECT_EQ(answer(), 42);
        EXPECT_EQ(lib.GetProc("NotExported"), nullptr);
        EXPECT_NE(GetModuleHandleA("sing_fixture.dll"), nullptr);
    }
    // The destructor unloads what the constructor loaded.
    EXPECT_EQ(GetModuleHandleA("sing_fixture.dll"), nullptr);
}

TEST(DynamicLibrary, MissingLibraryIsQuietAndEmpty) {
    DynamicLibrary lib("no_such_library_here.dll");
    EXPECT_EQ(lib.IsLoaded(), 0u);
    EXPECT_EQ(lib.GetProc("Anything"), nullptr);

    DynamicLibrary none(nullptr);
    EXPECT_EQ(none.IsLoaded(), 0u);
    EXPECT_EQ(none.LibraryName(), nullptr);
    EXPECT_EQ(none.GetProc("Anything"), nullptr);
}

TEST(DynamicLibrary, RestoresTheCallersErrorMode) {
    UINT original = SetErrorMode(SEM_NOGPFAULTERRORBOX);
    {
        DynamicLibrary present("sing_fixture.dll");
        EXPECT_EQ(GetErrorMode(), static_cast<UINT>(SEM_NOGPFAULTERRORBOX));
        DynamicLibrary absent("no_such_library_here.dll");
        EXPECT_EQ(GetErrorMode(), static_cast<UINT>(SEM_NOGPFAULTERRORBOX));
    }
    SetErrorMode(original);
}
