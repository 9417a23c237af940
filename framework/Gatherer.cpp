#include "framework/Gatherer.h"

#include <cstring>
#include <new>

#include "framework/GathererRegistry.h"

Gatherer::Gatherer(const char* name_, uint32_t typeId_)
    : name(nullptr), typeId(typeId_), index(GathererRegistry::kNotRegistered) {
    GathererRegistry::RegisterGatherer(this);
    if (name_ != nullptr) {
        size_t size = std::strlen(name_) + 1;
        // Without memory the gatherer has no name, as with a null one.
        name = new (std::nothrow) char[size];
        if (name != nullptr)
            std::memcpy(name, name_, size);
    }
}

Gatherer::~Gatherer() {
    GathererRegistry::UnregisterGatherer(this);
    delete[] name;
}

uint32_t Gatherer::Init() { return 1; }
uint32_t Gatherer::FlagDMIInits(uint32_t, uint32_t, uint32_t) { return 1; }
uint32_t Gatherer::DMIInit(uint32_t) { return 1; }
void Gatherer::Close() {}
uint32_t Gatherer::Update() { return 1; }
uint32_t Gatherer::Update(void*, uint32_t) { return Update(); }
uint32_t Gatherer::FlagDMIUpdates(uint32_t, uint32_t, uint32_t) { return 1; }
uint32_t Gatherer::DMIUpdate(uint32_t) { return 1; }
uint32_t Gatherer::GetDataBufLen() { return 0; }
uint32_t Gatherer::GetDataBufLen(void*, uint32_t) { return 0; }
uint32_t Gatherer::GetUniquePacketID() { return typeId; }
uint32_t Gatherer::FillDataBuf(uint8_t*) { return 0; }
uint32_t Gatherer::FillDataBuf(uint8_t*, void*, uint32_t) { return 0; }
uint32_t Gatherer::FillDMIInfo(uint32_t, uint32_t, uint32_t, DmiDatabase*) { return 1; }
void Gatherer::Print() {}
