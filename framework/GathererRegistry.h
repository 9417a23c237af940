// Fixed table of the gatherers living in this module, addressed by index.
#pragma once
#include <cstdint>

#include "sdk/sing32.h"

class Gatherer;

class GathererRegistry {
public:
    static constexpr uint32_t kSlots = SING_SLOTS;
    // Slot value given to a gatherer the full table could not take.
    static constexpr uint32_t kNotRegistered = 0xFFFFFFFFu;

    // Takes the lowest empty slot; with every slot taken the registration is
    // refused (the gatherer keeps kNotRegistered and stays unreachable).
    static bool RegisterGatherer(Gatherer* g);
    static void UnregisterGatherer(Gatherer* g);
    // Null for an empty slot and for any index past the table.
    static Gatherer* GetGatherer(uint32_t index);
    static uint32_t GathererCount();
    static Gatherer* FindGatherer(const char* name);
};
