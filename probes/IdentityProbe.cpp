#include "probes/IdentityProbe.h"

#include <windows.h>
#include <lm.h>
#include <ntsecapi.h>

#include <cctype>
#include <cstring>
#include <initializer_list>
#include <cwchar>

#include "platform/Handles.h"
#include "probes/RegistryLookup.h"

namespace {

constexpr uint32_t kWorkRoom = 256;
constexpr NTSTATUS kStatusInvalidParameter = static_cast<NTSTATUS>(0xC000000DL);

const char kControlKey[] = "System\\CurrentControlSet\\Control";
const char kWinlogonKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const char kCurrentVersionKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion";

// Copies at most size bytes, padding with zeros, and terminates at size - 1.
void BoundedCopy(char* out, const char* text, uint32_t size) {
    std::strncpy(out, text, size);
    out[size - 1] = '\0';
}

bool ReadValue(const char* path, const char* name, char (&work)[kWorkRoom]) {
    return GetRegStringValue(HKEY_LOCAL_MACHINE, path, name, work, kWorkRoom - 1) != 0;
}

void ReadValueInto(const char* path, const char* name, char* out, uint32_t size) {
    char work[kWorkRoom];
    if (ReadValue(path, name, work))
        BoundedCopy(out, work, size);
}

// Upper-cases the single-byte characters of a text in the local code page
// and leaves each double-byte character as it is: its trail byte may look
// like a small letter (in code page 932 "\x83\x61" is one character).
void UpperCase(char* text) {
    while (*text != '\0') {
        auto c = static_cast<unsigned char>(*text);
        if (IsDBCSLeadByte(c) && text[1] != '\0') {
            text += 2;
            continue;
        }
        *text++ = static_cast<char>(std::toupper(c));
    }
}

}  // namespace

int32_t OpenLocalPolicy(const wchar_t* serverName, uint32_t access, void** handleOut) {
    LSA_OBJECT_ATTRIBUTES attributes{};
    LSA_UNICODE_STRING server{};
    LSA_UNICODE_STRING* serverArg = nullptr;
    if (serverName != nullptr) {
        // The counted string holds at most 32766 characters and its
        // terminator.
        size_t chars = std::wcslen(serverName);
        if (chars > 0x7FFE)
            return kStatusInvalidParameter;
        server.Buffer = const_cast<wchar_t*>(serverName);
        server.Length = static_cast<USHORT>(chars * sizeof(wchar_t));
        server.MaximumLength = static_cast<USHORT>(server.Length + sizeof(wchar_t));
        serverArg = &server;
    }
    return LsaOpenPolicy(serverArg, &attributes, access, reinterpret_cast<LSA_HANDLE*>(handleOut));
}

uint32_t QueryDomainMembership() {
    ScopedLsaHandle policy;
    NTSTATUS status = OpenLocalPolicy(nullptr, POLICY_VIEW_LOCAL_INFORMATION, policy.Receive());
    if (status != 0)
        return static_cast<uint32_t>(status);
    ScopedLsaMemory info;
    status = LsaQueryInformationPolicy(policy.Get(), PolicyPrimaryDomainInformation, info.Receive());
    if (status != 0)
        return static_cast<uint32_t>(status);
    auto* primary = static_cast<const POLICY_PRIMARY_DOMAIN_INFO*>(info.Get());
    return primary != nullptr && primary->Sid != nullptr ? 1 : 0;
}

void QueryLanGroup(char* domain, char* workgroup) {
    domain[0] = '\0';
    workgroup[0] = '\0';
    ScopedNetApiBuffer info;
    if (NetWkstaGetInfo(nullptr, 100, info.Receive()) != NERR_Success || !info)
        return;
    const wchar_t* group = reinterpret_cast<const WKSTA_INFO_100*>(info.Get())->wki100_langroup;
    if (group == nullptr)
        return;
    char* out = nullptr;
    switch (QueryDomainMembership()) {
    case 0: out = workgroup; break;
    case 1: out = domain; break;
    default: return;
    }
    // A name that does not fit the 256 bytes is left out rather than cut
    // without a terminator.
    if (WideCharToMultiByte(CP_ACP, 0, group, -1, out, kWorkRoom, nullptr, nullptr) == 0)
        out[0] = '\0';
}

uint32_t QueryWorkstationIdentity(char* computerName, char* domain, char* workgroup, char* userName, char* owner,
                                  char* organization, char* productId, uint32_t size) {
    for (char* text : {computerName, domain, workgroup, userName, owner, organization, productId})
        text[0] = '\0';
    // Every output holds 256 bytes; nothing fits into 0.
    if (size > kWorkRoom)
        size = kWorkRoom;
    if (size == 0)
        return 1;

    char work[kWorkRoom];
    DWORD workSize = kWorkRoom - 1;
    if (GetComputerNameA(work, &workSize)) {
        work[kWorkRoom - 1] = '\0';
        BoundedCopy(computerName, work, size);
    }

    if (ReadValue(kControlKey, "CurrentUser", work)) {
        if (std::strcmp(work, "USERNAME") == 0)
            ReadValueInto(kWinlogonKey, "DefaultUserName", userName, size);
        else
            BoundedCopy(userName, work, size);
    }

    QueryLanGroup(domain, workgroup);
    UpperCase(domain);
    UpperCase(workgroup);

    ReadValueInto(kCurrentVersionKey, "RegisteredOrganization", organization, size);
    ReadValueInto(kCurrentVersionKey, "RegisteredOwner", owner, size);
    ReadValueInto(kCurrentVersionKey, "ProductId", productId, size);
    return 1;
}
