// Frame-internal state of the module entry and thunk services.
#pragma once
#include "frame/services.h"

// Data in this section is one copy for every process that loads the module.
#define DEV_SHARED __attribute__((section(".vxnshr"), shared))

extern "C" {
extern uint32_t g_attachCount;      // system-wide
extern HMODULE g_driverModule;      // per process
extern HMODULE g_kernel32;
extern FARPROC g_utRegister;
extern FARPROC g_utUnRegister;
extern DevThunkEntry g_thunk;       // 0: no thunk, every service returns 0
extern HMODULE g_dciManager;        // dciman32.dll while bound
extern HDC g_dciProvider;
extern DciSurfaceInfo* g_dciPrimary;

BOOL WINAPI DriverDllMain(HINSTANCE module, DWORD reason, LPVOID reserved);
uint32_t ThunkInitialize(void);
uint32_t ThunkTerminate(void);

// Closes the DCI provider and releases the manager library, if bound.
void DevDciRelease(void);

// The run-time library's start-up step of the first attach; replaceable so
// that a failing start-up can be exercised.
typedef BOOL (*DevRuntimeInitHook)(HINSTANCE, DWORD, LPVOID);
DevRuntimeInitHook DevSetRuntimeInit(DevRuntimeInitHook hook);
}
