// SING32.DLL binds KMZSYS32.DLL while it loads. Only FreeLibrary of SING32.DLL
// may close and unload the companion: at process exit the companion may
// already be detached, so nothing may call into it then.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/ChildProcess.h"
#include "support/TempDir.h"
#include "support/TestMachine.h"

namespace {

// The double's events (L loaded, I init, C close, U unloaded) over one run of
// the child in `mode`.
std::string EventsOfChild(const char* mode) {
    TempDir dir;
    const std::string log = dir.Path() + "\\sinf.log";
    SetEnvironmentVariableA("SINF_DOUBLE_FILE", log.c_str());
    SetEnvironmentVariableA("SINF_DOUBLE_INIT", "1");
    EXPECT_EQ(RunChild("\"" + TestFolder() + "\\unload\\sing_unload_child.exe\" " + mode), "done\n") << mode;
    SetEnvironmentVariableA("SINF_DOUBLE_FILE", nullptr);
    return ReadWholeFile(log);
}

}  // namespace

TEST(Unload, FreeLibraryClosesTheCompanionThenUnloadsIt) { EXPECT_EQ(EventsOfChild("free"), "LICU"); }

TEST(Unload, ProcessExitNeitherClosesNorUnloadsTheCompanion) {
    // U is the companion's own detach as the process ends; no C before it.
    EXPECT_EQ(EventsOfChild("exit"), "LIU");
}
