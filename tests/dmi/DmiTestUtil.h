// Helpers for the DMI tests: a scratch folder, whole-file reads and writes,
// bag file images, and running a helper program.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dmi/BagFormat.h"
#include "dmi/DmiPath.h"
#include "framework/DataBuf.h"

using Bytes = std::vector<uint8_t>;

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
    // The tests leave files and empty folders only.
    ~TempDir() {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((path_ + "\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::string name = fd.cFileName;
                if (name == "." || name == "..")
                    continue;
                std::string full = File(name);
                if (!DeleteFileA(full.c_str()))
                    RemoveDirectoryA(full.c_str());
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryA(path_.c_str());
    }
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

inline bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline Bytes ReadAll(const std::string& path) {
    Bytes out;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "cannot read " << path << ": error " << GetLastError();
        return out;
    }
    uint8_t buf[4096];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0)
        out.insert(out.end(), buf, buf + got);
    CloseHandle(h);
    return out;
}

inline void WriteAll(const std::string& path, const Bytes& bytes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
    DWORD put = 0;
    if (!bytes.empty())
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    CloseHandle(h);
    ASSERT_EQ(put, bytes.size());
}

// A bag file image: header, then `blocks` index blocks laid end to end from
// offset 16, chained in order. Entry 0 of block i holds key 0x1000 + i.
inline Bytes MakeBag(uint32_t n, uint32_t blocks, uint32_t signature = kDmiSignature) {
    uint32_t size = bag::BlockSize(n);
    Bytes b(bag::kHeaderSize + size_t{size} * blocks);
    bag::EncodeHeader(bag::Header{signature, bag::kMagic, n, blocks ? 16u : 0u}, b.data());
    for (uint32_t i = 0; i < blocks; ++i) {
        uint8_t* block = b.data() + 16 + size_t{size} * i;
        bag::FillEmptyBlock(block, n);
        bag::SetNextBlockOffset(block, i + 1 < blocks ? 16 + size * (i + 1) : 0);
        databuf::PutU32(block, 4, 0x1000 + i);
        databuf::PutU32(block, 8, 0x4000);
        databuf::PutU32(block, 12, 99);
    }
    return b;
}

// A new DMI bag file, written out by hand byte by byte.
inline Bytes NewDmiBagImage() {
    Bytes b = {0x31, 0x49, 0x4D, 0x44, 0x11, 0x89, 0x34, 0xFE, 0x14, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00,
               0x00, 0x00, 0x00, 0x00};
    for (int i = 0; i < 20; ++i)
        b.insert(b.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0});
    return b;
}

// Runs `commandLine` with its standard output captured; returns the exit
// code (or -1 when the program could not start).
inline int RunProgram(const std::string& commandLine, const char* workingDirectory, std::string* output = nullptr) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0))
        return -1;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    PROCESS_INFORMATION pi{};
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    BOOL started = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, workingDirectory, &si, &pi);
    CloseHandle(writeEnd);
    DWORD code = static_cast<DWORD>(-1);
    if (started) {
        char buf[256];
        DWORD got = 0;
        std::string out;
        while (ReadFile(readEnd, buf, sizeof buf, &got, nullptr) && got > 0)
            out.append(buf, got);
        WaitForSingleObject(pi.hProcess, 30000);
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
            out.pop_back();
        if (output)
            *output = out;
    }
    CloseHandle(readEnd);
    return started ? static_cast<int>(code) : -1;
}

// The folder of this test program (where its helper programs are).
inline std::string ProgramFolder() {
    char p[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, p, sizeof p);
    std::string s(p, n);
    return s.substr(0, s.find_last_of('\\'));
}
