// Network card probe: the description and current station address of card
// number `index` (0 to 7), read from the card list in the registry and from
// the card's driver through the NDIS global-statistics query.
#pragma once
#include <cstdint>

// Adapter types reported with an address.
constexpr uint32_t kTokenRingAdapter = 255;  // 802.5 address
constexpr uint32_t kEthernetAdapter = 253;   // 802.3 address

// Empties both texts, then reads card `index` by the layout of the running
// Windows family. `adapterAddress` holds at least 14 bytes, `description` 256.
// Results as ReadNetworkCardWin2000 / ReadNetworkCardNt4.
int32_t GetAdapterAddress(uint32_t index, char* adapterAddress, uint32_t* adapterType, char* description);

// Windows NT 4: the numbered keys NetworkCards\0..9, counting only those
// that exist. 1 when key number index + 1 exists (whatever could be read
// from it), 0 when there are fewer keys.
int32_t ReadNetworkCardNt4(uint32_t index, char* adapterAddress, char* description, uint32_t* adapterType,
                           uint32_t maxChars);

// Windows 2000: subkey number `index` of NetworkCards. 1 when the card was
// found and its address read, 0 when found but the address not read, -1 when
// there is no such card.
int32_t ReadNetworkCardWin2000(uint32_t index, char* adapterAddress, char* description, uint32_t* adapterType,
                               uint32_t maxChars);

// Asks the driver named `serviceName` for its current address, token ring
// first, then Ethernet. 1 with twelve hex digits in `adapterAddress` and the
// type set; 0 with both untouched.
uint32_t QueryAdapterAddress(const char* serviceName, char* adapterAddress, uint32_t* adapterType);
