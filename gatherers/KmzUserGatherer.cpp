// The "KMZUserInfo" buffer: header, 26 offset slots, the texts behind them.
// Free of OS headers; the profile reading is in KmzUserProfile.cpp.
#include "gatherers/KmzUserGatherer.h"

#include <cstring>

#include "framework/DataBuf.h"

const KmzUserGatherer::Key KmzUserGatherer::kKeys[kKeyCount] = {
    {"LOCATION", "CITY"},          {"LOCATION", "STATE"},        {"LOCATION", "ZIPCODE"},
    {"LOCATION", "COUNTRY"},       {"LOCATION", "ROOM_NUMBER"},  {"LOCATION", "BUILDING"},
    {"LOCATION", "FLOOR"},         {"LOCATION", "LATITUDE"},     {"LOCATION", "LONGITUDE"},
    {"LOCATION", "USER_DATA1"},    {"LOCATION", "USER_DATA2"},   {"USER", "FIRST_NAME"},
    {"USER", "MIDDLE_NAME"},       {"USER", "LAST_NAME"},        {"USER", "EMPLOYEE_ID"},
    {"USER", "TITLE"},             {"USER", "DEPT_NAME"},        {"USER", "DEPT_NUMBER"},
    {"USER", "DIVISION"},          {"USER", "WORK_PHONE"},       {"USER", "CELLULAR_PHONE"},
    {"USER", "FAX_NUMBER"},        {"USER", "PAGER_NUMBER"},     {"USER", "PAGER_TYPE"},
    {"USER", "EMAIL_ADDRESS"},     {"USER", "HOME_PHONE"},
};

KmzUserGatherer::KmzUserGatherer() : Gatherer("KMZUserInfo", kPacketId) {}

uint32_t KmzUserGatherer::GetDataBufLen() { return kFixedSize + databuf::TextsSize(values, kKeyCount); }

uint32_t KmzUserGatherer::FillDataBuf(uint8_t* buf) {
    uint32_t length = GetDataBufLen();
    std::memset(buf, 0, length);
    databuf::WriteHeader(buf, length, GetUniquePacketID(), kBufferVersion);
    databuf::TextPacker texts(buf, kFixedSize, length);
    for (uint32_t i = 0; i < kKeyCount; ++i)
        databuf::PutU16(buf, databuf::kHeaderSize + 2 * i, static_cast<uint16_t>(texts.Put(values[i])));
    return 1;
}
