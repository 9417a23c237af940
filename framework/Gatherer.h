// Base class of every gatherer: name, packet id, registry slot and the fifteen
// operations the exports forward to, each with its default.
#pragma once
#include <cstdint>

class DmiDatabase;

class Gatherer {
public:
    Gatherer(const char* name, uint32_t typeId);
    Gatherer(const Gatherer&) = delete;
    Gatherer& operator=(const Gatherer&) = delete;

    // Virtual table order matters to nobody outside, but it is kept stable.
    virtual uint32_t Init();
    virtual uint32_t FlagDMIInits(uint32_t a1, uint32_t a2, uint32_t a3);
    virtual uint32_t DMIInit(uint32_t a1);
    virtual void Close();
    virtual uint32_t Update();
    virtual uint32_t Update(void* p, uint32_t n);
    virtual uint32_t FlagDMIUpdates(uint32_t a1, uint32_t a2, uint32_t a3);
    virtual uint32_t DMIUpdate(uint32_t a1);
    virtual uint32_t GetDataBufLen();
    virtual uint32_t GetDataBufLen(void* p, uint32_t n);
    virtual uint32_t GetUniquePacketID();
    virtual uint32_t FillDataBuf(uint8_t* buf);
    virtual uint32_t FillDataBuf(uint8_t* buf, void* p, uint32_t n);
    virtual uint32_t FillDMIInfo(uint32_t a1, uint32_t a2, uint32_t a3, DmiDatabase* db);
    virtual void Print();

    const char* GetName() const { return name; }
    uint32_t GetIndex() const { return index; }

protected:
    // Static gatherers are destroyed through their own class only.
    ~Gatherer();

private:
    friend class GathererRegistry;
    char* name;
    uint32_t typeId;
    uint32_t index;
};
