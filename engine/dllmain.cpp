#include <windows.h>
#include <stdlib.h>
#include "settings.h"
#include "vistaro.h"

extern "C" {
int g_animate;
int g_bePreviewing;
int g_beScreenSaving;
HINSTANCE g_hinst;
float g_dllversion = 1.41f;
}

// The library's one static initialiser: runs during the attach, before
// DllMain. It lives here, not in settings.cpp, so that test programs built
// from the engine's sources do not read the registry at start-up.
static struct EngineStaticInit {
    EngineStaticInit() {
        LoadInstallPaths();
        atexit(FreeInstallPaths);
    }
} s_engineStaticInit;

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_hinst = module;
    return TRUE;
}
