// Run-time binding of the DCI manager and the wrappers the driver calls.
// Nothing is called through an entry point unless all ten bound and the
// provider opened: some managers bind every name but abort on any call.
#include "frame/dci.h"
#include "frame/module.h"

#include <string.h>

extern "C" {
HMODULE g_dciManager;
HDC g_dciProvider;
DciSurfaceInfo* g_dciPrimary;
DevDciEntries g_dciEntries;
}

namespace {
const char* const kEntryNames[10] = {"DCIOpenProvider",    "DCICloseProvider", "DCICreatePrimary",
                                     "DCIDestroy",         "DCIBeginAccess",   "DCIEndAccess",
                                     "WinWatchOpen",       "WinWatchClose",    "WinWatchDidStatusChange",
                                     "WinWatchGetClipList"};

// 32-byte header and room for 40 rectangles of four i32.
enum { REGION_BYTES = 672, REGION_RECTS = 40 };
static_assert(sizeof(RGNDATAHEADER) + REGION_RECTS * sizeof(RECT) == REGION_BYTES, "");
}  // namespace

extern "C" {

uint32_t DevDciLoadManager(void) {
    HMODULE lib = LoadLibraryA("dciman32.dll");
    if (reinterpret_cast<uintptr_t>(lib) < 32) return 0;
    FARPROC found[10];
    for (int i = 0; i < 10; ++i) {
        found[i] = GetProcAddress(lib, kEntryNames[i]);
        if (!found[i]) {
            FreeLibrary(lib);
            return 0;
        }
    }
    DevDciEntries e;
    static_assert(sizeof e == sizeof found, "");
    memcpy(&e, found, sizeof e);
    HDC provider = e.openProvider();
    if (!provider) {
        FreeLibrary(lib);
        return 0;
    }
    g_dciManager = lib;
    g_dciProvider = provider;
    g_dciEntries = e;
    return 1;
}

uint32_t DevDciCreateSurface(void) {
    if (!g_dciEntries.createPrimary) return 0;
    DciSurfaceInfo* surface = nullptr;
    int rc = g_dciEntries.createPrimary(g_dciProvider, &surface);
    if ((rc & 0xffff) != 0 || !surface) {
        // Never leave an earlier surface here for a caller to adopt.
        g_dciPrimary = nullptr;
        return 0;
    }
    g_dciPrimary = surface;
    if (surface->dwDCICaps & DCI_CAPS_1632_ACCESS) return 0;
    if (surface->wSelSurface != 0) return 0;
    return surface->dwOffSurface;
}

uint32_t DevDciDestroySurface(DciSurfaceInfo* surface) {
    if (surface && g_dciEntries.destroy) g_dciEntries.destroy(surface);
    if (surface == g_dciPrimary) g_dciPrimary = nullptr;
    return 1;
}

DciSurfaceInfo* DevDciGetSurface(void) { return g_dciPrimary; }

int32_t DevDciBeginAccess(DciSurfaceInfo* surface, int32_t x, int32_t y, int32_t dx, int32_t dy) {
    if (!surface || !g_dciEntries.beginAccess) return DCI_RESULT_FAIL_GENERIC;
    return g_dciEntries.beginAccess(surface, x, y, dx, dy);
}

uint32_t DevDciEndAccess(DciSurfaceInfo* surface) {
    if (surface && g_dciEntries.endAccess) g_dciEntries.endAccess(surface);
    return 1;
}

HANDLE DevWinWatchOpen(HWND window) {
    if (!g_dciEntries.watchOpen) return nullptr;
    return g_dciEntries.watchOpen(window);
}

uint32_t DevWinWatchClose(HANDLE watch) {
    if (watch && g_dciEntries.watchClose) g_dciEntries.watchClose(watch);
    return 1;
}

uint32_t DevWinWatchChanged(HANDLE watch) {
    if (!watch || !g_dciEntries.watchChanged) return 0;
    return g_dciEntries.watchChanged(watch) == 1 ? 1 : 0;
}

int32_t DevWinWatchGetRects(HANDLE watch, HWND window, uint32_t topLeft, uint32_t bottomRight, DevRect16* out) {
    if (!watch || !out || !g_dciEntries.watchClipList) return 0;
    int32_t x0 = static_cast<int16_t>(topLeft & 0xffff);
    int32_t y0 = static_cast<int16_t>(topLeft >> 16);
    int32_t x1 = static_cast<int16_t>(bottomRight & 0xffff);
    int32_t y1 = static_cast<int16_t>(bottomRight >> 16);
    RECT query = {0, 0, x1 - x0, y1 - y0};

    union {
        uint8_t bytes[REGION_BYTES];
        RGNDATAHEADER header;
    } region;
    // A provider may write nothing (failure, or a region too large for the
    // buffer): start from an empty region.
    memset(region.bytes, 0, sizeof region.bytes);
    UINT rc = g_dciEntries.watchClipList(watch, &query, REGION_BYTES, reinterpret_cast<RGNDATA*>(region.bytes));
    if (rc == 0) return 0;

    int32_t n = static_cast<int16_t>(region.header.nCount & 0xffff);
    if (n <= 0) return 0;
    if (n > REGION_RECTS) n = REGION_RECTS;

    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    const uint8_t* rects = region.bytes + sizeof(RGNDATAHEADER);
    for (int32_t i = 0; i < n; ++i) {
        RECT r;
        memcpy(&r, rects + i * sizeof(RECT), sizeof r);
        out[i].x0 = static_cast<int16_t>(r.left - origin.x);
        out[i].y0 = static_cast<int16_t>(r.top - origin.y);
        out[i].x1 = static_cast<int16_t>(r.right - origin.x);
        out[i].y1 = static_cast<int16_t>(r.bottom - origin.y);
    }
    return n;
}

HWND GetWindowFromDC(HDC hdc) {
    HMODULE user = LoadLibraryA("user32.dll");
    if (!user) return nullptr;
    typedef HWND(WINAPI * WindowFromDCProc)(HDC);
    WindowFromDCProc fn = reinterpret_cast<WindowFromDCProc>(GetProcAddress(user, "WindowFromDC"));
    HWND w = fn ? fn(hdc) : nullptr;
    FreeLibrary(user);
    return w;
}

}  // extern "C"
