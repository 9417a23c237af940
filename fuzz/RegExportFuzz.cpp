// Fuzzes the registry export reader over arbitrary bytes, both formats (a
// leading 0xFF 0xFE selects UTF-16), then the control-set mapping over what
// was read. Every refusal must name the file.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "client/RegExport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<regexport::Export> exports(1);
    std::string error;
    if (!regexport::Parse("f.reg", data, size, exports[0], error))
        return error.compare(0, 5, "f.reg") == 0 ? 0 : (std::abort(), 0);
    regexport::MapCurrentControlSet(exports);
    for (const regexport::Key& k : exports[0].keys)
        for (const regexport::Value& v : k.values)
            if (v.data.size() > regexport::kMaxValueBytes || v.type > 0xB)
                std::abort();
    return 0;
}
