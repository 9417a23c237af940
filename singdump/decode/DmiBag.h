// Read-only decoding of a bag file's header and index chain, with the same
// checks the library applies when it opens the file.
#pragma once
#include <cstddef>
#include <cstdint>

#include "decode/Decoders.h"

// `fields` gets the header, the block size and every index block with its
// used entries (a key other than 0xFFFFFFFF or a data extent); `ok` is false,
// with the reason in `error`, for a file the library would refuse.
DecodeResult DecodeBagFile(const uint8_t* data, size_t size, uint32_t expectedSignature);
