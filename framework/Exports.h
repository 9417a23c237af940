// The module's exported interface. Every export is stdcall; where the first
// argument is a gatherer index only its low 16 bits count.
#pragma once
#include <cstdint>

#define SING_API extern "C" __stdcall

SING_API uint32_t SING_NumGatherers();
SING_API const char* SING_Name(uint32_t index);
SING_API uint32_t SING_Init(uint32_t index);
SING_API uint32_t SING_Close(uint32_t index);
SING_API uint32_t SING_Update(uint32_t index, void* p, uint32_t n);
SING_API uint32_t SING_GetDataBufLen(uint32_t index, void* p, uint32_t n);
SING_API uint32_t SING_FillDataBuf(uint32_t index, uint8_t* buf, void* p, uint32_t n);
SING_API uint32_t SING_GetUniquePacketID(uint32_t index);
SING_API uint32_t SING_Print(uint32_t index);
SING_API uint32_t SING_FlagDMIRefresh(uint32_t unused);
SING_API uint32_t SING_FlagDMIInits(uint32_t index, uint32_t a1, uint32_t a2, uint32_t a3);
SING_API uint32_t SING_DMIInit(uint32_t index, uint32_t a1);
SING_API uint32_t SING_FlagDMIUpdates(uint32_t index, uint32_t a1, uint32_t a2, uint32_t a3);
SING_API uint32_t SING_DMIUpdate(uint32_t index, uint32_t a1);
SING_API uint32_t SING_FillDMIInfo(uint32_t index, uint32_t a1, uint32_t a2, uint32_t a3);

// Set by SING_FlagDMIRefresh; nothing else in the module reads it.
extern uint32_t dmiRefreshFlag;
