// Test-only control of the stand-in DCI provider (dciman32.dll).
#pragma once
#include <windows.h>

extern "C" {

// What the provider offers and which of its calls fail.
struct DciStandInConfig {
    DWORD width, height;  // primary surface geometry in pixels
    LONG stride;          // bytes per row (positive)
    DWORD bitCount;
    DWORD masks[3];      // red, green, blue
    DWORD caps;          // dwDCICaps of the surface
    WORD selector;       // wSelSurface (non-zero: segmented)
    BOOL noProvider;     // DCIOpenProvider returns 0
    int createResult;    // DCICreatePrimary result; non-zero: no surface
    int accessResult;    // DCIBeginAccess result; non-zero: refused
    BOOL clipListFails;  // WinWatchGetClipList returns 0, writes nothing
};

struct DciStandInCounters {
    LONG opens, closes;  // provider
    LONG surfacesCreated, surfacesDestroyed, surfacesAlive;
    LONG badDestroys;  // unknown or already destroyed surface
    LONG begins, beginsGranted, ends;
    LONG accessDepth;     // granted begins not yet ended
    LONG unbalancedEnds;  // ends without a granted begin
    LONG badAccess;       // access on an unknown surface
    LONG watchesOpened, watchesClosed, badWatchCalls;
    LONG statusQueries, clipQueries;
    LONG calls;          // every DCI and WinWatch call
    RECT lastAccess;     // x, y, dx, dy of the last begin
    RECT lastClipQuery;  // rectangle passed to the last clip query
    HWND lastWatchWindow;
};

// Until the first call of this, the provider stands for the display: the
// surface has the screen's size and format, the window watch reports the
// watched window's client area (a change on the first question and after
// every move), and each end of access copies what changed to the screen.
// Resets counters, destroys nothing; later surfaces take the new geometry.
void WINAPI DciStandInConfigure(const DciStandInConfig* config);
void WINAPI DciStandInGetCounters(DciStandInCounters* out);
// Values that WinWatchDidStatusChange returns in turn; 0 after the last.
void WINAPI DciStandInScriptStatus(const int* values, int count);
// Visible rectangles in screen coordinates. reportedCount goes into the
// region header (a provider may report more than it wrote). A region larger
// than the caller's buffer is not written; the call returns its size.
void WINAPI DciStandInSetClipList(const RECT* rects, int count, int reportedCount);
// The memory of the most recent surface (guard page right behind its end).
BYTE* WINAPI DciStandInSurfaceMemory(void);
// Pixels shown on the screen so far in display mode.
LONG WINAPI DciStandInShownPixels(void);

}  // extern "C"
