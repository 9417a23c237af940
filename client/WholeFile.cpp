#include "client/WholeFile.h"

#include <windows.h>

#include "client/SingClient.h"
#include "platform/Handles.h"

bool ReadWholeFile(const char* name, std::vector<uint8_t>& out, std::string& error) {
    constexpr DWORD kMaxBytes = 64u << 20;
    ScopedHandle h(CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) {
        error = "cannot open the file (" + SystemErrorText(GetLastError()) + ")";
        return false;
    }
    // GetFileSize rather than GetFileSizeEx, which Windows NT 4 lacks.
    DWORD high = 0;
    DWORD low = GetFileSize(h.Get(), &high);
    if ((low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0 || low > kMaxBytes) {
        error = "the file is larger than 64 MiB or its size is unknown";
        return false;
    }
    out.resize(low);
    size_t total = 0;
    while (total < out.size()) {
        DWORD got = 0;
        if (!ReadFile(h.Get(), out.data() + total, static_cast<DWORD>(out.size() - total), &got, nullptr) || got == 0)
            break;
        total += got;
    }
    out.resize(total);
    return true;
}
