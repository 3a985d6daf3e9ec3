// Universal-thunk registration and the numbered services of the 16-bit
// system library, with the Windows 95 counterparts in the DCI binding.
#include "frame/module.h"

extern "C" {
HMODULE g_kernel32;
FARPROC g_utRegister;
FARPROC g_utUnRegister;
}

namespace {
typedef BOOL(WINAPI* UTRegisterProc)(HMODULE, LPSTR, LPSTR, LPSTR, LPVOID*, FARPROC, LPVOID);
typedef VOID(WINAPI* UTUnRegisterProc)(HMODULE);

enum {
    SERVICE_MAP_PHYSICAL = 1,
    SERVICE_GET_BITMAP = 3,
    SERVICE_DCI_OPEN = 16,
    SERVICE_DCI_CLOSE = 17,
    SERVICE_DCI_PRIMARY = 18,
    SERVICE_DISPLAY_DEPTH = 24
};

uint32_t CallThunk(void* args, DWORD service, void** translate) {
    if (!g_thunk) return 0;
    return g_thunk(args, service, translate);
}
}  // namespace

extern "C" {

uint32_t ThunkInitialize(void) {
    g_platformId = GetPlatformId();
    if (g_platformId == DEV_PLATFORM_WIN95) return 1;
    if (g_platformId == DEV_PLATFORM_NT) return 0;

    DWORD v = DevGetVersionWord();
    if ((v & 0xff) < 3) return 0;
    if ((v >> 24) != 0x80) return 1;

    g_kernel32 = LoadLibraryA("Kernel32.dll");
    if (g_kernel32) {
        g_utRegister = GetProcAddress(g_kernel32, "UTRegister");
        g_utUnRegister = GetProcAddress(g_kernel32, "UTUnRegister");
    }
    if (!g_utRegister || !g_utUnRegister) {
        g_utRegister = g_utUnRegister = nullptr;
        return 0;
    }
    LPVOID entry = nullptr;
    BOOL ok = reinterpret_cast<UTRegisterProc>(g_utRegister)(g_driverModule, const_cast<LPSTR>("VXNSYS.DLL"), nullptr,
                                                             const_cast<LPSTR>("vnrsysut"), &entry, nullptr, nullptr);
    if (!ok) {
        g_thunk = nullptr;
        return 0;
    }
    g_thunk = reinterpret_cast<DevThunkEntry>(entry);
    return 1;
}

uint32_t ThunkTerminate(void) {
    if (g_utUnRegister) {
        reinterpret_cast<UTUnRegisterProc>(g_utUnRegister)(g_driverModule);
        g_thunk = nullptr;  // the entry died with the registration
    }
    if (g_kernel32) FreeLibrary(g_kernel32);
    g_kernel32 = nullptr;
    g_utRegister = g_utUnRegister = nullptr;
    return 1;
}

uint32_t ThunkMapPhysical(uint32_t base, uint32_t size) {
    DWORD args[2] = {base, size};
    void* translate[1] = {nullptr};
    return CallThunk(args, SERVICE_MAP_PHYSICAL, translate);
}

uint32_t ThunkGetBitmap(uint32_t bitmap, uint32_t size, void* record) {
    DWORD args[3] = {bitmap, size, static_cast<DWORD>(reinterpret_cast<uintptr_t>(record))};
    void* translate[2] = {&args[2], nullptr};
    return CallThunk(args, SERVICE_GET_BITMAP, translate);
}

uint32_t ThunkGetDisplayDepth(uint32_t what) {
    DWORD args[1] = {what};
    return CallThunk(args, SERVICE_DISPLAY_DEPTH, nullptr);
}

uint32_t DevDciOpen(void) {
    if (g_platformId == DEV_PLATFORM_WIN95) return DevDciLoadManager();
    return CallThunk(nullptr, SERVICE_DCI_OPEN, nullptr);
}

uint32_t DevDciClose(void) {
    if (g_platformId == DEV_PLATFORM_WIN95) return 1;
    return CallThunk(nullptr, SERVICE_DCI_CLOSE, nullptr);
}

uint32_t DevDciPrimaryAddress(void) {
    if (g_platformId == DEV_PLATFORM_WIN95) return DevDciCreateSurface();
    return CallThunk(nullptr, SERVICE_DCI_PRIMARY, nullptr);
}

}  // extern "C"
