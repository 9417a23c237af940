// The bench's --layout: the library reads a registry layout of a real machine
// instead of this one's.
#pragma once
#include <string>

#include "client/RegistryStandIn.h"

// Loads the layout (a name in tests/layouts, or an export file's path) with
// this machine's network cards (the layout's cards have no drivers here) and
// redirects HKEY_LOCAL_MACHINE of this process to it until standIn.Restore().
bool StandInLayout(RegistryStandIn& standIn, const std::string& layout, std::string& error);
