// The public header sing32.h, which the gatherers and decoders are compiled
// against: its numbers against the documented layouts, written out here on
// their own; buffers laid out with the header's offsets, every text distinct,
// must decode to the fields of those names, and the header's accessors must
// read them back and stay inside the buffer.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "decode/Decoders.h"
#include "framework/DataBuf.h"
#include "sing32.h"

namespace {

// A buffer under construction: fixed part first, texts appended behind it.
struct Builder {
    explicit Builder(uint32_t fixed) : bytes(fixed, 0) {}
    uint32_t Text(const std::string& t) {
        uint32_t at = static_cast<uint32_t>(bytes.size());
        bytes.insert(bytes.end(), t.begin(), t.end());
        bytes.push_back(0);
        return at;
    }
    void Slot16(uint32_t slot, const std::string& t) {
        uint32_t at = Text(t);
        databuf::PutU16(bytes.data(), slot, static_cast<uint16_t>(at));
    }
    void Slot32(uint32_t slot, const std::string& t) {
        uint32_t at = Text(t);
        databuf::PutU32(bytes.data(), slot, at);
    }
    std::vector<uint8_t> Finish(uint32_t packet, uint32_t version) {
        databuf::WriteHeader(bytes.data(), static_cast<uint32_t>(bytes.size()), packet, version);
        return bytes;
    }
    std::vector<uint8_t> bytes;
};

// The decoded fields as "path" -> value ("group.key", "list[i].key").
void Flatten(const Node& n, const std::string& prefix, std::map<std::string, std::string>& out) {
    for (size_t i = 0; i < n.children.size(); ++i) {
        const Node& c = n.children[i];
        std::string path = n.kind == Node::Kind::List ? prefix + "[" + std::to_string(i) + "]" : prefix + c.key;
        switch (c.kind) {
        case Node::Kind::Text: out[path] = c.text; break;
        case Node::Kind::Missing: out[path] = "(none)"; break;
        case Node::Kind::Number: out[path] = std::to_string(c.number); break;
        case Node::Kind::Signed: out[path] = std::to_string(static_cast<int64_t>(c.number)); break;
        case Node::Kind::Hex: out[path] = c.text; break;
        case Node::Kind::Group: Flatten(c, path + ".", out); break;
        case Node::Kind::List: Flatten(c, path, out); break;
        }
    }
}

std::map<std::string, std::string> Decoded(const std::vector<uint8_t>& buf, uint32_t packet) {
    DecodeResult r = DecodeBuffer(buf.data(), buf.size(), packet);
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_EQ(sing_check_header(buf.data(), static_cast<sing_u32>(buf.size()), packet), SING_HEADER_OK);
    std::map<std::string, std::string> fields;
    Flatten(r.fields, "", fields);
    return fields;
}

std::string Shown(const char* text) { return text != SING_NULL_TEXT ? text : "(null)"; }

struct Named {
    sing_u32 offset;
    const char* key;
};

}  // namespace

// The one place the tests spell the layouts as numbers.
TEST(HeaderLayout, NumbersAreTheDocumentedLayouts) {
    struct Pin {
        const char* name;
        sing_u32 header;
        sing_u32 documented;
    };
#define PIN(name, value) {#name, name, value}
    const Pin pins[] = {
        PIN(SING_HEADER_LENGTH, 0), PIN(SING_HEADER_PACKET_ID, 4), PIN(SING_HEADER_VERSION, 8),
        PIN(SING_HEADER_SIZE, 12), PIN(SING_SLOTS, 20),
        // Packet id, format version and fixed part of each buffer.
        PIN(SING_WINUSER_PACKET_ID, 0xABACAB01), PIN(SING_WINUSER_VERSION, 1), PIN(SING_WINUSER_FIXED_SIZE, 28),
        PIN(SING_IPINFO_PACKET_ID, 0xABACAB02), PIN(SING_IPINFO_VERSION, 3), PIN(SING_IPINFO_FIXED_SIZE, 268),
        PIN(SING_NETBIOS_PACKET_ID, 0xABACAB04), PIN(SING_NETBIOS_VERSION, 4), PIN(SING_NETBIOS_FIXED_SIZE, 60),
        PIN(SING_KMZUSER_PACKET_ID, 0xABACAB05), PIN(SING_KMZUSER_VERSION, 1), PIN(SING_KMZUSER_FIXED_SIZE, 64),
        PIN(SING_IPX_PACKET_ID, 0xABACAB0A), PIN(SING_IPX_VERSION, 1), PIN(SING_IPX_FIXED_SIZE, 20),
        PIN(SING_REGIONAL_PACKET_ID, 0xABACAB0B), PIN(SING_REGIONAL_VERSION, 1), PIN(SING_REGIONAL_FIXED_SIZE, 36),
        // "WindowsUserInfo".
        PIN(SING_WINUSER_UNUSED, 12), PIN(SING_WINUSER_USER_NAME, 14), PIN(SING_WINUSER_COMPUTER_NAME, 16),
        PIN(SING_WINUSER_DOMAIN, 18), PIN(SING_WINUSER_OWNER, 20), PIN(SING_WINUSER_ORGANIZATION, 22),
        PIN(SING_WINUSER_PRODUCT_ID, 24), PIN(SING_WINUSER_WORKGROUP, 26),
        // "IPInfo".
        PIN(SING_IPINFO_ADAPTERS, 8), PIN(SING_IPINFO_IP_ADDRESS, 12), PIN(SING_IPINFO_HOST_NAME, 28),
        PIN(SING_IPINFO_DOMAIN_NAME, 44), PIN(SING_IPINFO_DEFAULT_GATEWAY, 60), PIN(SING_IPINFO_PRIMARY_DNS, 76),
        PIN(SING_IPINFO_SECONDARY_DNS, 92), PIN(SING_IPINFO_SUBNET_MASK, 108), PIN(SING_IPINFO_RESERVED3, 124),
        PIN(SING_IPINFO_RESERVED4, 156), PIN(SING_IPINFO_RESERVED_TEXT, 188), PIN(SING_IPINFO_RESERVED1, 204),
        PIN(SING_IPINFO_RESERVED2, 236),
        // "NETBIOSInfo".
        PIN(SING_NETBIOS_CARDS, 8), PIN(SING_NETBIOS_ADDRESS, 12), PIN(SING_NETBIOS_TYPE, 28),
        PIN(SING_NETBIOS_DESCRIPTION, 44), PIN(SING_NETBIOS_TOKEN_RING, 255), PIN(SING_NETBIOS_ETHERNET, 253),
        // "KMZUserInfo": slots of the first and last key; the keys below.
        PIN(SING_KMZUSER_KEYS, 26), PIN(SING_KMZUSER_SLOT(SING_KMZUSER_CITY), 12),
        PIN(SING_KMZUSER_SLOT(SING_KMZUSER_HOME_PHONE), 62),
        // "IPX Data".
        PIN(SING_IPX_COUNT, 12), PIN(SING_IPX_FIRST, 16),
        // "Regional Data".
        PIN(SING_REGIONAL_STANDARD_BIAS, 12), PIN(SING_REGIONAL_BIAS, 16), PIN(SING_REGIONAL_DAYLIGHT_BIAS, 20),
        PIN(SING_REGIONAL_STANDARD_NAME, 24), PIN(SING_REGIONAL_DAYLIGHT_NAME, 28), PIN(SING_REGIONAL_UTC_OFFSET, 32),
    };
#undef PIN
    for (const Pin& p : pins)
        EXPECT_EQ(p.header, p.documented) << p.name;
    for (sing_u32 packet : {0xABACAB01u, 0xABACAB02u, 0xABACAB04u, 0xABACAB05u, 0xABACAB0Au, 0xABACAB0Bu}) {
        EXPECT_NE(sing_format_version(packet), 0u) << packet;
        EXPECT_NE(sing_format_fixed_size(packet), 0u) << packet;
    }

    // Reading order, slot order and packing order of the profile keys.
    const char* const location[] = {"CITY",     "STATE",     "ZIPCODE",    "COUNTRY",   "ROOM_NUMBER", "BUILDING",
                                    "FLOOR",    "LATITUDE",  "LONGITUDE",  "USER_DATA1", "USER_DATA2"};
    const char* const user[] = {"FIRST_NAME", "MIDDLE_NAME",    "LAST_NAME",  "EMPLOYEE_ID",  "TITLE",
                                "DEPT_NAME",  "DEPT_NUMBER",    "DIVISION",   "WORK_PHONE",   "CELLULAR_PHONE",
                                "FAX_NUMBER", "PAGER_NUMBER",   "PAGER_TYPE", "EMAIL_ADDRESS", "HOME_PHONE"};
    std::vector<std::string> documented, header;
    for (const char* k : location)
        documented.push_back(std::string("LOCATION.") + k);
    for (const char* k : user)
        documented.push_back(std::string("USER.") + k);
    for (sing_u32 key = 0; key <= SING_KMZUSER_KEYS; ++key)
        header.push_back(Shown(sing_kmzuser_section(key)) + "." + Shown(sing_kmzuser_key_name(key)));
    documented.push_back("(null).(null)");  // past the last key
    EXPECT_EQ(header, documented);
}

TEST(HeaderLayout, UserAndProfileSlotsNameTheDecodersFields) {
    const Named user[] = {{SING_WINUSER_USER_NAME, "userName"}, {SING_WINUSER_COMPUTER_NAME, "computerName"},
                          {SING_WINUSER_DOMAIN, "domain"},      {SING_WINUSER_OWNER, "owner"},
                          {SING_WINUSER_ORGANIZATION, "organization"}, {SING_WINUSER_PRODUCT_ID, "productId"},
                          {SING_WINUSER_WORKGROUP, "workgroup"}};
    Builder b(SING_WINUSER_FIXED_SIZE);
    for (const Named& f : user)
        b.Slot16(f.offset, f.key);
    std::vector<uint8_t> buf = b.Finish(SING_WINUSER_PACKET_ID, SING_WINUSER_VERSION);
    std::map<std::string, std::string> fields = Decoded(buf, SING_WINUSER_PACKET_ID);
    for (const Named& f : user) {
        EXPECT_EQ(fields[f.key], f.key);
        EXPECT_EQ(Shown(sing_winuser_text(buf.data(), static_cast<sing_u32>(buf.size()), f.offset)), f.key);
    }

    const Named profile[] = {
        {SING_KMZUSER_CITY, "LOCATION.CITY"}, {SING_KMZUSER_STATE, "LOCATION.STATE"},
        {SING_KMZUSER_ZIPCODE, "LOCATION.ZIPCODE"}, {SING_KMZUSER_COUNTRY, "LOCATION.COUNTRY"},
        {SING_KMZUSER_ROOM_NUMBER, "LOCATION.ROOM_NUMBER"}, {SING_KMZUSER_BUILDING, "LOCATION.BUILDING"},
        {SING_KMZUSER_FLOOR, "LOCATION.FLOOR"}, {SING_KMZUSER_LATITUDE, "LOCATION.LATITUDE"},
        {SING_KMZUSER_LONGITUDE, "LOCATION.LONGITUDE"}, {SING_KMZUSER_USER_DATA1, "LOCATION.USER_DATA1"},
        {SING_KMZUSER_USER_DATA2, "LOCATION.USER_DATA2"}, {SING_KMZUSER_FIRST_NAME, "USER.FIRST_NAME"},
        {SING_KMZUSER_MIDDLE_NAME, "USER.MIDDLE_NAME"}, {SING_KMZUSER_LAST_NAME, "USER.LAST_NAME"},
        {SING_KMZUSER_EMPLOYEE_ID, "USER.EMPLOYEE_ID"}, {SING_KMZUSER_TITLE, "USER.TITLE"},
        {SING_KMZUSER_DEPT_NAME, "USER.DEPT_NAME"}, {SING_KMZUSER_DEPT_NUMBER, "USER.DEPT_NUMBER"},
        {SING_KMZUSER_DIVISION, "USER.DIVISION"}, {SING_KMZUSER_WORK_PHONE, "USER.WORK_PHONE"},
        {SING_KMZUSER_CELLULAR_PHONE, "USER.CELLULAR_PHONE"}, {SING_KMZUSER_FAX_NUMBER, "USER.FAX_NUMBER"},
        {SING_KMZUSER_PAGER_NUMBER, "USER.PAGER_NUMBER"}, {SING_KMZUSER_PAGER_TYPE, "USER.PAGER_TYPE"},
        {SING_KMZUSER_EMAIL_ADDRESS, "USER.EMAIL_ADDRESS"}, {SING_KMZUSER_HOME_PHONE, "USER.HOME_PHONE"}};
    ASSERT_EQ(sizeof profile / sizeof profile[0], SING_KMZUSER_KEYS);
    Builder k(SING_KMZUSER_FIXED_SIZE);
    for (const Named& f : profile)
        k.Slot16(SING_KMZUSER_SLOT(f.offset), f.key);
    buf = k.Finish(SING_KMZUSER_PACKET_ID, SING_KMZUSER_VERSION);
    fields = Decoded(buf, SING_KMZUSER_PACKET_ID);
    for (const Named& f : profile) {
        EXPECT_EQ(fields[f.key], f.key);
        EXPECT_EQ(Shown(sing_kmzuser_text(buf.data(), static_cast<sing_u32>(buf.size()), f.offset)), f.key);
    }
    EXPECT_EQ(sing_kmzuser_text(buf.data(), static_cast<sing_u32>(buf.size()), SING_KMZUSER_KEYS), SING_NULL_TEXT);
}

TEST(HeaderLayout, AdapterAndCardTablesNameTheDecodersFields) {
    const Named texts[] = {{SING_IPINFO_IP_ADDRESS, "ipAddress"},     {SING_IPINFO_HOST_NAME, "hostName"},
                           {SING_IPINFO_DOMAIN_NAME, "domainName"},   {SING_IPINFO_DEFAULT_GATEWAY, "defaultGateway"},
                           {SING_IPINFO_PRIMARY_DNS, "primaryDns"},   {SING_IPINFO_SECONDARY_DNS, "secondaryDns"},
                           {SING_IPINFO_SUBNET_MASK, "subnetMask"},   {SING_IPINFO_RESERVED_TEXT, "reservedText"}};
    const Named values[] = {{SING_IPINFO_RESERVED1, "reserved1"}, {SING_IPINFO_RESERVED2, "reserved2"},
                            {SING_IPINFO_RESERVED3, "reserved3"}, {SING_IPINFO_RESERVED4, "reserved4"}};
    Builder b(SING_IPINFO_FIXED_SIZE);
    for (uint32_t a = 0; a < SING_IPINFO_ADAPTERS; ++a) {
        for (const Named& f : texts)
            b.Slot16(f.offset + 2 * a, std::to_string(a) + f.key);
        for (uint32_t v = 0; v < 4; ++v)
            databuf::PutU32(b.bytes.data(), values[v].offset + 4 * a, 100 * a + v + 1);
    }
    std::vector<uint8_t> buf = b.Finish(SING_IPINFO_PACKET_ID, SING_IPINFO_VERSION);
    const sing_u32 len = static_cast<sing_u32>(buf.size());
    std::map<std::string, std::string> fields = Decoded(buf, SING_IPINFO_PACKET_ID);
    for (uint32_t a = 0; a < SING_IPINFO_ADAPTERS; ++a) {
        const std::string adapter = "adapter" + std::to_string(a) + ".";
        for (const Named& f : texts) {
            EXPECT_EQ(fields[adapter + f.key], std::to_string(a) + f.key);
            EXPECT_EQ(Shown(sing_ipinfo_text(buf.data(), len, f.offset, a)), std::to_string(a) + f.key);
        }
        for (uint32_t v = 0; v < 4; ++v) {
            EXPECT_EQ(fields[adapter + values[v].key], std::to_string(100 * a + v + 1));
            EXPECT_EQ(sing_ipinfo_value(buf.data(), len, values[v].offset, a), 100 * a + v + 1);
        }
    }
    EXPECT_EQ(sing_ipinfo_text(buf.data(), len, SING_IPINFO_IP_ADDRESS, SING_IPINFO_ADAPTERS), SING_NULL_TEXT);
    EXPECT_EQ(sing_ipinfo_value(buf.data(), len, SING_IPINFO_RESERVED2, SING_IPINFO_ADAPTERS), 0u);

    Builder n(SING_NETBIOS_FIXED_SIZE);
    for (uint32_t c = 0; c < SING_NETBIOS_CARDS; ++c) {
        n.Slot16(SING_NETBIOS_ADDRESS + 2 * c, "address" + std::to_string(c));
        databuf::PutU16(n.bytes.data(), SING_NETBIOS_TYPE + 2 * c, static_cast<uint16_t>(c == 1 ? 255 : 200 + c));
        n.Slot16(SING_NETBIOS_DESCRIPTION + 2 * c, "card" + std::to_string(c));
    }
    buf = n.Finish(SING_NETBIOS_PACKET_ID, SING_NETBIOS_VERSION);
    fields = Decoded(buf, SING_NETBIOS_PACKET_ID);
    for (uint32_t c = 0; c < SING_NETBIOS_CARDS; ++c) {
        const std::string card = "cards[" + std::to_string(c) + "].";
        const sing_u32 size = static_cast<sing_u32>(buf.size());
        EXPECT_EQ(fields[card + "address"], "address" + std::to_string(c));
        EXPECT_EQ(fields[card + "description"], "card" + std::to_string(c));
        EXPECT_EQ(fields[card + "type"], std::to_string(sing_netbios_type(buf.data(), size, c)));
        EXPECT_EQ(Shown(sing_netbios_address(buf.data(), size, c)), "address" + std::to_string(c));
        EXPECT_EQ(Shown(sing_netbios_description(buf.data(), size, c)), "card" + std::to_string(c));
    }
    EXPECT_EQ(fields["cards[1].typeName"], "token ring");
    EXPECT_EQ(SING_NETBIOS_TOKEN_RING, 255u);
}

TEST(HeaderLayout, IpxAndRegionalFieldsNameTheDecodersFields) {
    Builder b(SING_IPX_FIXED_SIZE);
    databuf::PutU32(b.bytes.data(), SING_IPX_COUNT, 2);
    databuf::PutU32(b.bytes.data(), SING_IPX_FIRST, SING_IPX_FIXED_SIZE);
    b.Text("0000000A:00C0FFEE0001");
    b.Text("0000000B:00C0FFEE0002");
    std::vector<uint8_t> buf = b.Finish(SING_IPX_PACKET_ID, SING_IPX_VERSION);
    std::map<std::string, std::string> fields = Decoded(buf, SING_IPX_PACKET_ID);
    sing_u32 len = static_cast<sing_u32>(buf.size());
    EXPECT_EQ(fields["count"], "2");
    EXPECT_EQ(sing_ipx_count(buf.data(), len), 2u);
    EXPECT_EQ(Shown(sing_ipx_address(buf.data(), len, 0)), fields["addresses[0]"]);
    EXPECT_EQ(Shown(sing_ipx_address(buf.data(), len, 1)), "0000000B:00C0FFEE0002");
    EXPECT_EQ(sing_ipx_address(buf.data(), len, 2), SING_NULL_TEXT);
    // A count that claims more texts than the buffer holds.
    databuf::PutU32(buf.data(), SING_IPX_COUNT, 3);
    EXPECT_EQ(sing_ipx_address(buf.data(), len, 2), SING_NULL_TEXT);

    Builder r(SING_REGIONAL_FIXED_SIZE);
    databuf::PutU32(r.bytes.data(), SING_REGIONAL_STANDARD_BIAS, static_cast<uint32_t>(-60));
    databuf::PutU32(r.bytes.data(), SING_REGIONAL_BIAS, static_cast<uint32_t>(-120));
    databuf::PutU32(r.bytes.data(), SING_REGIONAL_DAYLIGHT_BIAS, 30);
    const Named texts[] = {{SING_REGIONAL_STANDARD_NAME, "standardName"},
                           {SING_REGIONAL_DAYLIGHT_NAME, "daylightName"},
                           {SING_REGIONAL_UTC_OFFSET, "utcOffset"}};
    for (const Named& f : texts)
        r.Slot32(f.offset, f.key);
    buf = r.Finish(SING_REGIONAL_PACKET_ID, SING_REGIONAL_VERSION);
    len = static_cast<sing_u32>(buf.size());
    fields = Decoded(buf, SING_REGIONAL_PACKET_ID);
    for (const Named& f : texts) {
        EXPECT_EQ(fields[f.key], f.key);
        EXPECT_EQ(Shown(sing_regional_text(buf.data(), len, f.offset)), f.key);
    }
    EXPECT_EQ(fields["standardBias"], "-60");
    EXPECT_EQ(fields["bias"], "-120");
    EXPECT_EQ(fields["daylightBias"], "30");
    EXPECT_EQ(sing_regional_number(buf.data(), len, SING_REGIONAL_STANDARD_BIAS), -60);
    EXPECT_EQ(sing_regional_number(buf.data(), len, SING_REGIONAL_BIAS), -120);
}

// Exact-size heap copies, so that a read past the end is caught.
TEST(HeaderLayout, AccessorsStayInsideTheBuffer) {
    const uint8_t bytes[] = {0x34, 0x12, 0xFF, 0xFF, 0xFF, 0x7F, 'h', 'i', 0, 'x'};
    const sing_u32 len = sizeof bytes;
    std::unique_ptr<uint8_t[]> p(new uint8_t[len]);
    std::copy(bytes, bytes + len, p.get());
    const uint8_t* buf = p.get();
    EXPECT_EQ(sing_u16_at(buf, len, 0), 0x1234u);
    EXPECT_EQ(sing_u16_at(buf, len, len - 2), static_cast<sing_u32>('x' << 8));
    EXPECT_EQ(sing_u16_at(buf, len, len - 1), 0u);
    EXPECT_EQ(sing_u32_at(buf, len, len - 4), static_cast<sing_u32>('h' | 'i' << 8 | 'x' << 24));
    EXPECT_EQ(sing_u32_at(buf, len, len - 3), 0u);
    EXPECT_EQ(sing_s32_at(buf, len, 2), 0x7FFFFFFF);
    EXPECT_EQ(sing_s32_at(buf, len, 1), -238);  // 0xFFFFFF12
    const uint8_t minimum[] = {0, 0, 0, 0x80};
    EXPECT_EQ(sing_s32_at(minimum, 4, 0), -2147483647L - 1);

    EXPECT_EQ(Shown(sing_text_at(buf, len, 6, 6)), "hi");  // at the fixed part's end
    EXPECT_EQ(sing_text_at(buf, len, 6, 7), SING_NULL_TEXT);  // into the fixed part
    EXPECT_EQ(sing_text_at(buf, len, 0, 0), SING_NULL_TEXT);  // no text
    EXPECT_EQ(Shown(sing_text_at(buf, len - 1, 8, 6)), "");     // the terminator is the last byte
    EXPECT_EQ(sing_text_at(buf, len, 9, 6), SING_NULL_TEXT);  // no terminator before the end
    EXPECT_EQ(sing_text_at(buf, len, len, 6), SING_NULL_TEXT);
    EXPECT_EQ(sing_text16(buf, len, len - 1, 0), SING_NULL_TEXT);  // the slot itself is cut
}

TEST(HeaderLayout, HeaderCheckNamesWhatIsWrong) {
    const sing_u32 fixed = SING_WINUSER_FIXED_SIZE;
    Builder b(fixed);
    std::vector<uint8_t> buf = b.Finish(SING_WINUSER_PACKET_ID, SING_WINUSER_VERSION);
    auto check = [&](size_t size) { return sing_check_header(buf.data(), static_cast<sing_u32>(size), SING_WINUSER_PACKET_ID); };
    EXPECT_EQ(check(buf.size()), SING_HEADER_OK);
    EXPECT_EQ(check(SING_HEADER_SIZE - 1), SING_HEADER_SHORT);
    EXPECT_EQ(check(buf.size() - 1), SING_HEADER_BAD_LENGTH);
    EXPECT_EQ(sing_check_header(buf.data(), fixed, SING_IPINFO_PACKET_ID), SING_HEADER_BAD_PACKET_ID);
    // Shorter than the fixed part, with a consistent length field.
    databuf::PutU32(buf.data(), SING_HEADER_LENGTH, fixed - 1);
    EXPECT_EQ(check(fixed - 1), SING_HEADER_SHORT);
    databuf::WriteHeader(buf.data(), fixed, SING_WINUSER_PACKET_ID, SING_WINUSER_VERSION + 1);
    EXPECT_EQ(check(fixed), SING_HEADER_BAD_VERSION);
    const sing_u32 unknown = SING_IPINFO_PACKET_ID + 1;  // no gatherer's
    databuf::WriteHeader(buf.data(), fixed, unknown, 1);
    EXPECT_EQ(sing_check_header(buf.data(), fixed, unknown), SING_HEADER_UNKNOWN_FORMAT);
    EXPECT_EQ(sing_format_fixed_size(unknown), 0u);
}
