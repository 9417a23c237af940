#include "gatherers/WinUserGatherer.h"

#include <cstring>
#include <initializer_list>

#include "framework/DataBuf.h"
#include "probes/IdentityProbe.h"

WinUserGatherer::WinUserGatherer() : Gatherer("WindowsUserInfo", kPacketId) {}

uint32_t WinUserGatherer::Update() {
    char computerNameText[256], domainText[256], workgroupText[256], userNameText[256], ownerText[256],
        organizationText[256], productIdText[256];
    QueryWorkstationIdentity(computerNameText, domainText, workgroupText, userNameText, ownerText,
                             organizationText, productIdText, 255);
    StoreFacts(userNameText, computerNameText, domainText, workgroupText, organizationText, ownerText,
               productIdText);
    return 1;
}

void WinUserGatherer::StoreFacts(const char* userNameText, const char* computerNameText, const char* domainText,
                                 const char* workgroupText, const char* organizationText, const char* ownerText,
                                 const char* productIdText) {
    struct Fact {
        Str& member;
        const char* text;
    };
    Fact facts[] = {{userName, userNameText},         {computerName, computerNameText},
                    {domain, domainText},             {workgroup, workgroupText},
                    {organization, organizationText}, {owner, ownerText},
                    {productId, productIdText}};
    for (Fact& f : facts) {
        f.member.Assign(f.text);
        // A failed conversion keeps the local code page text.
        if (f.member.CStr() != nullptr)
            f.member.ToUtf8();
    }
}

uint32_t WinUserGatherer::GetDataBufLen() {
    uint32_t length = kFixedSize;
    for (const Str* s : {&userName, &computerName, &domain, &workgroup, &owner, &organization, &productId})
        length += s->Length() + 1;
    return length;
}

uint32_t WinUserGatherer::FillDataBuf(uint8_t* buf) {
    uint32_t length = GetDataBufLen();
    std::memset(buf, 0, length);
    databuf::WriteHeader(buf, length, GetUniquePacketID(), kBufferVersion);
    // Offset 12 stays 0; the slots follow in the order the texts are packed.
    const Str* packed[] = {&userName, &computerName, &domain, &owner, &organization, &productId, &workgroup};
    databuf::TextPacker packer(buf, kFixedSize, length);
    uint32_t slot = 14;
    for (const Str* s : packed) {
        databuf::PutU16(buf, slot, static_cast<uint16_t>(packer.Put(*s)));
        slot += 2;
    }
    return 1;
}
