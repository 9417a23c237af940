// The public header sing32.h's accessors on buffers of every wrong shape (its
// numbers are checked against the documented layouts by the static check,
// documented_layout.json; its header check runs on the damaged buffers of
// tests/singdump/decode-cases.txt in DecodeTest.cpp).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "sing32.h"
#include "support/CaseFile.h"

// On an exact-size heap copy, so that a read past the end is caught.
TEST(HeaderLayout, AccessorsStayInsideTheBuffer) {
    const uint8_t bytes[] = {0x34, 0x12, 0xFF, 0xFF, 0xFF, 0x7F, 'h', 'i', 0, 'x'};
    const sing_u32 len = sizeof bytes;
    std::unique_ptr<uint8_t[]> p(new uint8_t[len]);
    std::copy(bytes, bytes + len, p.get());
    const uint8_t* buf = p.get();
    EXPECT_EQ(sing_u16_at(buf, len, 0), 0x1234u);
    EXPECT_EQ(sing_u16_at(buf, len, len - 2), static_cast<sing_u32>('x' << 8));  // at the end
    EXPECT_EQ(sing_u16_at(buf, len, len - 1), 0u);                                // one past
    EXPECT_EQ(sing_u32_at(buf, len, len - 4), static_cast<sing_u32>('h' | 'i' << 8 | 'x' << 24));
    EXPECT_EQ(sing_u32_at(buf, len, len - 3), 0u);
    EXPECT_EQ(sing_u32_at(buf, len, 0xFFFFFFFEu), 0u);  // no wrap-around
    EXPECT_EQ(sing_s32_at(buf, len, 2), 0x7FFFFFFF);
    EXPECT_EQ(sing_s32_at(buf, len, 1), -238);  // 0xFFFFFF12
    EXPECT_EQ(sing_s32_at(reinterpret_cast<const uint8_t*>("\0\0\0\x80"), 4, 0), -2147483647L - 1);

    const std::vector<TestCase> texts = ReadCases(SING_CASES_DIR "/sdk/text-cases.txt");
    ASSERT_EQ(texts.size(), 6u);
    for (const TestCase& t : texts) {
        const char* got = sing_text_at(buf, std::stoul(t.Get("size")), std::stoul(t.Get("offset")),
                                       std::stoul(t.Get("fixed")));
        EXPECT_EQ(got ? std::string(got) : "(none)", t.Has("text") ? t.Get("text") : "(none)") << t.name;
    }
    EXPECT_EQ(sing_text16(buf, len, len - 1, 0), SING_NULL_TEXT);  // the slot itself is cut

    // Table accessors refuse indices past their tables; IPX texts past the count.
    const uint8_t ipx[] = {28, 0, 0, 0, 0x0A, 0xAB, 0xAC, 0xAB, 1, 0, 0, 0, 3, 0, 0, 0, 20, 0, 0, 0,
                           'a', 0, 'b', 'c', 0, 'd', 0, 'e'};
    EXPECT_EQ(std::string(sing_ipx_address(ipx, sizeof ipx, 1)), "bc");
    EXPECT_EQ(std::string(sing_ipx_address(ipx, sizeof ipx, 2)), "d");
    EXPECT_EQ(sing_ipx_address(ipx, sizeof ipx - 2, 2), SING_NULL_TEXT);  // the count claims more than there is
    std::unique_ptr<uint8_t[]> cut(new uint8_t[24]);  // a text before it is cut: no read past the end
    std::copy(ipx, ipx + 24, cut.get());
    EXPECT_EQ(sing_ipx_address(cut.get(), 24, 2), SING_NULL_TEXT);
    EXPECT_EQ(sing_ipx_address(ipx, sizeof ipx, 3), SING_NULL_TEXT);
    EXPECT_EQ(sing_ipinfo_text(ipx, sizeof ipx, SING_IPINFO_IP_ADDRESS, SING_IPINFO_ADAPTERS), SING_NULL_TEXT);
    EXPECT_EQ(sing_netbios_address(ipx, sizeof ipx, SING_NETBIOS_CARDS), SING_NULL_TEXT);
    EXPECT_EQ(sing_kmzuser_text(ipx, sizeof ipx, SING_KMZUSER_KEYS), SING_NULL_TEXT);
}
