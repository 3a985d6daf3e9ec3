// Where the module runs and who it is: the platform id, read by the entry
// and by the thunk and DCI services, and this process's module handle.
#include "frame/module.h"

extern "C" {
uint16_t g_platformId DEV_SHARED = 0;
HMODULE g_driverModule;

uint16_t GetPlatformId(void) {
    DWORD v = DevGetVersionWord();
    if (!(v & 0x80000000u)) return DEV_PLATFORM_NT;
    uint32_t major = v & 0xff, minor = (v >> 8) & 0xff;
    return (major * 256 + minor >= 0x400) ? DEV_PLATFORM_WIN95 : DEV_PLATFORM_WIN32S;
}

}  // extern "C"
