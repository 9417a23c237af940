// The allocation functions of each DLL we ship. The C++ runtime's own
// `new (std::nothrow)` calls its throwing operator new inside a try block,
// which would link the exception runtime (throw support, unwinder, the
// terminate handler's name demangler) into modules that throw nothing.
// These answer from the C runtime's heap and report failure as null.
// Module code allocates only with `new (std::nothrow)`: the throwing forms
// are left undefined here, so a use of one shows in the link map, which the
// static checks read.
#include <cstdlib>
#include <new>

void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size != 0 ? size : 1); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size != 0 ? size : 1); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
