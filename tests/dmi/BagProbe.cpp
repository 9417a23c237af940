// Helper program for the DMI tests, run as a second process.
//   sing_bag_probe open PATH   opens PATH as a DMI bag file; exit code 1 when
//                              it opened, 0 when refused
//   sing_bag_probe path        builds the DMI database handle in the current
//                              folder and prints the bag file's name
#include <cstdio>
#include <cstring>

#include "dmi/BagFile.h"
#include "dmi/DmiDatabase.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "open") == 0) {
        BagFile f(argv[2], 0, kDmiSignature, kDmiEntriesPerBlock, 0, 1);
        std::printf("%s\n", bag::Describe(f.LastStatus()));
        return static_cast<int>(f.IsOpen());
    }
    if (argc == 2 && std::strcmp(argv[1], "path") == 0) {
        DmiDatabase db(kDmiBagFileName, kDmiSignature, 0);
        std::printf("%s\n", db.Path());
        return db.GetBagFile() != nullptr && db.GetBagFile()->IsOpen() ? 1 : 0;
    }
    return 2;
}
