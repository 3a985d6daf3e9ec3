// The stand-in provider's control calls, reached by name in the dciman32.dll
// this process loaded (the one the driver binds).
#include "dcistandin.h"

namespace {
FARPROC Entry(const char* name)
{
    HMODULE m = LoadLibraryA("dciman32.dll");
    FARPROC p = m ? GetProcAddress(m, name) : nullptr;
    if (!p) {
        ExitProcess(3);  // the stand-in is not the dciman32.dll in use
    }
    return p;
}
template <typename F>
F Get(const char* name)
{
    return reinterpret_cast<F>(Entry(name));
}
}  // namespace

extern "C" {
void WINAPI DciStandInConfigure(const DciStandInConfig* config)
{
    static auto fn = Get<void(WINAPI*)(const DciStandInConfig*)>("DciStandInConfigure");
    fn(config);
}
void WINAPI DciStandInGetCounters(DciStandInCounters* out)
{
    static auto fn = Get<void(WINAPI*)(DciStandInCounters*)>("DciStandInGetCounters");
    fn(out);
}
void WINAPI DciStandInScriptStatus(const int* values, int count)
{
    static auto fn = Get<void(WINAPI*)(const int*, int)>("DciStandInScriptStatus");
    fn(values, count);
}
void WINAPI DciStandInSetClipList(const RECT* rects, int count, int reportedCount)
{
    static auto fn = Get<void(WINAPI*)(const RECT*, int, int)>("DciStandInSetClipList");
    fn(rects, count, reportedCount);
}
BYTE* WINAPI DciStandInSurfaceMemory(void)
{
    static auto fn = Get<BYTE*(WINAPI*)(void)>("DciStandInSurfaceMemory");
    return fn();
}
}
