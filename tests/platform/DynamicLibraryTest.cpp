// The quiet library loader: by name, unloaded with the object, and a
// missing library neither reported nor changing the caller's error mode.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/DynamicLibrary.h"

TEST(DynamicLibrary, LoadsByNameFindsExportsAndUnloads) {
    UINT original = SetErrorMode(SEM_NOGPFAULTERRORBOX);
    for (const char* name : {"sing_fixture.dll", "no_such_library_here.dll", static_cast<const char*>(nullptr)}) {
        SCOPED_TRACE(name ? name : "(null)");
        ASSERT_EQ(GetModuleHandleA("sing_fixture.dll"), nullptr);
        {
            DynamicLibrary lib(name);
            const bool fixture = name && *name == 's';
            EXPECT_EQ(lib.IsLoaded(), fixture);
            EXPECT_EQ(std::string(lib.LibraryName() ? lib.LibraryName() : "(null)"), name ? name : "(null)");
            auto answer = reinterpret_cast<int (*)()>(reinterpret_cast<void*>(lib.GetProc("FixtureAnswer")));
            EXPECT_EQ(answer ? answer() : 0, fixture ? 42 : 0);
            EXPECT_EQ(lib.GetProc("NotExported"), nullptr);
            EXPECT_EQ(GetErrorMode(), static_cast<UINT>(SEM_NOGPFAULTERRORBOX));
        }
    }
    SetErrorMode(original);
}
