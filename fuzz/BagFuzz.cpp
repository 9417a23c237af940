// Fuzzes the bag file reading over arbitrary bytes through the host tool's
// read-only report, which runs the header check and the bounded index-chain
// walk the library runs when it opens a file, then lists every entry.
#include <cstdint>
#include <vector>

#include "decode/DmiBag.h"
#include "decode/Node.h"
#include "dmi/BagFormat.h"
#include "dmi/DmiPath.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> file(data, data + size);  // exact size: a read past the end is caught
    // The header check on the file's own bytes too: the report hands it a
    // 16-byte copy, which would hide a read past the bytes it was given.
    bag::Header h;
    bag::ParseHeader(file.data(), size < bag::kHeaderSize ? size : bag::kHeaderSize, kDmiSignature, h);
    RenderJson(DecodeBagFile(file.data(), size, kDmiSignature).fields);
    return 0;
}
