#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "gatherers/FillChecked.h"
#include "gatherers/RegionalInfoGatherer.h"

namespace {
// What the fake kmzhwnic.dll answers.
struct Answer {
    bool loadable = true;
    std::string texts[3] = {"a", "bc", ""};
    int loads = 0, calls = 0;
} answer;

uint32_t __stdcall FakeGetTimezoneInfo(char* t1, char* t2, char* t3, int32_t* n1, int32_t* n2, int32_t* n3,
                                       uint32_t size) {
    ++answer.calls;
    char* texts[3] = {t1, t2, t3};
    for (int i = 0; i < 3; ++i)  // as much as fits, without a terminator when full
        std::memcpy(texts[i], answer.texts[i].c_str(), std::min<size_t>(answer.texts[i].size() + 1, size));
    *n1 = 1, *n2 = 2, *n3 = 3;
    return 1;
}

struct FakeTimezone final : TimezoneApi {
    bool Load(GetTimezoneInfoFn* fn) override {
        ++answer.loads;
        *fn = answer.loadable ? FakeGetTimezoneInfo : nullptr;
        return answer.loadable;
    }
};
}  // namespace

// The library is asked once; texts fill at most 80 bytes, sent as UTF-8. A
// length asked before Init does not stick once the host asks again (the fill
// in that length, without texts: BufferBytesTest).
TEST(Regional, TextsCutAndConvertedOrAbsent) {
    FakeTimezone fake;
    TimezoneApi::Install(&fake);
    RegionalInfoGatherer g;
    EXPECT_EQ(g.GetDataBufLen(), 39u);
    answer.texts[0] = std::string(100, 'x');
    answer.texts[1] = "\xE9";
    EXPECT_EQ(g.Init(), 1u);
    EXPECT_EQ(g.Init(), 1u);
    EXPECT_EQ(answer.calls, 1);
    // The numbers in the library's 5th, 4th, 6th parameter order.
    EXPECT_EQ(Facts(g), "\"standardBias\":2,\"bias\":1,\"daylightBias\":3,\"standardName\":\"" + std::string(79, 'x') +
                            "\",\"daylightName\":\"\xC3\xA9\",\"utcOffset\":\"\"");
    // A library that fails to load is tried once; the texts stay absent.
    answer.loadable = false;
    RegionalInfoGatherer failing;
    EXPECT_EQ(failing.Init(), 0u);
    EXPECT_EQ(failing.Init(), 1u);
    EXPECT_EQ(answer.loads, 2);
    EXPECT_EQ(Facts(failing), "\"standardBias\":0,\"bias\":0,\"daylightBias\":0,\"standardName\":null,"
                              "\"daylightName\":null,\"utcOffset\":null");
    TimezoneApi::Install(nullptr);
}

// kmzhwnic.dll answers from the machine's own settings; its texts are cut to
// the size the caller gives.
TEST(RegionalLibrary, DescribesThisMachinesTimeZone) {
    TIME_ZONE_INFORMATION tz;
    ASSERT_NE(GetTimeZoneInformation(&tz), TIME_ZONE_ID_INVALID);
    char standard[80], utc[32];
    WideCharToMultiByte(CP_ACP, 0, tz.StandardName, -1, standard, sizeof standard, nullptr, nullptr);
    const long offset = -(tz.Bias + tz.StandardBias), minutes = offset < 0 ? -offset : offset;
    std::snprintf(utc, sizeof utc, "UTC%c%02ld:%02ld", offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
    RegionalInfoGatherer g;
    ASSERT_EQ(g.Init(), 1u);
    const std::string facts = Facts(g);
    for (const std::string& want : {"\"bias\":" + std::to_string(tz.Bias) + ",", "\"standardName\":\"" + std::string(standard) + "\"",
                                    "\"utcOffset\":\"" + std::string(utc) + "\""})
        EXPECT_NE(facts.find(want), std::string::npos) << want << " in " << facts;

    HMODULE m = LoadLibraryA("kmzhwnic.dll");
    auto get = reinterpret_cast<GetTimezoneInfoFn>(reinterpret_cast<void*>(GetProcAddress(m, "GetTimezoneInfo")));
    ASSERT_NE(get, nullptr);
    const uint32_t fits = static_cast<uint32_t>(std::strlen(utc)) + 1;
    for (uint32_t size : {fits + 1, fits, fits - 1, 2u, 1u}) {
        char t[3][80];
        int32_t n[3];
        std::memset(t, 'x', sizeof t);
        ASSERT_EQ(get(t[0], t[1], t[2], &n[0], &n[1], &n[2], size), 1u) << size;
        EXPECT_EQ(std::string(t[2], size + 1), std::string(utc).substr(0, size - 1) + '\0' +
                                                   std::string(size + 1 - std::min(fits, size), 'x')) << size;
    }
    FreeLibrary(m);
}
