#include <windows.h>

extern "C" {
HINSTANCE g_hinst;
float g_dllversion = 1.41f;
}

BOOL WINAPI DllMain(HINSTANCE inst, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_hinst = inst;
    return TRUE;
}
