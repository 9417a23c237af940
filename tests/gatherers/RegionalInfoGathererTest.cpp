#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "framework/DataBuf.h"
#include "gatherers/FillChecked.h"
#include "gatherers/RegionalInfoGatherer.h"

namespace {
// What the fake kmzhwnic.dll answers.
struct Answer {
    bool loadable = true;
    uint32_t result = 1;
    std::string texts[3] = {"a", "bc", ""};
    int32_t numbers[3] = {1, 2, 3};
    int loads = 0, calls = 0;
} answer;

uint32_t __stdcall FakeGetTimezoneInfo(char* t1, char* t2, char* t3, int32_t* n1, int32_t* n2, int32_t* n3,
                                       uint32_t size) {
    ++answer.calls;
    char* texts[3] = {t1, t2, t3};
    for (int i = 0; i < 3; ++i)  // as much as fits, without a terminator when full
        std::memcpy(texts[i], answer.texts[i].c_str(), std::min<size_t>(answer.texts[i].size() + 1, size));
    *n1 = answer.numbers[0], *n2 = answer.numbers[1], *n3 = answer.numbers[2];
    return answer.result;
}

struct FakeTimezone final : TimezoneApi {
    bool Load(GetTimezoneInfoFn* fn) override {
        ++answer.loads;
        *fn = answer.loadable ? FakeGetTimezoneInfo : nullptr;
        return answer.loadable;
    }
};

class Regional : public ::testing::Test {
protected:
    void SetUp() override {
        answer = Answer{};
        TimezoneApi::Install(&fake);
    }
    void TearDown() override { TimezoneApi::Install(nullptr); }
    // Header, the numbers (5th, 4th, 6th parameter), the three text offsets.
    static std::vector<uint8_t> Fixed(uint32_t length, const int32_t n[3], uint32_t o1, uint32_t o2, uint32_t o3) {
        std::vector<uint8_t> b(length, 0);
        databuf::WriteHeader(b.data(), length, 0xABACAB0B, 1);
        const uint32_t words[6] = {uint32_t(n[1]), uint32_t(n[0]), uint32_t(n[2]), o1, o2, o3};
        for (int i = 0; i < 6; ++i)
            databuf::PutU32(b.data(), 12 + 4 * i, words[i]);
        return b;
    }
    FakeTimezone fake;
    RegionalInfoGatherer g;
};
}  // namespace

// Texts and numbers as the library gives them. A host that asked for the
// length before Init sized its buffer for no texts: the fill stays within it
// until the host asks again.
TEST_F(Regional, TextsAndNumbersWithinTheLengthLastAsked) {
    EXPECT_EQ(g.GetDataBufLen(), 39u);
    EXPECT_EQ(g.Init(), 1u);
    EXPECT_EQ(g.Init(), 1u);
    EXPECT_EQ(answer.calls, 1);
    EXPECT_EQ(FillChecked(g, 39), Fixed(39, answer.numbers, 0, 0, 0));
    std::vector<uint8_t> expect = Fixed(42, answer.numbers, 36, 38, 41);
    std::memcpy(&expect[36], "a\0bc", 4);
    EXPECT_EQ(FillChecked(g), expect);
    EXPECT_EQ(g.GetDataBufLen(), 42u);
}

TEST_F(Regional, LibraryFailuresLeaveTheTextsAbsent) {
    answer.loadable = false;
    EXPECT_EQ(g.Init(), 0u);
    EXPECT_EQ(g.Init(), 1u);
    EXPECT_EQ(answer.loads, 1);
    const int32_t zero[3] = {};
    EXPECT_EQ(FillChecked(g), Fixed(39, zero, 0, 0, 0));
}

TEST_F(Regional, TextsAreBoundedAndSentAsUtf8) {
    answer.texts[0] = std::string(100, 'x');  // fills all 80 bytes, no terminator
    answer.texts[1] = "\xE9";
    g.Init();
    std::vector<uint8_t> buf = FillChecked(g);
    ASSERT_EQ(buf.size(), 36u + 80 + 3 + 1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(&buf[36])) + reinterpret_cast<char*>(&buf[116]),
              std::string(79, 'x') + "\xC3\xA9");
}

// kmzhwnic.dll answers from the machine's own settings; its texts are cut to
// the size the caller gives.
TEST(RegionalLibrary, DescribesThisMachinesTimeZone) {
    TIME_ZONE_INFORMATION tz;
    ASSERT_NE(GetTimeZoneInformation(&tz), TIME_ZONE_ID_INVALID);
    char standard[80];
    WideCharToMultiByte(CP_ACP, 0, tz.StandardName, -1, standard, sizeof standard, nullptr, nullptr);
    long offset = -(tz.Bias + tz.StandardBias);
    char utc[32];
    std::snprintf(utc, sizeof utc, "UTC%c%02ld:%02ld", offset < 0 ? '-' : '+', std::labs(offset) / 60,
                  std::labs(offset) % 60);
    RegionalInfoGatherer g;
    ASSERT_EQ(g.Init(), 1u);
    std::vector<uint8_t> buf = FillChecked(g);
    ASSERT_NE(databuf::GetU32(buf.data(), 24), 0u) << "kmzhwnic.dll gave no texts";
    EXPECT_STREQ(reinterpret_cast<const char*>(buf.data()) + databuf::GetU32(buf.data(), 24), standard);
    EXPECT_STREQ(reinterpret_cast<const char*>(buf.data()) + databuf::GetU32(buf.data(), 32), utc);
    EXPECT_EQ(static_cast<int32_t>(databuf::GetU32(buf.data(), 16)), tz.Bias);

    HMODULE m = LoadLibraryA("kmzhwnic.dll");
    ASSERT_NE(m, nullptr);
    auto get = reinterpret_cast<GetTimezoneInfoFn>(reinterpret_cast<void*>(GetProcAddress(m, "GetTimezoneInfo")));
    ASSERT_NE(get, nullptr);
    const uint32_t fits = static_cast<uint32_t>(std::strlen(utc)) + 1;
    for (uint32_t size : {fits + 1, fits, fits - 1, 2u, 1u}) {
        char t1[80], t2[80], t3[80];
        int32_t n1, n2, n3;
        std::memset(t3, 'x', sizeof t3);
        ASSERT_EQ(get(t1, t2, t3, &n1, &n2, &n3, size), 1u) << size;
        EXPECT_EQ(std::string(t3), std::string(utc).substr(0, size - 1)) << size;
        EXPECT_EQ(t3[size], 'x') << size;  // nothing written past the size
    }
    FreeLibrary(m);
}
