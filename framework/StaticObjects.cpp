// The module's static objects, defined in this one translation unit so that
// C++ constructs them top to bottom and destroys them in reverse. Each
// gatherer takes the next registry slot as it is built, so this order is the
// index order the host sees:
//
//   the KMZSYS32.DLL binding, then
//   0 WinUserGatherer        "WindowsUserInfo"
//   1 IpGatherer             "IPInfo"
//   2 NetbiosGatherer        "NETBIOSInfo"
//   3 KmzUserGatherer        "KMZUserInfo"
//   4 IpxInfoGatherer        "IPX Data"
//   5 RegionalInfoGatherer   "Regional Data"
#include "framework/GathererRegistry.h"
#include "gatherers/IpGatherer.h"
#include "gatherers/IpxInfoGatherer.h"
#include "gatherers/KmzUserGatherer.h"
#include "gatherers/NetbiosGatherer.h"
#include "gatherers/RegionalInfoGatherer.h"
#include "gatherers/WinUserGatherer.h"
#include "platform/SinfLibrary.h"

// First: built before the gatherers, destroyed after them.
static SinfLibrary sinfLibrary(kSinfLibraryName);

static WinUserGatherer winUserGatherer;
static IpGatherer ipGatherer;
static NetbiosGatherer netbiosGatherer;
static KmzUserGatherer kmzUserGatherer;
static IpxInfoGatherer ipxInfoGatherer;
static RegionalInfoGatherer regionalInfoGatherer;
