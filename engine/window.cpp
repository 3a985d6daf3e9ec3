// Window procedures of the animated window and of the preview window.
#include "window.h"

#include <stdio.h>
#include <stdlib.h>

#include "dialogs.h"
#include "msgbox.h"
#include "pictures.h"
#include "resource.h"
#include "scene.h"
#include "settings.h"
#include "vistaro.h"
#include "vxn32.h"

int g_busy;
int g_mouseThreshold = 10;
POINT g_lastMouse;
time_t g_fpsStart;

namespace {

bool Saving() { return g_beScreenSaving != 0; }

void EraseBackground(HWND window) { SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(g_hdc), 0); }

void RequestClose(HWND window) {
    if (Saving() && !g_busy) PostMessageA(window, WM_CLOSE, 0, 0);
}

LRESULT OnCreate(HWND window) {
    g_busy = 1;
    g_hdc = GetDC(window);
    if (!InitScene(window, g_hdc, &g_settings)) {
        ReleaseDC(window, g_hdc);
        exit(1);
    }
    g_animate = 1;
    g_busy = 0;
    GetCursorPos(&g_lastMouse);
    g_fpsStart = time(nullptr);
    return 0;
}

// The scene and the device context go before the window does; WM_DESTROY
// then ends the host's loop. g_busy stays set.
void CloseSteps(HWND window) {
    WinHelpA(window, g_settings.helpPath, HELP_QUIT, 0);
    FreeScene(&g_rc, &g_gc, &g_settings);
    if (g_hdc) ReleaseDC(window, g_hdc);
    g_hdc = nullptr;
    DestroyWindow(window);
}

void OnClose(HWND window) {
    g_animate = 0;
    g_busy = 1;
    if (Saving() && !VerifyPassword(window)) {
        GetCursorPos(&g_lastMouse);
        g_busy = 0;
        g_animate = 1;
        return;
    }
    CloseSteps(window);
}

void OnMouseMove(HWND window, LPARAM lParam) {
    if (!Saving()) return;
    int x = LOWORD(lParam), y = HIWORD(lParam);
    if (!g_busy && MouseMovedTooFar(g_lastMouse, x, y, g_mouseThreshold)) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        return;
    }
    g_lastMouse.x = x;
    g_lastMouse.y = y;
}

void ReportFramesPerSecond(HWND window) {
    char text[64];
    FramesPerSecondText(g_frameCount, g_fpsStart, time(nullptr), text, sizeof text);
    ShowCursor(TRUE);
    g_messageBox(window, text, "Frames/sec", MB_OK);
    g_frameCount = 0;
    g_fpsStart = time(nullptr);
}

// Releases each distinct owned texture once; no freed handle stays behind.
void ReleaseOwnedTextures() {
    for (int i = 0; i < 7; ++i) {
        int handle = g_settings.ownedTextures[i];
        if (!handle) continue;
        bool seen = false;
        for (int j = 0; j < i; ++j) seen = seen || g_settings.ownedTextures[j] == handle;
        if (!seen) VnrFreeTexture(g_rc, handle);
    }
    for (int i = 0; i < 7; ++i) {
        g_settings.ownedTextures[i] = 0;
        g_settings.faceTextures[i] = 0;
    }
}

void Configure(HWND window) {
    EraseBackground(window);
    DialogBoxParamA(g_hinst, "DIALOG_1", window, reinterpret_cast<DLGPROC>(DConfigFunc), 0);
    LoadSettings(&g_settings);
    g_settings.twinkleCount = ClampTableCount(g_settings.numStars * 4 / 5);
    char caption[96];
    snprintf(caption, sizeof caption, "%s%s", "3-D Vistaro   ", g_settings.title);
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption));
    if (g_settings.picturesChanged) {
        ReleaseOwnedTextures();
        LoadPictureTextures(&g_settings, g_rc, window);
        g_settings.picturesChanged = 0;
    }
    for (int i = 0; i < 24; ++i) g_spinnerVertices[i][2] -= g_settings.spinnerOffset;
    g_settings.spinnerOffset = g_settings.orbiting ? 3.5f : 1.5f;
    for (int i = 0; i < 24; ++i) g_spinnerVertices[i][2] += g_settings.spinnerOffset;
    EraseBackground(window);
    LayoutView(window, g_gc, &g_settings);
}

void OnCommand(HWND window, WORD id) {
    switch (id) {
    case IDM_ABOUT:
        DialogBoxParamA(g_hinst, MAKEINTRESOURCEA(IDD_ABOUT), window, reinterpret_cast<DLGPROC>(AboutDlgFunc), 0);
        break;
    case IDM_CONTENTS: WinHelpA(window, g_settings.helpPath, HELP_CONTENTS, 0); break;
    case IDM_EXIT:
        g_animate = 0;
        WinHelpA(window, g_settings.helpPath, HELP_QUIT, 0);
        SendMessageA(window, WM_CLOSE, 0, 0);
        break;
    case IDM_CONFIGURE: Configure(window); break;
    }
}

void OnSize(HWND window, WPARAM type) {
    if (Saving()) return;
    if (type == SIZE_MINIMIZED) {
        g_animate = 0;
        return;
    }
    EraseBackground(window);
    LayoutView(window, g_gc, &g_settings);
    if (g_gc) g_animate = 1;
}

void PaintPreview(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    HDC mem = CreateCompatibleDC(dc);
    if (!mem) g_messageBox(nullptr, "Unable to create memdc", "ACk", MB_OK);
    HBITMAP bitmap = LoadBitmapA(g_hinst, MAKEINTRESOURCEA(IDB_PREVIEW));
    if (!bitmap) {
        g_messageBox(nullptr, "Unable to load bitmap", "ACk", MB_OK);
        if (mem) DeleteDC(mem);
        EndPaint(window, &ps);
        return;
    }
    if (mem) {
        HGDIOBJ old = SelectObject(mem, bitmap);
        RECT r;
        GetWindowRect(window, &r);
        // The picture's last column is left out.
        StretchBlt(dc, 0, 0, r.right - r.left, r.bottom - r.top, mem, 0, 0, 212, 160, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
    }
    DeleteObject(bitmap);
    EndPaint(window, &ps);
}

}  // namespace

extern "C" LRESULT CALLBACK WindowFunc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
        if (Saving() && !g_busy && wParam == 0) {
            PostMessageA(window, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    case WM_CLOSE: OnClose(window); return 0;
    case WM_ENDSESSION:
        if (wParam) {
            g_animate = 0;
            CloseSteps(window);
        }
        return 0;
    case WM_CHAR:
        if (!Saving() && (wParam & 0xFF) == 20) ReportFramesPerSecond(window);  // Ctrl+T
        RequestClose(window);
        return 0;
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: RequestClose(window); return 0;
    case WM_MOUSEMOVE: OnMouseMove(window, lParam); return 0;
    case WM_SYSCOMMAND:
        if (Saving() && (wParam == SC_CLOSE || wParam == SC_SCREENSAVE)) return 0;
        break;
    case WM_SIZE: OnSize(window, wParam); return 0;
    case WM_COMMAND: OnCommand(window, LOWORD(wParam)); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

extern "C" LRESULT CALLBACK PreviewWindowFunc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_ENDSESSION:
        if (wParam) DestroyWindow(window);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDM_EXIT) SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_PAINT: PaintPreview(window); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
