#include "support/TempDir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "support/TestMachine.h"

namespace {

int counter = 0;

void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring full = dir + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileW(full.c_str());
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
}

}  // namespace

std::wstring LongPath(const std::string& path) { return L"\\\\?\\" + Wide(path); }

std::string ReadWholeFile(const std::string& path) {
    HANDLE h = CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << "cannot read " << path;
    std::string out;
    char buf[65536];
    DWORD got = 0;
    while (h != INVALID_HANDLE_VALUE && ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0)
        out.append(buf, got);
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
    return out;
}

bool FileExists(const std::string& path) { return GetFileAttributesW(LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

TempDir::TempDir() {
    char base[MAX_PATH];
    DWORD n = GetTempPathA(sizeof base, base);
    EXPECT_TRUE(n > 0 && n < sizeof base);
    char full[MAX_PATH];
    EXPECT_NE(GetLongPathNameA(base, full, sizeof full), 0u);
    path_ = full;
    if (!path_.empty() && path_.back() == '\\')
        path_.pop_back();
    path_ += "\\sing32-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    RemoveTree(LongPath(path_));
    EXPECT_TRUE(CreateDirectoryA(path_.c_str(), nullptr)) << path_;
}

TempDir::~TempDir() { RemoveTree(LongPath(path_)); }

std::string TempDir::Write(const std::string& name, const std::string& contents) const {
    return WriteWholeFile(path_ + "\\" + name, contents);
}

std::string WriteWholeFile(const std::string& full, const std::string& contents) {
    HANDLE h = CreateFileW(LongPath(full).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << full;
    if (h != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        EXPECT_TRUE(WriteFile(h, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr));
        EXPECT_EQ(written, contents.size());
        CloseHandle(h);
    }
    return full;
}

std::string TempDir::MakeDir(const std::string& name) const {
    std::string full = path_ + "\\" + name;
    EXPECT_TRUE(CreateDirectoryW(LongPath(full).c_str(), nullptr)) << full;
    return full;
}
