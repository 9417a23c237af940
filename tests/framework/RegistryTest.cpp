#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/Exports.h"
#include "framework/Gatherer.h"
#include "framework/GathererRegistry.h"

namespace {

// A gatherer that records what reached it.
class Probe : public Gatherer {
public:
    using Gatherer::Gatherer;
    using Gatherer::FillDataBuf;
    using Gatherer::GetDataBufLen;
    using Gatherer::Update;
    uint32_t Update() override { return ++updates, 7; }
    uint32_t GetDataBufLen() override { return 16; }
    uint32_t FillDataBuf(uint8_t* buf) override { return buf ? (std::memset(buf, 0xAB, 16), 1) : (++nullFills, 1); }
    int updates = 0;
    static inline int nullFills = 0;  // fills asked into no buffer
};
std::unique_ptr<Probe> Make(const char* name, uint32_t id) { return std::make_unique<Probe>(name, id); }

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(GathererRegistry::GathererCount(), 0u); }
    void TearDown() override { EXPECT_EQ(GathererRegistry::GathererCount(), 0u); }
};

}  // namespace

TEST_F(RegistryTest, SlotsFollowConstructionAndHolesAreRefilled) {
    auto a = Make("A", 1), b = Make("B", 2), c = Make("C", 3);
    EXPECT_EQ(c->GetIndex(), 2u);
    EXPECT_EQ(GathererRegistry::FindGatherer("c"), nullptr);  // case-sensitive
    b.reset();
    EXPECT_EQ(GathererRegistry::GathererCount(), 2u);
    EXPECT_EQ(SING_Name(1), nullptr);
    EXPECT_EQ(GathererRegistry::FindGatherer("C"), c.get());  // the count (2) no longer reaches it
    auto d = Make(nullptr, 4);  // takes the hole, not a live slot
    EXPECT_EQ(d->GetIndex(), 1u);
    EXPECT_EQ(SING_Name(1), nullptr);
    EXPECT_EQ((std::vector<uint32_t>{SING_GetUniquePacketID(0), SING_GetUniquePacketID(1), SING_GetUniquePacketID(2)}),
              (std::vector<uint32_t>{1, 4, 3}));
    char name[] = "Copied";  // the gatherer keeps its own copy of the name
    Probe e(name, 5);
    name[0] = 'X';
    EXPECT_EQ(std::string(e.GetName()), "Copied");
}

TEST_F(RegistryTest, RegistrationPastTheLastSlotIsRefused) {
    std::vector<std::unique_ptr<Probe>> all;
    for (uint32_t i = 0; i < SING_SLOTS; ++i)
        all.push_back(Make("G", 100 + i));
    auto extra = Make("Extra", 999);
    EXPECT_EQ(extra->GetIndex(), GathererRegistry::kNotRegistered);
    for (uint32_t i = 0; i < 65536; ++i)
        ASSERT_NE(SING_GetUniquePacketID(i), 999u) << i;
    extra.reset();  // must not disturb the table
    EXPECT_EQ(GathererRegistry::GathererCount(), SING_SLOTS);
    EXPECT_EQ(SING_GetUniquePacketID(SING_SLOTS - 1), 100 + SING_SLOTS - 1);
}

// Every export reaches the gatherer by the low 16 bits of its index; an empty
// slot or an index past the table answers 0. With a pointer the two-argument
// forms answer 0 and write nothing (Update runs the gatherer's own); a null
// buffer is never written.
TEST_F(RegistryTest, ExportsForwardByTheLow16BitsOfTheIndex) {
    Probe p("Probe", 0xABACAB99);
    EXPECT_EQ(SING_NumGatherers(), 1u);
    using Call = uint32_t (*)(uint32_t);
    const struct {
        const char* name;
        Call call;
        uint32_t registered;
    } calls[] = {
        {"Name", [](uint32_t i) { return uint32_t(SING_Name(i) && std::strcmp(SING_Name(i), "Probe") == 0); }, 1},
        {"GetUniquePacketID", [](uint32_t i) { return SING_GetUniquePacketID(i); }, 0xABACAB99},
        {"Init", [](uint32_t i) { return SING_Init(i); }, 1},
        {"Close", [](uint32_t i) { return SING_Close(i); }, 1},
        {"Print", [](uint32_t i) { return SING_Print(i); }, 1},
        {"Update", [](uint32_t i) { return SING_Update(i, nullptr, 0); }, 7},
        {"GetDataBufLen", [](uint32_t i) { return SING_GetDataBufLen(i, nullptr, 0); }, 16},
        {"FillDataBuf", [](uint32_t i) { uint8_t b[16]; return SING_FillDataBuf(i, b, nullptr, 0); }, 1},
        {"Update(p)", [](uint32_t i) { return SING_Update(i, &i, 5); }, 7},
        {"GetDataBufLen(p)", [](uint32_t i) { return SING_GetDataBufLen(i, &i, 4); }, 0},
        {"FillDataBuf(p)",
         [](uint32_t i) { uint8_t b[16] = {}; return SING_FillDataBuf(i, b, &i, 16) + b[0] + b[15]; }, 0},
        {"FillDataBuf(null)",
         [](uint32_t i) { return SING_FillDataBuf(i, nullptr, nullptr, 0) + Probe::nullFills; }, 0},
        {"FlagDMIInits", [](uint32_t i) { return SING_FlagDMIInits(i, 1, 2, 3); }, 1},
        {"DMIInit", [](uint32_t i) { return SING_DMIInit(i, 5); }, 1},
        {"FlagDMIUpdates", [](uint32_t i) { return SING_FlagDMIUpdates(i, 1, 2, 3); }, 1},
        {"DMIUpdate", [](uint32_t i) { return SING_DMIUpdate(i, 5); }, 1},
        {"FillDMIInfo", [](uint32_t i) { return SING_FillDMIInfo(i, 1, 2, 3); }, 1},
    };
    for (const auto& c : calls) {
        for (uint32_t i : {0u, 0x00010000u, 0xFFFF0000u})
            EXPECT_EQ(c.call(i), c.registered) << c.name << "(" << i << ")";
        for (uint32_t i : {1u, SING_SLOTS - 1, SING_SLOTS, SING_SLOTS + 1, 65535u, 0x0001FFFFu})
            EXPECT_EQ(c.call(i), 0u) << c.name << "(" << i << ")";
    }
    for (uint32_t v : {0u, 6u, 0xFFFFFFFFu})  // not an index: always 1
        EXPECT_EQ(SING_FlagDMIRefresh(v), 1u);
    EXPECT_EQ(p.updates, 6);  // with and without a pointer, for the three indices
}
