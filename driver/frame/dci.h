// The published DCI manager interface as the driver and the stand-in
// provider use it: the surface record and the ten entry points.
#pragma once
#include <windows.h>
#include <stddef.h>
#include <stdint.h>

extern "C" {

// The manager's description of a surface (72 bytes).
struct DciSurfaceInfo {
    DWORD dwSize;          // 0
    DWORD dwDCICaps;       // 4
    DWORD dwCompression;   // 8
    DWORD dwMask[3];       // 12: red, green, blue
    DWORD dwWidth;         // 24
    DWORD dwHeight;        // 28
    LONG lStride;          // 32
    DWORD dwBitCount;      // 36
    DWORD dwOffSurface;    // 40: flat linear address of the surface
    WORD wSelSurface;      // 44: non-zero for a segmented surface
    WORD wReserved;        // 46
    DWORD dwReserved1;     // 48
    DWORD dwReserved2;     // 52
    DWORD dwReserved3;     // 56
    void *BeginAccess;     // 60: provider's callbacks
    void *EndAccess;       // 64
    void *DestroySurface;  // 68
};

// dwDCICaps bit: the surface needs 16:32 access, which the driver cannot use.
enum { DCI_CAPS_1632_ACCESS = 0x40 };
// Results of the DCI calls.
enum { DCI_RESULT_OK = 0, DCI_RESULT_FAIL_GENERIC = -1 };

typedef HDC(WINAPI *DciOpenProviderProc)(void);
typedef void(WINAPI *DciCloseProviderProc)(HDC);
typedef int(WINAPI *DciCreatePrimaryProc)(HDC, DciSurfaceInfo **);
typedef void(WINAPI *DciDestroyProc)(DciSurfaceInfo *);
typedef int(WINAPI *DciBeginAccessProc)(DciSurfaceInfo *, int x, int y, int dx, int dy);
typedef void(WINAPI *DciEndAccessProc)(DciSurfaceInfo *);
typedef HANDLE(WINAPI *WinWatchOpenProc)(HWND);
typedef void(WINAPI *WinWatchCloseProc)(HANDLE);
typedef BOOL(WINAPI *WinWatchDidStatusChangeProc)(HANDLE);
typedef UINT(WINAPI *WinWatchGetClipListProc)(HANDLE, RECT *, UINT size, RGNDATA *out);

}  // extern "C"

static_assert(sizeof(DciSurfaceInfo) == 72, "DciSurfaceInfo");
static_assert(offsetof(DciSurfaceInfo, dwDCICaps) == 4, "");
static_assert(offsetof(DciSurfaceInfo, dwWidth) == 24, "");
static_assert(offsetof(DciSurfaceInfo, lStride) == 32, "");
static_assert(offsetof(DciSurfaceInfo, dwOffSurface) == 40, "");
static_assert(offsetof(DciSurfaceInfo, wSelSurface) == 44, "");
static_assert(offsetof(DciSurfaceInfo, BeginAccess) == 60, "");
static_assert(sizeof(RGNDATAHEADER) == 32, "");
