// A stand-in for SING32.DLL with one gatherer that leaks on purpose, so that
// a test can show the soak notices: SING_FIXTURE_LEAK=handle leaks an event
// handle per Update, =memory leaks 1 KB per Update; unset, nothing leaks.
#include <windows.h>

#include <cstdint>
#include <cstring>

namespace {

enum class Leak { None, Handle, Memory };

Leak Mode() {
    char v[16] = {};
    GetEnvironmentVariableA("SING_FIXTURE_LEAK", v, sizeof v);
    if (std::strcmp(v, "handle") == 0) return Leak::Handle;
    if (std::strcmp(v, "memory") == 0) return Leak::Memory;
    return Leak::None;
}

constexpr uint32_t kPacketId = 0x5EA10001;
constexpr uint32_t kLen = 16;

void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

}  // namespace

#define FIXTURE_API extern "C" __declspec(dllexport) uint32_t __stdcall

FIXTURE_API SING_NumGatherers() { return 1; }
extern "C" __declspec(dllexport) const char* __stdcall SING_Name(uint32_t i) {
    return uint16_t(i) == 0 ? "Leaky" : nullptr;
}
FIXTURE_API SING_GetUniquePacketID(uint32_t i) { return uint16_t(i) == 0 ? kPacketId : 0; }
FIXTURE_API SING_Init(uint32_t i) { return uint16_t(i) == 0; }
FIXTURE_API SING_Close(uint32_t i) { return uint16_t(i) == 0; }
FIXTURE_API SING_Update(uint32_t i, void*, uint32_t) {
    if (uint16_t(i) != 0) return 0;
    // Read on every call: a function-local static would itself leak the
    // runtime's guard handles on each load/unload.
    Leak mode = Mode();
    if (mode == Leak::Handle)
        CreateEventA(nullptr, TRUE, FALSE, nullptr);
    else if (mode == Leak::Memory)
        std::memset(HeapAlloc(GetProcessHeap(), 0, 1024), 1, 1024);
    return 1;
}
FIXTURE_API SING_GetDataBufLen(uint32_t i, void* p, uint32_t) { return uint16_t(i) == 0 && !p ? kLen : 0; }
FIXTURE_API SING_FillDataBuf(uint32_t i, uint8_t* buf, void* p, uint32_t) {
    if (uint16_t(i) != 0 || p) return 0;
    Put32(buf, kLen);
    Put32(buf + 4, kPacketId);
    Put32(buf + 8, 1);
    Put32(buf + 12, 0);
    return 1;
}
FIXTURE_API SING_FillDMIInfo(uint32_t i, uint32_t, uint32_t, uint32_t) { return uint16_t(i) == 0; }
