#include "dmi/DmiDatabase.h"

#include <new>

#include "dmi/DmiLocate.h"

DmiDatabase::DmiDatabase(const char* fileName, uint32_t signature_, uint32_t readOnly) : signature(signature_) {
    pathSource = LocateDmiBagFile(fileName, path);
    if (pathSource == DmiPathSource::None)
        return;
    // Opens the file now, or creates it when absent; the outcome changes
    // nothing for the caller.
    bagFile.reset(new (std::nothrow) BagFile(path, 0, signature, kDmiEntriesPerBlock, readOnly, 1));
}
