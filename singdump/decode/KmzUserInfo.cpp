// "KMZUserInfo": 26 u16 offset slots after the header, one per profile key,
// with the texts (UTF-8) packed behind them; every key counts one byte in
// the length even when it has no text.
#include <string>

#include "decode/Decoders.h"
#include "decode/Reader.h"

namespace {

constexpr size_t kFixedSize = 64;

struct Section {
    const char* name;
    const char* keys[16];  // ends with a null
};

const Section kSections[] = {
    {"LOCATION",
     {"CITY", "STATE", "ZIPCODE", "COUNTRY", "ROOM_NUMBER", "BUILDING", "FLOOR", "LATITUDE", "LONGITUDE",
      "USER_DATA1", "USER_DATA2", nullptr}},
    {"USER",
     {"FIRST_NAME", "MIDDLE_NAME", "LAST_NAME", "EMPLOYEE_ID", "TITLE", "DEPT_NAME", "DEPT_NUMBER", "DIVISION",
      "WORK_PHONE", "CELLULAR_PHONE", "FAX_NUMBER", "PAGER_NUMBER", "PAGER_TYPE", "EMAIL_ADDRESS", "HOME_PHONE",
      nullptr}},
};

}  // namespace

void DecodeKmzUserInfo(const uint8_t* data, size_t size, DecodeResult& out) {
    Reader rd(data, size);
    size_t slot = 12;
    size_t expected = kFixedSize;
    for (const Section& s : kSections) {
        Node group = Node::Group(s.name);
        for (size_t k = 0; k < 16 && s.keys[k] != nullptr; ++k, slot += 2) {
            AddSlotText(rd, group, s.keys[k], slot, kFixedSize);
            if (!rd.Ok()) {
                out.error = rd.Error();
                return;
            }
            expected += group.children.back().text.size() + 1;
        }
        out.fields.Add(std::move(group));
    }
    if (expected != size)
        out.error = "buffer length " + std::to_string(size) + " differs from the " + std::to_string(expected) +
                    " bytes its texts take";
}
