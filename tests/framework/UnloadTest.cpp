// SING32.DLL binds KMZSYS32.DLL while it loads. Only FreeLibrary of SING32.DLL
// may close and unload the companion: at process exit the companion may
// already be detached, so nothing may call into it then.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/Handles.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace {

std::string TestFolder() {
    char path[MAX_PATH];
    std::string p(path, GetModuleFileNameA(nullptr, path, sizeof path));
    return p.substr(0, p.find_last_of('\\'));
}

std::string ReadFileText(const std::string& path) {
    ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return "(no file)";
    char buf[64];
    DWORD got = 0;
    if (!ReadFile(file.Get(), buf, sizeof buf, &got, nullptr))
        return "(unreadable)";
    return std::string(buf, got);
}

// The double's events (L loaded, I init, C close, U unloaded) over one run of
// the child in `mode`.
std::string EventsOfChild(const char* mode) {
    TempDir dir;
    std::string log = dir.Path() + "\\sinf.log";
    SetEnvironmentVariableA("SINF_DOUBLE_FILE", log.c_str());
    SetEnvironmentVariableA("SINF_DOUBLE_INIT", "1");
    std::string out = RunChild("\"" + TestFolder() + "\\unload\\sing_unload_child.exe\" " + mode);
    SetEnvironmentVariableA("SINF_DOUBLE_FILE", nullptr);
    EXPECT_EQ(out, "done\n") << mode;
    return ReadFileText(log);
}

}  // namespace

TEST(Unload, FreeLibraryClosesTheCompanionThenUnloadsIt) { EXPECT_EQ(EventsOfChild("free"), "LICU"); }

TEST(Unload, ProcessExitNeitherClosesNorUnloadsTheCompanion) {
    // U is the companion's own detach as the process ends; no C before it.
    EXPECT_EQ(EventsOfChild("exit"), "LIU");
}
