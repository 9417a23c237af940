#include "support/TempDir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/Handles.h"
#include "support/TestMachine.h"

namespace {

int counter = 0;

// "\\?\" + an absolute path, for the wide functions that then take paths
// beyond MAX_PATH.
std::wstring LongPath(const std::string& path) { return L"\\\\?\\" + Wide(path); }

void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    for (bool more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileW(h, &fd)) {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..")
            continue;
        (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveTree(dir + L"\\" + name)
                                                          : void(DeleteFileW((dir + L"\\" + name).c_str()));
    }
    if (h != INVALID_HANDLE_VALUE)
        FindClose(h);
    RemoveDirectoryW(dir.c_str());
}

}  // namespace

std::string ReadWholeFile(const std::string& path) {
    ScopedHandle h(CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(h.Valid()) << "cannot read " << path;
    std::string out;
    char buf[65536];
    DWORD got = 0;
    while (h && ReadFile(h.Get(), buf, sizeof buf, &got, nullptr) && got > 0)
        out.append(buf, got);
    return out;
}

std::string WriteWholeFile(const std::string& full, const std::string& contents) {
    ScopedHandle h(CreateFileW(LongPath(full).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    EXPECT_TRUE(h && WriteFile(h.Get(), contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr) &&
                written == contents.size()) << full;
    return full;
}

bool FileExists(const std::string& path) { return GetFileAttributesW(LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

TempDir::TempDir() {
    char base[MAX_PATH], full[MAX_PATH] = "";
    DWORD n = GetTempPathA(sizeof base, base);  // with its trailing separator
    EXPECT_TRUE(n > 0 && n < sizeof base && GetLongPathNameA(base, full, sizeof full) != 0);
    path_ = full + ("sing32-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter));
    RemoveTree(LongPath(path_));
    EXPECT_TRUE(CreateDirectoryA(path_.c_str(), nullptr)) << path_;
}

TempDir::~TempDir() { RemoveTree(LongPath(path_)); }

std::string TempDir::Write(const std::string& name, const std::string& contents) const {
    return WriteWholeFile(path_ + "\\" + name, contents);
}

std::string TempDir::MakeDir(const std::string& name) const {
    std::string full = path_ + "\\" + name;
    EXPECT_TRUE(CreateDirectoryW(LongPath(full).c_str(), nullptr)) << full;
    return full;
}
