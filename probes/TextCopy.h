// Bounded text copies and the name-server list split used by the TCP/IP
// configuration probe. Free of OS headers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <initializer_list>

// Separators of a Windows 2000 interface's "NameServer" list, and of every
// other name-server list.
inline constexpr const char* kInterfaceNameServerSeparators = " ,";
inline constexpr const char* kNameServerSeparators = " ";

// Copies at most `maxChars` characters of `src` and a NUL into `dst`.
void CopyText(char* dst, const char* src, uint32_t maxChars);

// Joins `parts` into `out` (`room` bytes, NUL included), cut to fit. False
// when something had to be cut. The few registry and device paths the probes
// compose need no more than this.
bool JoinText(char* out, size_t room, std::initializer_list<const char*> parts);

// Copies the text in `data` (up to its first NUL or its end, at most
// `maxChars` characters) into `dst` and terminates it. For data that need
// not be terminated, such as a registry value.
void CopyTextFromData(char* dst, const uint8_t* data, size_t size, uint32_t maxChars);

// Cuts `list` into tokens at any character of `separators`, skipping empty
// tokens. The first token replaces `primaryDns`, the second `secondaryDns`,
// each cut to `maxChars` characters plus a NUL; further tokens are ignored.
// An output without a token keeps its text.
void SplitNameServers(const char* list, const char* separators, char* primaryDns, char* secondaryDns,
                      uint32_t maxChars);
