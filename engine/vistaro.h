// The engine-host interface: what vistaro.dll exports to the host programs.
// Hosts compile with VISTARO_IMPORTS defined (the variables then come through
// the import table); the engine and tests that compile engine sources do not.
#pragma once
#include <windows.h>

#ifdef VISTARO_IMPORTS
#define VISTARO_DATA __declspec(dllimport)
#else
#define VISTARO_DATA
#endif

extern "C" {
VISTARO_DATA extern int g_animate;         // the host's loop calls AnimateScreen while non-zero
VISTARO_DATA extern int g_bePreviewing;    // preview window mode
VISTARO_DATA extern int g_beScreenSaving;  // full-screen saver mode
VISTARO_DATA extern HINSTANCE g_hinst;     // the library's module: dialogs, menu, bitmaps
VISTARO_DATA extern float g_dllversion;    // 1.41

void __cdecl AnimateScreen(void);
LRESULT CALLBACK WindowFunc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK PreviewWindowFunc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DConfigFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
}
