// Child program for the version tests: prints what the support library says
// about the Windows family this process runs on: IsWinNT, then IsWinNT5.
#include <cstdio>

#include "kmzipc32.h"

int main() {
    std::printf("%u %u\n", IsWinNT(), IsWinNT5());
    return 0;
}
