// Second process of the DMI tests: opens argv[1] as a DMI bag file, read-only
// when argv[2] is "ro", and exits with 1 when it opened, 0 when refused.
#include <cstring>

#include "dmi/BagFile.h"
#include "dmi/DmiPath.h"

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    BagFile f(argv[1], 0, kDmiSignature, kDmiEntriesPerBlock, std::strcmp(argv[2], "ro") == 0, 1);
    return static_cast<int>(f.IsOpen());
}
