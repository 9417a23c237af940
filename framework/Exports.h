// The module's exported interface, as the public header sing32.h declares it
// (without dllimport: the library is built with SING_IMPORT defined empty).
// Every export is stdcall; where the first argument is a gatherer index only
// its low 16 bits count.
#pragma once
#include <cstdint>

#include "sdk/sing32.h"

#define SING_API extern "C" __stdcall

// Set by SING_FlagDMIRefresh; nothing else in the module reads it.
extern uint32_t dmiRefreshFlag;
