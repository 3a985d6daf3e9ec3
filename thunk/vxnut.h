// VXNUT.EXE: gives the 16-bit system library a 32-bit callback through the
// Win32s universal thunk, and a hidden window whose handle it returns.
#pragma once
#include <windows.h>

// The universal-thunk entry points of Kernel32.dll (Win32s only).
typedef DWORD(WINAPI* Ut32Proc)(LPVOID buffer, DWORD userValue, LPVOID* translation);
typedef BOOL(WINAPI* UtRegisterProc)(HANDLE module, LPSTR dll16, LPSTR initName, LPSTR procName, Ut32Proc* thunk32,
                                     FARPROC callback, LPVOID buffer);
typedef VOID(WINAPI* UtUnRegisterProc)(HANDLE module);

// The two entry points as the program binds them. Tests give their own.
struct UtEntryPoints {
    UtRegisterProc utRegister;
    UtUnRegisterProc utUnRegister;
};

extern "C" {
extern const char* g_libraryName;
extern HINSTANCE g_instance;
extern HMODULE g_kernel32;
extern UtRegisterProc g_utRegister;
extern UtUnRegisterProc g_utUnRegister;
extern Ut32Proc g_thunk32;
extern HMODULE g_library;
extern HWND g_thunkWindow;
}

// With fakes non-null, the entry points are taken from them instead of
// Kernel32.dll (which is still loaded and freed); null binds the real ones.
void ThunkSeamEntryPoints(const UtEntryPoints* fakes);

// WinMain's work: registers, runs the hidden window until WM_CLOSE, returns 0.
int ThunkMain(HINSTANCE instance, const char* libraryName);

// Pumps the thread's messages (filter: the window, null for all) until the
// quit message or an error.
void ThunkMessageLoop(HWND filter);

LRESULT CALLBACK ThunkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
DWORD WINAPI Ut32Callback(DWORD buffer, DWORD userValue);
