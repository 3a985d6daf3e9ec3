// Stand-in DCI provider: a primary surface in ordinary memory, a scripted
// window watch, failure switches and call counters for tests.
#include "dci.h"
#include "dcistandin.h"

#include <string.h>

namespace {

const HDC kProvider = reinterpret_cast<HDC>(0xD1C0);

struct Surface {
    DciSurfaceInfo info;
    BYTE* block;        // VirtualAlloc'ed pages, the last one a guard page
    BYTE* memory;       // first row; the surface ends at the guard page
    SIZE_T pages;       // bytes before the guard page
    bool alive;
};

struct Watch {
    HWND window;
    bool open;
};

enum { kMaxSurfaces = 64, kMaxWatches = 64, kMaxScript = 64, kMaxClip = 128 };

DciStandInConfig g_config = {640, 480, 640 * 2, 16, {0xf800, 0x7e0, 0x1f}, 0, 0, FALSE, 0, 0,
                             FALSE};
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

    SIZE_T bytes = static_cast<SIZE_T>(g_config.stride) * g_config.height;
    SIZE_T pages = (bytes + 4095) / 4096 * 4096;
    BYTE* block = static_cast<BYTE*>(
        VirtualAlloc(nullptr, pages + 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
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
    if (!FindSurface(p)) ++g_count.badAccess;
    if (g_count.accessDepth == 0) {
        ++g_count.unbalancedEnds;
        return;
    }
    --g_count.accessDepth;
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
    if (!FindWatch(h)) {
        ++g_count.badWatchCalls;
        return FALSE;
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
    g_config = *config;
    memset(&g_count, 0, sizeof g_count);
    g_scriptLength = g_scriptNext = 0;
    g_clipCount = g_clipReported = 0;
}

void WINAPI DciStandInGetCounters(DciStandInCounters* out) {
    *out = g_count;
}

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

BYTE* WINAPI DciStandInSurfaceMemory(void) {
    return g_lastMemory;
}

}  // extern "C"
