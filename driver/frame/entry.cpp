// Module entry: the system-wide attach count, the run-time start-up and
// the thunk services' lifetime.
#include "frame/module.h"

extern "C" {
uint32_t g_attachCount DEV_SHARED = 0;
}

namespace {
// This process's successful attaches; a detach that follows a failed
// attach must not count.
uint32_t s_processAttaches;

BOOL DefaultRuntimeInit(HINSTANCE, DWORD, LPVOID) {
    // The compiler's start-up code has already run before DllMain.
    return TRUE;
}

DevRuntimeInitHook s_runtimeInit = DefaultRuntimeInit;
}  // namespace

extern "C" {

DevRuntimeInitHook DevSetRuntimeInit(DevRuntimeInitHook hook) {
    DevRuntimeInitHook old = s_runtimeInit;
    s_runtimeInit = hook ? hook : DefaultRuntimeInit;
    return old;
}

BOOL WINAPI DriverDllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        if (g_attachCount == 0) {
            if (!s_runtimeInit(module, reason, reserved)) {
                DevMessageBox(nullptr, "Rastrel Driver, CRT_INIT Failed", "FATAL ERROR", MB_ICONHAND);
                return FALSE;
            }
            g_driverModule = module;
            ThunkInitialize();
        } else {
            // Later processes only count; their handle is still their own.
            g_driverModule = module;
        }
        ++g_attachCount;
        ++s_processAttaches;
        return TRUE;
    case DLL_PROCESS_DETACH:
        if (s_processAttaches == 0) return TRUE;
        --s_processAttaches;
        if (g_attachCount > 0 && --g_attachCount == 0) ThunkTerminate();
        return TRUE;
    default: return FALSE;
    }
}

}  // extern "C"
