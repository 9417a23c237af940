// The user profile file's reader: one module-wide path (the profile file's
// absolute name while an update reads it) and lookups of one value through
// the operating system's private-profile reader. Not reentrant.
#pragma once
#include <cstdint>

// Room of the profile path, NUL included.
constexpr uint32_t kProfilePathRoom = 253;

// Makes `path` absolute (relative to the working directory) into the profile
// path. Returns the profile path, or null when the full path cannot be formed
// or does not fit.
const char* SetProfilePath(const char* path);
// Reads one value from the profile file into buffer (*size bytes with the
// NUL; an absent key reads as the empty text) and stores the number of
// characters read in *size. Returns 1 when nothing was read, 0 otherwise.
uint32_t ReadProfileValue(const char* section, const char* key, char* buffer, uint32_t* size);
void ClearProfilePath();
// The current profile path (empty between updates).
const char* ProfilePath();
