#include "vxnut.h"

extern "C" {
const char* g_libraryName;
HINSTANCE g_instance;
HMODULE g_kernel32;
UtRegisterProc g_utRegister;
UtUnRegisterProc g_utUnRegister;
Ut32Proc g_thunk32;
HMODULE g_library;
HWND g_thunkWindow;
}

namespace {

const char kClassName[] = "UT16To32";
const UtEntryPoints* s_fakes;

void BindEntryPoints() {
    g_kernel32 = LoadLibraryA("Kernel32.dll");
    if (s_fakes) {
        g_utRegister = s_fakes->utRegister;
        g_utUnRegister = s_fakes->utUnRegister;
    } else if (g_kernel32) {
        g_utRegister = reinterpret_cast<UtRegisterProc>(GetProcAddress(g_kernel32, "UTRegister"));
        g_utUnRegister = reinterpret_cast<UtUnRegisterProc>(GetProcAddress(g_kernel32, "UTUnRegister"));
    }
}

// Once only, however often it is asked: a second WM_CLOSE must not
// unregister again or drop a reference on Kernel32.dll it does not hold.
void Unregister() {
    if (g_instance && g_utUnRegister) g_utUnRegister(g_instance);
    g_instance = nullptr;
    if (g_kernel32) FreeLibrary(g_kernel32);
    g_kernel32 = nullptr;
    g_utRegister = nullptr;
    g_utUnRegister = nullptr;
}

LRESULT OnCreate(HWND window) {
    // No argument: nothing to load.
    if (g_libraryName) g_library = LoadLibraryA(g_libraryName);
    g_thunkWindow = window;
    return 0;
}

LRESULT OnClose() {
    Unregister();
    PostQuitMessage(0);
    return 0;
}

}  // namespace

void ThunkSeamEntryPoints(const UtEntryPoints* fakes) { s_fakes = fakes; }

LRESULT CALLBACK ThunkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_CLOSE: return OnClose();
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

DWORD WINAPI Ut32Callback(DWORD buffer, DWORD userValue) {
    return static_cast<DWORD>(reinterpret_cast<UINT_PTR>(g_thunkWindow));
}

void ThunkMessageLoop(HWND filter) {
    MSG msg;
    // -1 is an error, not a message: it ends the loop too.
    while (GetMessageA(&msg, filter, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

int ThunkMain(HINSTANCE instance, const char* libraryName) {
    g_libraryName = libraryName;
    g_instance = instance;
    BindEntryPoints();
    if (!g_utRegister || !g_utUnRegister) {
        g_utRegister = nullptr;
        g_utUnRegister = nullptr;
        return 0;
    }
    if (!g_utRegister(g_instance, const_cast<LPSTR>("VXNSYS.DLL"), const_cast<LPSTR>("UT16InitUT16To32"), nullptr,
                      &g_thunk32, reinterpret_cast<FARPROC>(Ut32Callback), nullptr))
        return 0;

    WNDCLASSA wc = {};
    wc.lpfnWndProc = ThunkWindowProc;
    wc.hInstance = g_instance;
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);
    // Its WM_CREATE runs inside this call. The window is never shown.
    if (!CreateWindowExA(0, kClassName, nullptr, 0, 0, 0, 0, 0, nullptr, nullptr, g_instance, nullptr)) {
        // Nothing could ever send the WM_CLOSE that ends the program.
        Unregister();
        return 0;
    }
    ThunkMessageLoop(nullptr);
    return 0;
}
