#include "framework/GathererRegistry.h"

#include <cstring>

#include "framework/Gatherer.h"

namespace {
// Zero-initialised before any static constructor runs, so gatherers built in
// any translation unit find an empty table.
Gatherer* slots[GathererRegistry::kSlots];
uint32_t count;
}  // namespace

bool GathererRegistry::RegisterGatherer(Gatherer* g) {
    // The lowest empty slot: after an unregistration the count no longer
    // names one, and slots[count] may hold a live gatherer.
    for (uint32_t i = 0; i < kSlots; ++i) {
        if (slots[i] == nullptr) {
            g->index = i;
            slots[i] = g;
            ++count;
            return true;
        }
    }
    g->index = kNotRegistered;
    return false;
}

void GathererRegistry::UnregisterGatherer(Gatherer* g) {
    if (g->index >= kSlots || slots[g->index] != g)
        return;
    slots[g->index] = nullptr;
    --count;
}

Gatherer* GathererRegistry::GetGatherer(uint32_t index) {
    return index < kSlots ? slots[index] : nullptr;
}

uint32_t GathererRegistry::GathererCount() { return count; }

Gatherer* GathererRegistry::FindGatherer(const char* name) {
    if (name == nullptr)
        return nullptr;
    // Every slot: after an unregistration the count no longer reaches the
    // highest occupied one.
    for (uint32_t i = 0; i < kSlots; ++i) {
        Gatherer* g = slots[i];
        if (g != nullptr && g->name != nullptr && std::strcmp(g->name, name) == 0)
            return g;
    }
    return nullptr;
}
