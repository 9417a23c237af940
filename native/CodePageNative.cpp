#include "support/CodePage.h"

// The native build converts with its own Windows-1252 table.
bool LocalCodePageIs1252() { return true; }
