// Frame-internal state of the module entry, the thunk services and the DCI
// manager binding.
#pragma once
#include "frame/services.h"
#include "frame/dci.h"

// Data in this section is one copy for every process that loads the module.
#define DEV_SHARED __attribute__((section(".vxnshr"), shared))

extern "C" {
extern uint32_t g_attachCount;  // system-wide
extern HMODULE g_driverModule;  // per process
extern HMODULE g_kernel32;
extern FARPROC g_utRegister;
extern FARPROC g_utUnRegister;
extern DevThunkEntry g_thunk;  // 0: no thunk, every service returns 0
extern HMODULE g_dciManager;   // dciman32.dll while bound
extern HDC g_dciProvider;
extern DciSurfaceInfo* g_dciPrimary;

// The manager's ten entry points, in the order of their names; bound only
// while the manager is in use (all ten found, provider open).
struct DevDciEntries {
    DciOpenProviderProc openProvider;
    DciCloseProviderProc closeProvider;
    DciCreatePrimaryProc createPrimary;
    DciDestroyProc destroy;
    DciBeginAccessProc beginAccess;
    DciEndAccessProc endAccess;
    WinWatchOpenProc watchOpen;
    WinWatchCloseProc watchClose;
    WinWatchDidStatusChangeProc watchChanged;
    WinWatchGetClipListProc watchClipList;
};
extern DevDciEntries g_dciEntries;

BOOL WINAPI DriverDllMain(HINSTANCE module, DWORD reason, LPVOID reserved);
uint32_t ThunkInitialize(void);
uint32_t ThunkTerminate(void);

// The run-time library's start-up step of the first attach; replaceable so
// that a failing start-up can be exercised.
typedef BOOL (*DevRuntimeInitHook)(HINSTANCE, DWORD, LPVOID);
DevRuntimeInitHook DevSetRuntimeInit(DevRuntimeInitHook hook);
}
