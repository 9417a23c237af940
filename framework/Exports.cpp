// Thin forwarding layer: look the gatherer up and call one operation. The
// module throws nothing (it is built without exceptions), so nothing needs
// catching here.
#include "framework/Exports.h"

#include "dmi/DmiDatabase.h"
#include "framework/Gatherer.h"
#include "framework/GathererRegistry.h"

uint32_t dmiRefreshFlag = 0;

namespace {

Gatherer* Lookup(uint32_t index) {
    return GathererRegistry::GetGatherer(static_cast<uint16_t>(index));
}

// Runs `call` on the gatherer in the slot; an empty slot answers 0.
template <typename Result, typename Call>
Result Forward(uint32_t index, Call call) {
    Gatherer* g = Lookup(index);
    if (g == nullptr)
        return Result{};
    return call(*g);
}

}  // namespace

SING_API uint32_t SING_NumGatherers() { return GathererRegistry::GathererCount(); }

SING_API const char* SING_Name(uint32_t index) {
    return Forward<const char*>(index, [](Gatherer& g) { return g.GetName(); });
}

SING_API uint32_t SING_Init(uint32_t index) {
    return Forward<uint32_t>(index, [](Gatherer& g) { return g.Init(); });
}

SING_API uint32_t SING_Close(uint32_t index) {
    return Forward<uint32_t>(index, [](Gatherer& g) {
        g.Close();
        return 1u;
    });
}

SING_API uint32_t SING_Update(uint32_t index, void* p, uint32_t n) {
    return Forward<uint32_t>(index, [=](Gatherer& g) { return p == nullptr ? g.Update() : g.Update(p, n); });
}

SING_API uint32_t SING_GetDataBufLen(uint32_t index, void* p, uint32_t n) {
    return Forward<uint32_t>(index, [=](Gatherer& g) {
        return p == nullptr ? g.GetDataBufLen() : g.GetDataBufLen(p, n);
    });
}

SING_API uint32_t SING_FillDataBuf(uint32_t index, uint8_t* buf, void* p, uint32_t n) {
    if (buf == nullptr)  // nothing to fill; a gatherer would write through it
        return 0;
    return Forward<uint32_t>(index, [=](Gatherer& g) {
        return p == nullptr ? g.FillDataBuf(buf) : g.FillDataBuf(buf, p, n);
    });
}

SING_API uint32_t SING_GetUniquePacketID(uint32_t index) {
    return Forward<uint32_t>(index, [](Gatherer& g) { return g.GetUniquePacketID(); });
}

SING_API uint32_t SING_Print(uint32_t index) {
    return Forward<uint32_t>(index, [](Gatherer& g) {
        g.Print();
        return 1u;
    });
}

SING_API uint32_t SING_FlagDMIRefresh(uint32_t) {
    dmiRefreshFlag = 1;
    return 1;
}

SING_API uint32_t SING_FlagDMIInits(uint32_t index, uint32_t a1, uint32_t a2, uint32_t a3) {
    return Forward<uint32_t>(index, [=](Gatherer& g) { return g.FlagDMIInits(a1, a2, a3); });
}

SING_API uint32_t SING_DMIInit(uint32_t index, uint32_t a1) {
    return Forward<uint32_t>(index, [=](Gatherer& g) { return g.DMIInit(a1); });
}

SING_API uint32_t SING_FlagDMIUpdates(uint32_t index, uint32_t a1, uint32_t a2, uint32_t a3) {
    return Forward<uint32_t>(index, [=](Gatherer& g) { return g.FlagDMIUpdates(a1, a2, a3); });
}

SING_API uint32_t SING_DMIUpdate(uint32_t index, uint32_t a1) {
    return Forward<uint32_t>(index, [=](Gatherer& g) { return g.DMIUpdate(a1); });
}

SING_API uint32_t SING_FillDMIInfo(uint32_t index, uint32_t a1, uint32_t a2, uint32_t a3) {
    // The DMI bag file is opened (or created) for the call whether or not the
    // slot holds a gatherer, and closed before the export returns.
    DmiDatabase db(kDmiBagFileName, kDmiSignature, 0);
    return Forward<uint32_t>(index, [&](Gatherer& g) { return g.FillDMIInfo(a1, a2, a3, &db); });
}
