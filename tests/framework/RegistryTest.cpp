#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "framework/Exports.h"
#include "framework/Gatherer.h"
#include "framework/GathererRegistry.h"

namespace {

// A gatherer that records what reached it.
class Probe : public Gatherer {
public:
    Probe(const char* name, uint32_t id) : Gatherer(name, id) {}
    ~Probe() = default;
    using Gatherer::FillDataBuf;
    using Gatherer::GetDataBufLen;
    using Gatherer::Update;
    uint32_t Update() override {
        ++updates;
        return 7;
    }
    uint32_t GetDataBufLen() override { return 16; }
    uint32_t FillDataBuf(uint8_t* buf) override {
        std::memset(buf, 0xAB, 16);
        return 1;
    }
    int updates = 0;
};

class Plain : public Gatherer {
public:
    using Gatherer::Gatherer;
    ~Plain() = default;
};

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(GathererRegistry::GathererCount(), 0u); }
    void TearDown() override { EXPECT_EQ(GathererRegistry::GathererCount(), 0u); }
};

}  // namespace

TEST_F(RegistryTest, IndicesFollowConstructionOrder) {
    auto a = std::make_unique<Plain>("A", 0x11);
    auto b = std::make_unique<Plain>("B", 0x22);
    auto c = std::make_unique<Plain>(nullptr, 0x33);
    EXPECT_EQ(a->GetIndex(), 0u);
    EXPECT_EQ(b->GetIndex(), 1u);
    EXPECT_EQ(c->GetIndex(), 2u);
    EXPECT_EQ(GathererRegistry::GathererCount(), 3u);
    EXPECT_EQ(GathererRegistry::GetGatherer(1), b.get());
    EXPECT_EQ(GathererRegistry::FindGatherer("B"), b.get());
    EXPECT_EQ(GathererRegistry::FindGatherer("b"), nullptr);  // case-sensitive
    EXPECT_EQ(c->GetName(), nullptr);

    // The name is the gatherer's own copy.
    char name[] = "Copied";
    Plain d(name, 0x44);
    name[0] = 'X';
    EXPECT_STREQ(d.GetName(), "Copied");
}

TEST_F(RegistryTest, UnregisterLeavesAHoleAndKeepsOtherSlots) {
    auto a = std::make_unique<Plain>("A", 1);
    auto b = std::make_unique<Plain>("B", 2);
    auto c = std::make_unique<Plain>("C", 3);
    b.reset();
    EXPECT_EQ(GathererRegistry::GathererCount(), 2u);
    EXPECT_EQ(GathererRegistry::GetGatherer(1), nullptr);
    EXPECT_EQ(GathererRegistry::GetGatherer(2), c.get());
    EXPECT_EQ(SING_Name(1), nullptr);
    EXPECT_EQ(SING_GetUniquePacketID(2), 3u);
    // The count (2) no longer reaches slot 2; the name scan still does.
    EXPECT_EQ(GathererRegistry::FindGatherer("C"), c.get());
    EXPECT_EQ(GathererRegistry::FindGatherer("A"), a.get());
    // A new gatherer takes the hole, not a live slot.
    auto d = std::make_unique<Plain>("D", 4);
    EXPECT_EQ(d->GetIndex(), 1u);
    EXPECT_EQ(SING_GetUniquePacketID(1), 4u);
    EXPECT_EQ(SING_GetUniquePacketID(2), 3u);
}

TEST_F(RegistryTest, TwentyFirstRegistrationIsRefused) {
    std::vector<std::unique_ptr<Plain>> all;
    for (int i = 0; i < 20; ++i)
        all.push_back(std::make_unique<Plain>("G", 100 + i));
    auto extra = std::make_unique<Plain>("Extra", 999);
    EXPECT_EQ(GathererRegistry::GathererCount(), 20u);
    EXPECT_EQ(extra->GetIndex(), GathererRegistry::kNotRegistered);
    for (uint32_t i = 0; i < 65536; ++i)
        ASSERT_NE(SING_GetUniquePacketID(i), 999u) << i;
    extra.reset();  // must not disturb the table
    EXPECT_EQ(GathererRegistry::GathererCount(), 20u);
    EXPECT_EQ(SING_GetUniquePacketID(19), 119u);
    // A slot freed in the middle is taken again; then the table is full.
    all[7].reset();
    auto again = std::make_unique<Plain>("Again", 777);
    EXPECT_EQ(again->GetIndex(), 7u);
    EXPECT_EQ(std::make_unique<Plain>("Extra", 999)->GetIndex(), GathererRegistry::kNotRegistered);
}

TEST_F(RegistryTest, ExportsForwardByLow16BitsOfTheIndex) {
    Probe p("Probe", 0xABACAB99);
    EXPECT_EQ(SING_NumGatherers(), 1u);
    EXPECT_STREQ(SING_Name(0), "Probe");
    EXPECT_STREQ(SING_Name(0x00010000), "Probe");
    EXPECT_STREQ(SING_Name(0xFFFF0000), "Probe");
    EXPECT_EQ(SING_GetUniquePacketID(0x7FFF0000), 0xABACAB99u);
    EXPECT_EQ(SING_Init(0), 1u);
    EXPECT_NE(SING_Close(0), 0u);
    EXPECT_NE(SING_Print(0), 0u);
    EXPECT_EQ(SING_FlagDMIInits(0, 1, 2, 3), 1u);
    EXPECT_EQ(SING_DMIInit(0, 5), 1u);
    EXPECT_EQ(SING_FlagDMIUpdates(0, 1, 2, 3), 1u);
    EXPECT_EQ(SING_DMIUpdate(0, 5), 1u);
    EXPECT_EQ(SING_FillDMIInfo(0, 1, 2, 3), 1u);
}

TEST_F(RegistryTest, TwoFormDispatchTestsOnlyThePointer) {
    Probe p("Probe", 1);
    int token = 0;
    EXPECT_EQ(SING_Update(0, nullptr, 99), 7u);
    EXPECT_EQ(SING_Update(0, &token, 5), 7u);  // base Update(p, n) runs the derived Update()
    EXPECT_EQ(p.updates, 2);

    EXPECT_EQ(SING_GetDataBufLen(0, nullptr, 0), 16u);
    EXPECT_EQ(SING_GetDataBufLen(0, &token, 4), 0u);

    uint8_t buf[16] = {};
    EXPECT_EQ(SING_FillDataBuf(0, buf, &token, 16), 0u);
    for (uint8_t b : buf)
        ASSERT_EQ(b, 0u);
    EXPECT_EQ(SING_FillDataBuf(0, buf, nullptr, 0), 1u);
    EXPECT_EQ(buf[15], 0xAB);
    EXPECT_EQ(SING_FillDataBuf(0, nullptr, nullptr, 0), 0u);  // no buffer: nothing written
}

TEST_F(RegistryTest, EmptySlotsAndIndicesPastTheTableAnswerZero) {
    Probe p("Probe", 1);
    uint8_t buf[4] = {1, 2, 3, 4};
    for (uint32_t i : {1u, 6u, 19u, 20u, 21u, 65535u, 0x0001FFFFu}) {
        EXPECT_EQ(SING_Name(i), nullptr) << i;
        EXPECT_EQ(SING_Init(i), 0u) << i;
        EXPECT_EQ(SING_Close(i), 0u) << i;
        EXPECT_EQ(SING_Print(i), 0u) << i;
        EXPECT_EQ(SING_Update(i, nullptr, 0), 0u) << i;
        EXPECT_EQ(SING_GetDataBufLen(i, nullptr, 0), 0u) << i;
        EXPECT_EQ(SING_FillDataBuf(i, buf, nullptr, 0), 0u) << i;
        EXPECT_EQ(SING_GetUniquePacketID(i), 0u) << i;
        EXPECT_EQ(SING_FlagDMIInits(i, 0, 0, 0), 0u) << i;
        EXPECT_EQ(SING_DMIInit(i, 0), 0u) << i;
        EXPECT_EQ(SING_FlagDMIUpdates(i, 0, 0, 0), 0u) << i;
        EXPECT_EQ(SING_DMIUpdate(i, 0), 0u) << i;
        EXPECT_EQ(SING_FillDMIInfo(i, 0, 0, 0), 0u) << i;
    }
    EXPECT_EQ(buf[0], 1);
}

TEST_F(RegistryTest, FlagDMIRefreshAlwaysAnswersOne) {
    dmiRefreshFlag = 0;
    EXPECT_EQ(SING_FlagDMIRefresh(0), 1u);
    EXPECT_EQ(dmiRefreshFlag, 1u);
    EXPECT_EQ(SING_FlagDMIRefresh(0xFFFFFFFF), 1u);
}
