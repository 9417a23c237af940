#include <windows.h>

#include "support/CodePage.h"

bool LocalCodePageIs1252() { return GetACP() == 1252; }
