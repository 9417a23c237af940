// TCP/IP configuration of one adapter, read from the registry in the layout
// of the running Windows family: one key per interface on Windows 2000 and
// later; on Windows NT 4 the global TCP/IP parameters and the first bound
// adapter service, completed from kmzhwnic.dll and the local host name's
// address. Texts go into the caller's 256-byte buffers (at most 255
// characters and a NUL). Not reentrant: the NT 4 path keeps the companion
// library's handle module-wide.
#pragma once
#include <cstdint>

// Empties every text, zeroes reserved1/reserved2 and fills what is found
// for adapter `index` (0 to 7). 1 when the probe ran to its end; 0 when, on
// Windows NT 4, kmzhwnic.dll does not load or its GetIpAddressInfo fails
// (what was found until then stays in the outputs). `reservedText` is only
// emptied.
int32_t GetAdapterIpConfig(uint32_t index, char* ipAddress, char* subnetMask, char* hostName, char* domainName,
                           char* defaultGateway, char* primaryDns, char* secondaryDns, char* reservedText,
                           uint32_t* reserved1, uint32_t* reserved2);

// The Windows 2000 layout: the index-th subkey of
// Tcpip\Parameters\Interfaces, static or DHCP values by its EnableDHCP.
// Outputs that are not found keep their text.
void ReadIpConfigWin2000(uint32_t index, char* ipAddress, char* subnetMask, char* hostName, char* domainName,
                         char* defaultGateway, char* primaryDns, char* secondaryDns);

// The Windows NT 4 layout: the TCP/IP parameters of the first adapter
// service bound to tcpip (index 0 only). True when that service's key was
// read. Values that cannot be read leave their outputs as they were.
bool ReadIpConfigNt4(uint32_t index, char* ipAddress, char* subnetMask, char* defaultGateway,
                         uint32_t* dhcpEnabled, uint32_t maxChars);
