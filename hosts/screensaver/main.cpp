// 3-D Vistaro Screensaver: reads the command line and runs the engine full
// screen, as the display settings' preview, for a password change, or its
// settings dialog.
#include <windows.h>

#include "mode.h"
#include "vistaro.h"

namespace {

const char kClass[] = "3-D Vistaro Window Class!!!!";
const char kDesktopClass[] = "3-D Vistaro Desktop Window Class!!!!";

void SetSaverRunning(BOOL running) {
    BOOL old;
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, running, &old, 0);
}

ATOM RegisterSaverClass(WNDPROC proc, HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kClass;
    return RegisterClassA(&wc);
}

HWND HandleOrNull(const ModeChoice& c) {
    HWND w = reinterpret_cast<HWND>(static_cast<INT_PTR>(c.handle));
    return c.haveHandle && IsWindow(w) ? w : nullptr;
}

int FullScreen(HINSTANCE instance, int show) {
    g_bePreviewing = 0;
    if (!RegisterSaverClass(WindowFunc, instance)) return 0;
    if (HWND viewer = FindWindowA(kDesktopClass, nullptr)) CloseWindow(viewer);
    // Another saver is running; it clears the flag when it ends.
    if (FindWindowExA(nullptr, nullptr, kClass, nullptr)) return 0;
    // The engine ends the process inside WM_CREATE when its set-up fails, so
    // the running flag is raised only once the window exists: it must not
    // outlive such a process.
    HWND window = CreateWindowExA(0, kClass, "", WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                  GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr);
    if (!window) return 0;
    SetSaverRunning(TRUE);
    ShowCursor(FALSE);
    ShowWindow(window, show);
    SetForegroundWindow(window);
    UpdateWindow(window);
    MSG msg;
    for (;;) {
        if (g_animate) AnimateScreen();
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) continue;
        if (msg.message == WM_QUIT) break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    SetSaverRunning(FALSE);
    return static_cast<int>(msg.wParam);
}

int Preview(const ModeChoice& choice, int show) {
    g_bePreviewing = 1;
    HWND parent = HandleOrNull(choice);
    if (!parent) {
        MessageBoxA(nullptr, "Can't form a preview window", "Error", MB_OK);
        return 0;
    }
    RECT r;
    GetWindowRect(parent, &r);
    if (!RegisterSaverClass(PreviewWindowFunc, g_hinst)) return 0;
    HWND window = CreateWindowExA(WS_EX_TOPMOST, kClass, "", WS_CHILD | WS_VISIBLE, 0, 0, r.right - r.left,
                                  r.bottom - r.top, parent, nullptr, g_hinst, nullptr);
    if (!window) return 0;
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG msg = {};
    while (GetMessageA(&msg, nullptr, 0, 0) == 1) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int ChangePassword(const ModeChoice& choice) {
    g_bePreviewing = 0;
    HWND owner = HandleOrNull(choice);
    if (!owner) owner = GetForegroundWindow();
    HMODULE mpr = LoadLibraryA("MPR.DLL");
    if (!mpr) {
        MessageBoxA(owner, "Password change failure: MPR.DLL not found", "ERROR", MB_OK);
        return 0;
    }
    using ChangeFn = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);
    auto change = reinterpret_cast<ChangeFn>(GetProcAddress(mpr, "PwdChangePasswordA"));
    if (!change) {
        MessageBoxA(owner, "Password change failure: PwdChangePassword() not found", "ERROR", MB_OK);
        FreeLibrary(mpr);
        return 0;
    }
    // The service shows its own dialog and reports its own failures.
    change("SCRSAVE", owner, 0, nullptr);
    FreeLibrary(mpr);
    return 0;
}

int Settings() {
    g_bePreviewing = 0;
    DialogBoxParamA(g_hinst, "DIALOG_1", GetActiveWindow(), reinterpret_cast<DLGPROC>(DConfigFunc), 0);
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    g_beScreenSaving = 1;
    g_animate = 0;
    ModeChoice choice = ChooseMode(commandLine);
    switch (choice.mode) {
    case SaverMode::FullScreen: return FullScreen(instance, show);
    case SaverMode::Preview: return Preview(choice, show);
    case SaverMode::ChangePassword: return ChangePassword(choice);
    case SaverMode::Settings: break;
    }
    return Settings();
}
