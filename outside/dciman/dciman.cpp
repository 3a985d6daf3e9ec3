// Stand-in DCI provider: a primary surface in ordinary memory, a scripted
// window watch, failure switches and call counters for tests.
#include "frame/dci.h"
#include "dcistandin.h"
#include "screenmasks.h"

#include <string.h>

namespace {

const HDC kProvider = reinterpret_cast<HDC>(0xD1C0);

struct Surface {
    DciSurfaceInfo info;
    BYTE* block;   // VirtualAlloc'ed pages, the last one a guard page
    BYTE* memory;  // first row; the surface ends at the guard page
    SIZE_T pages;  // bytes before the guard page
    bool alive;
    BYTE* shown;  // display mode: what the screen shows of the surface
};

struct Watch {
    HWND window;
    bool open;
    RECT last;  // display mode: the client area when last asked
    bool asked;
};

enum { kMaxSurfaces = 64, kMaxWatches = 64, kMaxScript = 64, kMaxClip = 128 };

DciStandInConfig g_config = {640, 480, 640 * 2, 16, {0xf800, 0x7e0, 0x1f}, 0, 0, FALSE, 0, 0, FALSE};
DciStandInCounters g_count;
Surface g_surfaces[kMaxSurfaces];
int g_surfaceCount;
Watch g_watches[kMaxWatches];
int g_watchCount;
int g_script[kMaxScript];
int g_scriptLength, g_scriptNext;
RECT g_clip[kMaxClip];
int g_clipCount, g_clipReported;
BYTE* g_lastMemory;
// Until a test configures the provider it stands for the display itself:
// the surface takes the screen's geometry, the watch follows the real
// window, and the end of every access shows what changed on the screen.
bool g_configured;
LONG g_shownPixels;  // pixels copied to the screen in display mode

DWORD ScreenMasks(HDC screen, int bits, DWORD* masks) {
    ScreenColorMasks(screen, bits, masks);
    return bits;
}

void ConfigureFromScreen() {
    HDC screen = GetDC(nullptr);
    int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    g_config.width = GetDeviceCaps(screen, HORZRES);
    g_config.height = GetDeviceCaps(screen, VERTRES);
    g_config.bitCount = ScreenMasks(screen, bits, g_config.masks);
    g_config.stride = (g_config.width * ((bits + 7) / 8) + 3) & ~3;
    ReleaseDC(nullptr, screen);
}

// The client area of a window on the screen.
RECT ClientOnScreen(HWND window) {
    RECT r = {0, 0, 0, 0};
    GetClientRect(window, &r);
    POINT o = {0, 0};
    ClientToScreen(window, &o);
    OffsetRect(&r, o.x, o.y);
    return r;
}

// Copies the rows and columns of the surface that differ from what was
// shown into every watched window they fall in.
void ShowChanges(Surface* s) {
    const DciSurfaceInfo& i = s->info;
    const LONG bpp = static_cast<LONG>(i.dwBitCount + 7) / 8;
    LONG top = -1, bottom = -1, left = static_cast<LONG>(i.dwWidth), right = -1;
    for (LONG y = 0; y < static_cast<LONG>(i.dwHeight); ++y) {
        const BYTE* a = s->memory + y * i.lStride;
        const BYTE* b = s->shown + y * i.lStride;
        if (!memcmp(a, b, i.dwWidth * bpp)) continue;
        if (top < 0) top = y;
        bottom = y;
        LONG x0 = 0, x1 = static_cast<LONG>(i.dwWidth) - 1;
        while (x0 < left && !memcmp(a + x0 * bpp, b + x0 * bpp, bpp)) ++x0;
        while (x1 > right && !memcmp(a + x1 * bpp, b + x1 * bpp, bpp)) --x1;
        if (x0 < left) left = x0;
        if (x1 > right) right = x1;
    }
    if (top < 0) return;
    for (LONG y = top; y <= bottom; ++y)
        memcpy(s->shown + y * i.lStride + left * bpp, s->memory + y * i.lStride + left * bpp, (right - left + 1) * bpp);
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colours[256];
    } bi = {};
    bi.h.biSize = sizeof bi.h;
    bi.h.biWidth = i.lStride / bpp;
    bi.h.biHeight = -static_cast<LONG>(i.dwHeight);
    bi.h.biPlanes = 1;
    bi.h.biBitCount = static_cast<WORD>(i.dwBitCount);
    bi.h.biCompression = i.dwBitCount == 16 ? BI_BITFIELDS : BI_RGB;
    if (i.dwBitCount == 16) memcpy(bi.colours, i.dwMask, sizeof i.dwMask);
    HDC screen = GetDC(nullptr);
    if (i.dwBitCount == 8) {
        // Palette indices: the colours the display's palette holds.
        PALETTEENTRY e[256];
        GetSystemPaletteEntries(screen, 0, 256, e);
        for (int k = 0; k < 256; ++k) bi.colours[k] = RGBQUAD{e[k].peBlue, e[k].peGreen, e[k].peRed, 0};
    }
    ReleaseDC(nullptr, screen);
    RECT changed = {left, top, right + 1, bottom + 1};
    for (int k = 0; k < g_watchCount; ++k) {
        if (!g_watches[k].open) continue;
        HWND w = g_watches[k].window;
        RECT client = ClientOnScreen(w), part;
        if (!IntersectRect(&part, &client, &changed)) continue;
        HDC dc = GetDC(w);
        SetDIBitsToDevice(dc, part.left - client.left, part.top - client.top, part.right - part.left,
                          part.bottom - part.top, part.left, static_cast<LONG>(i.dwHeight) - part.bottom, 0, i.dwHeight,
                          s->memory, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
        ReleaseDC(w, dc);
        g_shownPixels += (part.right - part.left) * (part.bottom - part.top);
    }
    GdiFlush();
}

Surface* FindSurface(DciSurfaceInfo* p) {
    for (int i = 0; i < g_surfaceCount; ++i)
        if (&g_surfaces[i].info == p && g_surfaces[i].alive) return &g_surfaces[i];
    return nullptr;
}

Watch* FindWatch(HANDLE h) {
    for (int i = 0; i < g_watchCount; ++i)
        if (reinterpret_cast<HANDLE>(&g_watches[i]) == h && g_watches[i].open) return &g_watches[i];
    return nullptr;
}

}  // namespace

extern "C" {

HDC WINAPI DCIOpenProvider(void) {
    ++g_count.calls;
    if (g_config.noProvider) return nullptr;
    ++g_count.opens;
    return kProvider;
}

void WINAPI DCICloseProvider(HDC hdc) {
    ++g_count.calls;
    if (hdc == kProvider) ++g_count.closes;
}

int WINAPI DCICreatePrimary(HDC hdc, DciSurfaceInfo** out) {
    ++g_count.calls;
    if (hdc != kProvider || !out) return DCI_RESULT_FAIL_GENERIC;
    if (g_config.createResult != 0) return g_config.createResult;
    if (g_surfaceCount == kMaxSurfaces) return DCI_RESULT_FAIL_GENERIC;
    if (!g_configured) ConfigureFromScreen();

    SIZE_T bytes = static_cast<SIZE_T>(g_config.stride) * g_config.height;
    SIZE_T pages = (bytes + 4095) / 4096 * 4096;
    BYTE* block = static_cast<BYTE*>(VirtualAlloc(nullptr, pages + 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (!block) return DCI_RESULT_FAIL_GENERIC;
    DWORD old;
    VirtualProtect(block + pages, 4096, PAGE_NOACCESS, &old);

    Surface& s = g_surfaces[g_surfaceCount++];
    memset(&s, 0, sizeof s);
    s.block = block;
    s.memory = block + pages - bytes;
    s.pages = pages;
    s.alive = true;
    s.info.dwSize = sizeof s.info;
    s.info.dwDCICaps = g_config.caps;
    s.info.dwCompression = BI_RGB;
    memcpy(s.info.dwMask, g_config.masks, sizeof s.info.dwMask);
    s.info.dwWidth = g_config.width;
    s.info.dwHeight = g_config.height;
    s.info.lStride = g_config.stride;
    s.info.dwBitCount = g_config.bitCount;
    s.info.dwOffSurface = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(s.memory));
    s.info.wSelSurface = g_config.selector;
    g_lastMemory = s.memory;
    if (!g_configured)
        s.shown = static_cast<BYTE*>(VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    *out = &s.info;
    ++g_count.surfacesCreated;
    ++g_count.surfacesAlive;
    return DCI_RESULT_OK;
}

void WINAPI DCIDestroy(DciSurfaceInfo* p) {
    ++g_count.calls;
    Surface* s = FindSurface(p);
    if (!s) {
        ++g_count.badDestroys;
        return;
    }
    // The pages stay reserved but inaccessible: a write through a dead
    // surface faults instead of landing somewhere.
    DWORD old;
    VirtualProtect(s->block, s->pages, PAGE_NOACCESS, &old);
    s->alive = false;
    ++g_count.surfacesDestroyed;
    --g_count.surfacesAlive;
}

int WINAPI DCIBeginAccess(DciSurfaceInfo* p, int x, int y, int dx, int dy) {
    ++g_count.calls;
    ++g_count.begins;
    g_count.lastAccess = {x, y, dx, dy};
    if (!FindSurface(p)) {
        ++g_count.badAccess;
        return DCI_RESULT_FAIL_GENERIC;
    }
    if (g_config.accessResult != 0) return g_config.accessResult;
    ++g_count.beginsGranted;
    ++g_count.accessDepth;
    return DCI_RESULT_OK;
}

void WINAPI DCIEndAccess(DciSurfaceInfo* p) {
    ++g_count.calls;
    ++g_count.ends;
    Surface* s = FindSurface(p);
    if (!s) ++g_count.badAccess;
    if (g_count.accessDepth == 0) {
        ++g_count.unbalancedEnds;
        return;
    }
    --g_count.accessDepth;
    if (s && s->shown && g_count.accessDepth == 0) ShowChanges(s);
}

HANDLE WINAPI WinWatchOpen(HWND window) {
    ++g_count.calls;
    if (g_watchCount == kMaxWatches) return nullptr;
    Watch& w = g_watches[g_watchCount++];
    w.window = window;
    w.open = true;
    g_count.lastWatchWindow = window;
    ++g_count.watchesOpened;
    return reinterpret_cast<HANDLE>(&w);
}

void WINAPI WinWatchClose(HANDLE h) {
    ++g_count.calls;
    Watch* w = FindWatch(h);
    if (!w) {
        ++g_count.badWatchCalls;
        return;
    }
    w->open = false;
    ++g_count.watchesClosed;
}

BOOL WINAPI WinWatchDidStatusChange(HANDLE h) {
    ++g_count.calls;
    ++g_count.statusQueries;
    Watch* w = FindWatch(h);
    if (!w) {
        ++g_count.badWatchCalls;
        return FALSE;
    }
    if (!g_configured) {
        // The first question, and every one after the window moved or changed size.
        RECT now = ClientOnScreen(w->window);
        BOOL changed = !w->asked || !EqualRect(&now, &w->last);
        w->last = now;
        w->asked = true;
        return changed;
    }
    return g_scriptNext < g_scriptLength ? g_script[g_scriptNext++] : 0;
}

UINT WINAPI WinWatchGetClipList(HANDLE h, RECT* query, UINT size, RGNDATA* out) {
    ++g_count.calls;
    ++g_count.clipQueries;
    if (query) g_count.lastClipQuery = *query;
    if (!FindWatch(h)) {
        ++g_count.badWatchCalls;
        return 0;
    }
    if (g_config.clipListFails || !out || size < sizeof(RGNDATAHEADER)) return 0;
    if (!g_configured) {
        // The window's client area on the screen.
        Watch* w = FindWatch(h);
        RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        RECT visible = ClientOnScreen(w->window);
        g_clipCount = IntersectRect(&g_clip[0], &visible, &screen) ? 1 : 0;
        g_clipReported = g_clipCount;
    }
    // Like GetRegionData: a region that does not fit is not written, only
    // its size is returned.
    UINT needed = sizeof(RGNDATAHEADER) + g_clipCount * sizeof(RECT);
    if (needed > size) return needed;
    UINT n = static_cast<UINT>(g_clipCount);
    RGNDATAHEADER header = {};
    header.dwSize = sizeof header;
    header.iType = RDH_RECTANGLES;
    header.nCount = static_cast<DWORD>(g_clipReported);
    header.nRgnSize = n * sizeof(RECT);
    memcpy(out, &header, sizeof header);
    memcpy(reinterpret_cast<BYTE*>(out) + sizeof header, g_clip, n * sizeof(RECT));
    return needed;
}

void WINAPI DciStandInConfigure(const DciStandInConfig* config) {
    g_configured = true;
    g_config = *config;
    memset(&g_count, 0, sizeof g_count);
    g_scriptLength = g_scriptNext = 0;
    g_clipCount = g_clipReported = 0;
}

void WINAPI DciStandInGetCounters(DciStandInCounters* out) { *out = g_count; }

void WINAPI DciStandInScriptStatus(const int* values, int count) {
    if (count > kMaxScript) count = kMaxScript;
    if (count < 0) count = 0;
    memcpy(g_script, values, count * sizeof(int));
    g_scriptLength = count;
    g_scriptNext = 0;
}

void WINAPI DciStandInSetClipList(const RECT* rects, int count, int reportedCount) {
    if (count > kMaxClip) count = kMaxClip;
    if (count < 0) count = 0;
    memcpy(g_clip, rects, count * sizeof(RECT));
    g_clipCount = count;
    g_clipReported = reportedCount;
}

BYTE* WINAPI DciStandInSurfaceMemory(void) { return g_lastMemory; }

LONG WINAPI DciStandInShownPixels(void) { return g_shownPixels; }

}  // extern "C"
