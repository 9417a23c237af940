// Helpers for the DMI tests: a scratch folder, whole-file reads and writes,
// bag file images, and running the helper program.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/dmi/BagImage.h"

// A fresh folder under the temporary folder, removed with its files.
class TempDir {
public:
    TempDir() {
        char base[MAX_PATH];
        GetTempPathA(sizeof base, base);
        static int counter = 0;
        path_ = std::string(base) + "sing_dmi_" + std::to_string(GetCurrentProcessId()) + "_" +
                std::to_string(++counter);
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~TempDir() {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((path_ + "\\*").c_str(), &fd);
        for (bool more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &fd))
            DeleteFileA(File(fd.cFileName).c_str());
        if (h != INVALID_HANDLE_VALUE)
            FindClose(h);
        RemoveDirectoryA(path_.c_str());
    }
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

inline bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << "cannot read " << path;
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAll(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    ASSERT_TRUE(out) << "cannot write " << path;
}

// A new DMI bag file, written out by hand byte by byte.
inline Bytes NewDmiBagImage() {
    Bytes b = {0x31, 0x49, 0x4D, 0x44, 0x11, 0x89, 0x34, 0xFE, 0x14, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00,
               0x00, 0x00, 0x00, 0x00};
    for (int i = 0; i < 20; ++i)
        b.insert(b.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0});
    return b;
}
