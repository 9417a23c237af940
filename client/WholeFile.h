// Reads a whole file of at most 64 MiB, sharing it with every other opener.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

bool ReadWholeFile(const char* name, std::vector<uint8_t>& out, std::string& error);
