// Child program of the unload tests. It runs from a folder of its own whose
// KMZSYS32.DLL is the system information library's test double, loads
// SING32.DLL (which binds the double), then either frees the library and
// exits ("free") or exits with the library still loaded ("exit").
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    const bool free = argc == 2 && std::strcmp(argv[1], "free") == 0;
    if (argc != 2 || (!free && std::strcmp(argv[1], "exit") != 0))
        return std::printf("usage: sing_unload_child free|exit\n"), 2;
    HMODULE sing = LoadLibraryA("SING32.DLL");
    if (sing == nullptr || GetModuleHandleA("KMZSYS32.DLL") == nullptr || (free && !FreeLibrary(sing)))
        return std::printf("SING32.DLL %p, KMZSYS32.DLL not bound or not freed: %lu\n", (void*)sing, GetLastError()), 1;
    std::printf("done\n");
    std::fflush(stdout);
    return 0;
}
