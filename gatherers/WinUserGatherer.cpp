#include "gatherers/WinUserGatherer.h"

#include <cstring>
#include <initializer_list>

#include "framework/DataBuf.h"
#include "probes/IdentityProbe.h"

WinUserGatherer::WinUserGatherer() : Gatherer("WindowsUserInfo", SING_WINUSER_PACKET_ID) {}

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
    // A fact that cannot be stored keeps the text it had; a failed
    // conversion keeps the local code page text.
    for (Fact& f : facts)
        if (f.member.Assign(f.text))
            f.member.ToUtf8();
}

uint32_t WinUserGatherer::GetDataBufLen() {
    uint32_t length = SING_WINUSER_FIXED_SIZE;
    for (const Str* s : {&userName, &computerName, &domain, &workgroup, &owner, &organization, &productId})
        length += s->Length() + 1;
    return length;
}

uint32_t WinUserGatherer::FillDataBuf(uint8_t* buf) {
    uint32_t length = GetDataBufLen();
    std::memset(buf, 0, length);
    databuf::WriteHeader(buf, length, GetUniquePacketID(), SING_WINUSER_VERSION);
    // The unused slot stays 0; the texts are packed in this order.
    struct Fact {
        const Str* text;
        uint32_t slot;
    };
    const Fact packed[] = {{&userName, SING_WINUSER_USER_NAME},         {&computerName, SING_WINUSER_COMPUTER_NAME},
                           {&domain, SING_WINUSER_DOMAIN},              {&owner, SING_WINUSER_OWNER},
                           {&organization, SING_WINUSER_ORGANIZATION}, {&productId, SING_WINUSER_PRODUCT_ID},
                           {&workgroup, SING_WINUSER_WORKGROUP}};
    databuf::TextPacker packer(buf, SING_WINUSER_FIXED_SIZE, length);
    for (const Fact& f : packed)
        databuf::PutU16(buf, f.slot, static_cast<uint16_t>(packer.Put(*f.text)));
    return 1;
}
