// HKEY_LOCAL_MACHINE of this process stood in for by a private scratch key:
// registry export files loaded into it (singdump --registry, the bench's
// --layout, the tests' layouts) or values set one by one (the tests). The
// machine's registry is never changed: the scratch key is volatile, so it
// also goes when the session ends, and it is removed when the object goes.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "platform/Handles.h"

class RegistryStandIn {
public:
    RegistryStandIn() = default;
    ~RegistryStandIn();
    RegistryStandIn(const RegistryStandIn&) = delete;
    RegistryStandIn& operator=(const RegistryStandIn&) = delete;

    // Creates a fresh, empty scratch key under HKEY_CURRENT_USER.
    bool Create(std::string& error);
    // Reads and parses every file, then writes their keys and values into
    // the scratch key (version 5 files through the registry's wide
    // functions, REGEDIT4 ones through the ANSI ones), the current control
    // set under CurrentControlSet. Nothing is written unless every file
    // parses. `controlSet` gets the name of the control set mapped, or "".
    bool LoadFiles(const std::vector<std::string>& files, std::string& error, std::string* controlSet = nullptr);
    // Replaces the stand-in's network card list with this machine's (the
    // ServiceName and Description of each card): only this machine's cards
    // have drivers that answer, and the library would otherwise define DOS
    // device names here for another machine's cards. Before Redirect.
    void KeepMachineNetworkCards();
    // Creates (or opens) the key HKLM\path of the stand-in; deletes it with
    // everything below it.
    LONG CreateKey(const std::string& path, ScopedRegKey& key) const;
    void DeleteKey(const std::string& path) const;
    // Makes HKEY_LOCAL_MACHINE of this process the scratch key (Windows 2000
    // and later), and the machine's again.
    bool Redirect(std::string& error);
    void Restore();

    HKEY Root() const { return root_.Get(); }
    // The scratch key's path under HKEY_CURRENT_USER.
    const std::string& Path() const { return path_; }

private:
    ScopedRegKey root_;
    std::string path_;
    bool redirected_ = false;
};
