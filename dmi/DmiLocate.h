// Works out the DMI bag file's name from this process's view of the host
// settings key, the Windows family and the system directory.
#pragma once
#include "dmi/DmiPath.h"

DmiPathSource LocateDmiBagFile(const char* fileName, char (&path)[kDmiPathRoom]);
