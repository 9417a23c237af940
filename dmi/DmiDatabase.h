// The DMI database handle that SING_FillDMIInfo hands to a gatherer for one
// call: it works out where the DMI bag file lives and holds it open (or
// creates it when absent) until it is destroyed.
#pragma once
#include <cstdint>
#include <memory>

#include "dmi/BagFile.h"
#include "dmi/DmiPath.h"

class DmiDatabase {
public:
    DmiDatabase(const char* fileName, uint32_t signature, uint32_t readOnly);
    ~DmiDatabase() = default;
    DmiDatabase(const DmiDatabase&) = delete;
    DmiDatabase& operator=(const DmiDatabase&) = delete;

    // The bag file's full name; empty when it would not fit 255 characters
    // (then no bag file is opened).
    const char* Path() const { return path; }
    DmiPathSource PathSource() const { return pathSource; }
    // Null when the name did not fit or the allocation failed.
    BagFile* GetBagFile() const { return bagFile.get(); }

private:
    std::unique_ptr<BagFile> bagFile;
    char path[kDmiPathRoom] = {};
    uint32_t signature;
    DmiPathSource pathSource = DmiPathSource::None;
};
