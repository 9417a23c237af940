#include "client/RegistryStandIn.h"

#include "client/RegExport.h"
#include "client/SingClient.h"
#include "client/WholeFile.h"

namespace {

int created = 0;

// A path or name of the file's code units for the ANSI functions (REGEDIT4:
// one byte a unit) or the wide ones (version 5: UTF-16).
std::string Narrow(const std::u16string& units) { return std::string(units.begin(), units.end()); }
const wchar_t* Wide(const std::u16string& units) { return reinterpret_cast<const wchar_t*>(units.c_str()); }

// Deletes key\path with everything below it. RegDeleteTree came with Windows
// Vista and RegDeleteKey deletes only a key without subkeys, so this goes
// depth first; the registry nests at most 512 levels.
void DeleteTree(HKEY key, const char* path) {
    ScopedRegKey k;
    if (RegOpenKeyExA(key, path, 0, KEY_ALL_ACCESS, k.Receive()) != ERROR_SUCCESS)
        return;
    char name[256];
    DWORD length = sizeof name;
    while (RegEnumKeyExA(k.Get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
        DeleteTree(k.Get(), name);
        ScopedRegKey left;
        if (RegOpenKeyExA(k.Get(), name, 0, KEY_READ, left.Receive()) == ERROR_SUCCESS)
            return;  // could not be deleted: give up rather than loop
        length = sizeof name;
    }
    k.Reset();
    RegDeleteKeyA(key, path);
}

// RegOverridePredefKey came with Windows 2000: looked up at run time, so that
// the programs still load on Windows NT 4.
LONG OverrideLocalMachine(HKEY with) {
    using Override = LONG(WINAPI*)(HKEY, HKEY);
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    auto fn = advapi ? reinterpret_cast<Override>(reinterpret_cast<void*>(GetProcAddress(advapi, "RegOverridePredefKey")))
                     : nullptr;
    return fn ? fn(HKEY_LOCAL_MACHINE, with) : ERROR_CALL_NOT_IMPLEMENTED;
}

std::string Describe(const std::u16string& path, regexport::Format format) {
    if (format == regexport::Format::Regedit4)
        return Narrow(path);
    char text[1024];
    int n = WideCharToMultiByte(CP_ACP, 0, Wide(path), -1, text, sizeof text, nullptr, nullptr);
    return n > 0 ? text : "(a key)";
}

bool Write(HKEY root, const regexport::Export& e, std::string& error) {
    const bool wide = e.format == regexport::Format::Version5;
    for (const regexport::Key& k : e.keys) {
        ScopedRegKey key;
        // Every key below a volatile key must be volatile too.
        LONG rc = wide ? RegCreateKeyExW(root, Wide(k.path), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                         key.Receive(), nullptr)
                       : RegCreateKeyExA(root, Narrow(k.path).c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                         KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr);
        for (size_t i = 0; rc == ERROR_SUCCESS && i < k.values.size(); ++i) {
            const regexport::Value& v = k.values[i];
            const auto size = static_cast<DWORD>(v.data.size());
            rc = wide ? RegSetValueExW(key.Get(), Wide(v.name), 0, v.type, v.data.data(), size)
                      : RegSetValueExA(key.Get(), Narrow(v.name).c_str(), 0, v.type, v.data.data(), size);
        }
        if (rc != ERROR_SUCCESS) {
            error = "cannot write HKEY_LOCAL_MACHINE\\" + Describe(k.path, e.format) + " (" + SystemErrorText(rc) + ")";
            return false;
        }
    }
    return true;
}

}  // namespace

RegistryStandIn::~RegistryStandIn() {
    Restore();
    if (root_) {
        root_.Reset();
        DeleteTree(HKEY_CURRENT_USER, path_.c_str());
    }
}

bool RegistryStandIn::Create(std::string& error) {
    // Named after the program, the process and the count, so that nobody
    // else's scratch key is touched.
    char module[MAX_PATH] = "";
    DWORD n = GetModuleFileNameA(nullptr, module, sizeof module);
    std::string program(module, n < sizeof module ? n : 0);
    program = program.substr(program.find_last_of("\\/") + 1);
    path_ = "Software\\SING32\\RegistryStandIn\\" + program + "-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++created);
    DeleteTree(HKEY_CURRENT_USER, path_.c_str());
    LONG rc = RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, root_.Receive(), nullptr);
    if (rc != ERROR_SUCCESS)
        error = "cannot create the scratch key HKEY_CURRENT_USER\\" + path_ + " (" + SystemErrorText(rc) + ")";
    return rc == ERROR_SUCCESS;
}

bool RegistryStandIn::LoadFiles(const std::vector<std::string>& files, std::string& error, std::string* controlSet) {
    std::vector<regexport::Export> exports(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        std::vector<uint8_t> bytes;
        if (!ReadWholeFile(files[i].c_str(), bytes, error)) {
            error = files[i] + ": " + error;
            return false;
        }
        if (!regexport::Parse(files[i], bytes.data(), bytes.size(), exports[i], error))
            return false;
    }
    std::string mapped = regexport::MapCurrentControlSet(exports);
    if (controlSet != nullptr)
        *controlSet = mapped;
    for (const regexport::Export& e : exports)
        if (!Write(root_.Get(), e, error))
            return false;
    return true;
}

void RegistryStandIn::KeepMachineNetworkCards() {
    const char cards[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
    DeleteKey(cards);
    ScopedRegKey from;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, cards, 0, KEY_READ, from.Receive()) != ERROR_SUCCESS)
        return;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(from.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        ScopedRegKey card, copy;
        if (RegOpenKeyExA(from.Get(), name, 0, KEY_READ, card.Receive()) != ERROR_SUCCESS ||
            CreateKey(std::string(cards) + "\\" + name, copy) != ERROR_SUCCESS)
            continue;
        for (const char* value : {"ServiceName", "Description"}) {
            BYTE data[512];
            DWORD size = sizeof data, type = 0;
            if (RegQueryValueExA(card.Get(), value, nullptr, &type, data, &size) == ERROR_SUCCESS)
                RegSetValueExA(copy.Get(), value, 0, type, data, size);
        }
    }
}

LONG RegistryStandIn::CreateKey(const std::string& path, ScopedRegKey& key) const {
    return RegCreateKeyExA(root_.Get(), path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                           key.Receive(), nullptr);
}

void RegistryStandIn::DeleteKey(const std::string& path) const { DeleteTree(root_.Get(), path.c_str()); }

bool RegistryStandIn::Redirect(std::string& error) {
    LONG rc = OverrideLocalMachine(root_.Get());
    redirected_ = rc == ERROR_SUCCESS;
    if (!redirected_)
        error = "cannot redirect HKEY_LOCAL_MACHINE (" + SystemErrorText(rc) + ")";
    return redirected_;
}

void RegistryStandIn::Restore() {
    if (redirected_)
        OverrideLocalMachine(nullptr);
    redirected_ = false;
}
