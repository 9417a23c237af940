// Which Windows family the module runs on, asked afresh at every use from the
// process support library (IsWinNT: NT family; IsWinNT5: Windows 2000 or later).
#pragma once
#include "kmzipc32.h"
