#include "dmi/DmiLocate.h"

#include <windows.h>

#include "platform/Handles.h"
#include "platform/RegistryValue.h"
#include "platform/WinVersion.h"

DmiPathSource LocateDmiBagFile(const char* fileName, char (&path)[kDmiPathRoom]) {
    DmiPathInputs in;
    char data[kDmiPathRoom] = {};
    char systemDirectory[kDmiPathRoom] = {};
    ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kHostSettingsKey, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS) {
        in.keyOpened = true;
        DWORD size = 0;
        LONG rc = ReadRegValue(key.Get(), kDataDirectoryValue, kAnyRegType, data, sizeof data, &size);
        in.dataRead = rc == ERROR_SUCCESS;
        in.dataTooLong = rc == ERROR_MORE_DATA;
        in.data = data;
        in.dataSize = size;
    } else {
        in.isWinNT = IsWinNT() != 0;
        if (in.isWinNT) {
            // The answer counts the characters copied, or the room needed
            // (then nothing was copied); 0 on failure.
            UINT n = GetSystemDirectoryA(systemDirectory, sizeof systemDirectory);
            if (n > 0 && n < sizeof systemDirectory)
                in.systemDirectory = systemDirectory;
        }
    }
    return ChooseDmiPath(in, fileName, path);
}
