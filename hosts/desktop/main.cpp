// vistarodesk: the engine's turning cube in an ordinary window with a menu.
#include <windows.h>

#include "resource.h"
#include "vistaro.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    static const char kClass[] = "3-D Vistaro Desktop Window Class!!!!";
    g_animate = 0;
    g_beScreenSaving = 0;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowFunc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kClass;
    if (!RegisterClassA(&wc)) return 0;
    if (FindWindowA(kClass, nullptr)) {
        MessageBoxA(nullptr, "3-D Vistaro is already running!", "Only 1 3-D Vistaro at a time, please.", MB_OK);
        return 0;
    }
    HWND window = CreateWindowExA(0, kClass, "3-D Vistaro", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (!window) return 0;
    SetMenu(window, LoadMenuA(g_hinst, MAKEINTRESOURCEA(IDM_DESKTOP_MENU)));
    ShowWindow(window, show);
    UpdateWindow(window);
    g_animate = 1;
    MSG msg;
    for (;;) {
        if (g_animate) AnimateScreen();
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) continue;
        if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
