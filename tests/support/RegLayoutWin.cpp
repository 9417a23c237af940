#include <windows.h>

#include "platform/Handles.h"
#include "support/RegLayout.h"

bool WriteLayout(HKEY root, const std::string& layout, std::string& error) {
    const char* text = BuiltInLayout(layout);
    if (text == nullptr) {
        error = "no layout named " + layout;
        return false;
    }
    std::vector<LayoutKey> keys;
    if (!ParseLayout(text, keys, error)) {
        error = layout + ", " + error;
        return false;
    }
    for (const LayoutKey& k : keys) {
        ScopedRegKey key;
        if (RegCreateKeyExA(root, k.path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr) !=
            ERROR_SUCCESS) {
            error = layout + ": cannot create " + k.path;
            return false;
        }
        for (const LayoutValue& v : k.values)
            if (RegSetValueExA(key.Get(), v.name.c_str(), 0, v.type, v.data.data(),
                               static_cast<DWORD>(v.data.size())) != ERROR_SUCCESS) {
                error = layout + ": cannot set " + k.path + " " + v.name;
                return false;
            }
    }
    return true;
}
