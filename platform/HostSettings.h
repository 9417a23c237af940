// The host's settings key under HKEY_LOCAL_MACHINE and the values read from
// it. Free of OS headers.
#pragma once

constexpr const char* kHostSettingsKey = "SOFTWARE\\Oberan\\Vantreel\\CurrentVersion";
constexpr const char* kDataDirectoryValue = "Data";
constexpr const char* kLogDirectoryValue = "LogDir";
