// Child program of the unload tests. It runs from a folder of its own whose
// KMZSYS32.DLL is the system information library's test double, loads
// SING32.DLL (which binds the double), then either frees the library and
// exits ("free") or exits with the library still loaded ("exit").
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 2 || (std::strcmp(argv[1], "free") != 0 && std::strcmp(argv[1], "exit") != 0)) {
        std::printf("usage: sing_unload_child free|exit\n");
        return 2;
    }
    HMODULE sing = LoadLibraryA("SING32.DLL");
    if (sing == nullptr) {
        std::printf("SING32.DLL not loaded: %lu\n", GetLastError());
        return 1;
    }
    if (GetModuleHandleA("KMZSYS32.DLL") == nullptr) {
        std::printf("KMZSYS32.DLL not bound\n");
        return 1;
    }
    if (std::strcmp(argv[1], "free") == 0 && !FreeLibrary(sing)) {
        std::printf("FreeLibrary failed: %lu\n", GetLastError());
        return 1;
    }
    std::printf("done\n");
    std::fflush(stdout);
    return 0;
}
