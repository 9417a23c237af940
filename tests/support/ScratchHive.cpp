#include "support/ScratchHive.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/RegLayout.h"

namespace {
int counter = 0;
}

ScratchHive::ScratchHive() {
    rootPath_ = "Software\\SING32Tests\\" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    RegDeleteTreeA(HKEY_CURRENT_USER, rootPath_.c_str());
    LONG rc = RegCreateKeyExA(HKEY_CURRENT_USER, rootPath_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_,
                              nullptr);
    EXPECT_EQ(rc, ERROR_SUCCESS);
    EXPECT_EQ(RegOverridePredefKey(HKEY_LOCAL_MACHINE, root_), ERROR_SUCCESS);
}

ScratchHive::~ScratchHive() {
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    if (root_ != nullptr)
        RegCloseKey(root_);
    RegDeleteTreeA(HKEY_CURRENT_USER, rootPath_.c_str());
}

void ScratchHive::CreateKey(const std::string& path) {
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root_, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS)
        << path;
    RegCloseKey(k);
}

void ScratchHive::LoadLayout(const std::string& layout) {
    std::string error;
    EXPECT_TRUE(WriteLayout(root_, layout, error)) << error;
}

void ScratchHive::DeleteKey(const std::string& path) { RegDeleteTreeA(root_, path.c_str()); }

void ScratchHive::SetRaw(const std::string& path, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root_, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS)
        << path;
    EXPECT_EQ(RegSetValueExA(k, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS) << name;
    RegCloseKey(k);
}

void ScratchHive::SetString(const std::string& path, const char* name, const std::string& value, DWORD type) {
    SetRaw(path, name, type, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void ScratchHive::SetMultiString(const std::string& path, const char* name, std::initializer_list<std::string> items) {
    std::vector<char> data;
    for (const std::string& s : items) {
        data.insert(data.end(), s.begin(), s.end());
        data.push_back('\0');
    }
    data.push_back('\0');
    SetRaw(path, name, REG_MULTI_SZ, data.data(), static_cast<DWORD>(data.size()));
}

void ScratchHive::SetDword(const std::string& path, const char* name, uint32_t value) {
    SetRaw(path, name, REG_DWORD, &value, sizeof value);
}

void ScratchHive::SetComputerName(const std::string& name) {
    SetString("System\\CurrentControlSet\\Control\\ComputerName\\ActiveComputerName", "ComputerName", name);
    SetString("System\\CurrentControlSet\\Control\\ComputerName\\ComputerName", "ComputerName", name);
}
