// "WindowsUserInfo": who uses the workstation and how it is registered,
// kept as UTF-8 texts and sent with the string-offset convention.
#pragma once
#include <cstdint>

#include "framework/Gatherer.h"
#include "text/Str.h"

class WinUserGatherer : public Gatherer {
public:
    WinUserGatherer();
    ~WinUserGatherer() = default;

    using Gatherer::FillDataBuf;
    using Gatherer::GetDataBufLen;
    using Gatherer::Update;
    // Runs the identity probe and stores its facts; always 1.
    uint32_t Update() override;
    uint32_t GetDataBufLen() override;
    uint32_t FillDataBuf(uint8_t* buf) override;

    // Stores the facts (local code page texts), each converted to UTF-8.
    void StoreFacts(const char* userNameText, const char* computerNameText, const char* domainText,
                    const char* workgroupText, const char* organizationText, const char* ownerText,
                    const char* productIdText);

private:
    Str userName;
    Str computerName;
    Str domain;
    Str workgroup;
    Str owner;
    Str organization;
    Str productId;
};
