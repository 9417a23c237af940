#include "support/ScratchHive.h"

#include <gtest/gtest.h>

ScratchHive::ScratchHive() {
    std::string error;
    EXPECT_TRUE(standIn_.Create(error) && standIn_.Redirect(error)) << error;
}

void ScratchHive::LoadLayout(const std::string& layout) {
    std::string error;
    EXPECT_TRUE(standIn_.LoadFiles({SING_LAYOUT_DIR "/" + layout + ".reg"}, error)) << error;
}

void ScratchHive::DeleteKey(const std::string& path) { standIn_.DeleteKey(path); }

void ScratchHive::SetRaw(const std::string& path, const char* name, DWORD type, const void* data, DWORD size) {
    ScopedRegKey k;
    ASSERT_EQ(standIn_.CreateKey(path, k), ERROR_SUCCESS) << path;
    EXPECT_EQ(RegSetValueExA(k.Get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS) << name;
}

void ScratchHive::SetString(const std::string& path, const char* name, const std::string& value, DWORD type) {
    SetRaw(path, name, type, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void ScratchHive::SetDword(const std::string& path, const char* name, uint32_t value) {
    SetRaw(path, name, REG_DWORD, &value, sizeof value);
}
