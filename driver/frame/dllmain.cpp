// The DLL's entry point; the logic lives in DriverDllMain.
#include "frame/module.h"

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) { return DriverDllMain(module, reason, reserved); }
