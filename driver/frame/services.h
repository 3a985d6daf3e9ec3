// rastrel.vxn: the module's services behind the exports: the block pool and
// global memory, platform detection, the universal thunk, the DCI manager
// wrappers, the pixel-format and linear-frame-buffer set-up, the platform
// seams, and the ten exports themselves.
#pragma once

#include <windows.h>

#include "frame/globals.h"
#include "frame/records.h"

#ifdef __cplusplus
extern "C" {
#endif

// ------------------------------------------------------------- the exports

uint32_t DEVEXPORT DevInitialize(DeviceInfo* info);
uint32_t DEVEXPORT DevTerminate(void);
uint32_t DEVEXPORT DevBufferCreate(DevContext* ctx, uint32_t which);
uint32_t DEVEXPORT DevBufferResize(DevContext* ctx, uint32_t which, uint32_t how);
uint32_t DEVEXPORT DevBufferDelete(DevContext* ctx, uint32_t which);
uint32_t DEVEXPORT DevBufferNotify(DevContext* ctx, uint32_t which, uint32_t event);
uint32_t DEVEXPORT DevContextCreate(DevContext* ctx);
uint32_t DEVEXPORT DevContextDelete(DevContext* ctx);
uint32_t DEVEXPORT DevContextSwitch(DevContext* ctx, uint32_t n);
uint32_t DEVEXPORT DevContextValidate(DevContext* ctx);

// -------------------------------------------- block pool and global memory

enum { DEV_POOL_BLOCKS = 256, DEV_POOL_BLOCK_SIZE = 256 };

// One entry per block: blocks from here to the end of its run, and whether
// the run is free. Pool and table are per process.
struct DevBlockRun {
    uint16_t length;
    uint16_t free;
};
extern uint8_t g_blockPool[DEV_POOL_BLOCKS * DEV_POOL_BLOCK_SIZE];
extern DevBlockRun g_blockRuns[DEV_POOL_BLOCKS];

void DevMemoryInit(void);
void* VnrDevMalloc(uint32_t size);  // null (after the message) when full
void VnrDevFree(void* p);           // ignores addresses outside the pool
DevBufferExtra* DevRecordAlloc(void);
void DevRecordFree(void* p);
void* DevGlobalAlloc(uint32_t size);  // null (after the message) on failure
void DevGlobalFree(void* p);          // null does nothing

// ------------------------------------------------ platform and thunk services

enum { DEV_PLATFORM_WIN32S = 8, DEV_PLATFORM_WIN95 = 9, DEV_PLATFORM_NT = 10 };

uint16_t GetPlatformId(void);
uint32_t ThunkMapPhysical(uint32_t base, uint32_t size);
uint32_t ThunkGetBitmap(uint32_t bitmap, uint32_t size, void* record);
uint32_t ThunkGetDisplayDepth(uint32_t what);
uint32_t DevDciOpen(void);
uint32_t DevDciClose(void);
uint32_t DevDciPrimaryAddress(void);
extern uint16_t g_platformId;  // 8, 9 or 10; system-wide

// ----------------------------------------------------------- DCI wrappers

uint32_t DevDciLoadManager(void);
uint32_t DevDciCreateSurface(void);
uint32_t DevDciDestroySurface(DciSurfaceInfo* surface);
DciSurfaceInfo* DevDciGetSurface(void);
int32_t DevDciBeginAccess(DciSurfaceInfo* surface, int32_t x, int32_t y, int32_t dx, int32_t dy);
uint32_t DevDciEndAccess(DciSurfaceInfo* surface);
HANDLE DevWinWatchOpen(HWND window);
uint32_t DevWinWatchClose(HANDLE watch);
uint32_t DevWinWatchChanged(HANDLE watch);
int32_t DevWinWatchGetRects(HANDLE watch, HWND window, uint32_t topLeft, uint32_t bottomRight, DevRect16* out);
HWND GetWindowFromDC(HDC hdc);

// ----------------------------------------------------------- pixel formats

void DirectPixelFormatInit(const DeviceInfo* info);
uint32_t PixelFormatTables(const DeviceInfo* info);
void LfbMap(void);
void LfbReadSize(void);
void LfbReadBase(void);

// ------------------------------------------------------------------ seams
// One small interface each, so tests choose the platform, catch message
// boxes and put a 32-bit stand-in behind the universal thunk. Each setter
// returns the previous function, to hand back when done. A null version
// source or message box restores the platform's own; a null thunk entry
// means no thunk (every service then returns 0).

typedef DWORD(WINAPI* DevVersionSource)(void);
typedef int(WINAPI* DevMessageBoxSink)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
// Thunk call form: argument words, service number, null-terminated list of
// addresses of words holding flat pointers to translate.
typedef DWORD(WINAPI* DevThunkEntry)(void* args, DWORD service, void** translate);

DevVersionSource WINAPI DevSeamVersion(DevVersionSource fn);
DevMessageBoxSink WINAPI DevSeamMessageBox(DevMessageBoxSink fn);
DevThunkEntry WINAPI DevSeamThunk(DevThunkEntry fn);

// Through the seams.
DWORD DevGetVersionWord(void);
int DevMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

#ifdef __cplusplus
}  // extern "C"

#include <type_traits>

// The records spell the handles as these headers do.
static_assert(std::is_same<HDC__*, HDC>::value && std::is_same<HWND__*, HWND>::value, "");
static_assert(std::is_same<decltype(DriverBlock::winWatch), HANDLE>::value, "");
// The exports have the types the library calls them with.
static_assert(std::is_same<decltype(&DevInitialize), DevInitializeExport>::value, "");
static_assert(std::is_same<decltype(&DevTerminate), DevTerminateExport>::value, "");
static_assert(std::is_same<decltype(&DevBufferCreate), DevBufferCreateExport>::value, "");
static_assert(std::is_same<decltype(&DevBufferResize), DevBufferResizeExport>::value, "");
static_assert(std::is_same<decltype(&DevBufferDelete), DevBufferDeleteExport>::value, "");
static_assert(std::is_same<decltype(&DevBufferNotify), DevBufferNotifyExport>::value, "");
static_assert(std::is_same<decltype(&DevContextCreate), DevContextCreateExport>::value, "");
static_assert(std::is_same<decltype(&DevContextDelete), DevContextDeleteExport>::value, "");
static_assert(std::is_same<decltype(&DevContextSwitch), DevContextSwitchExport>::value, "");
static_assert(std::is_same<decltype(&DevContextValidate), DevContextValidateExport>::value, "");
#endif

static_assert(sizeof(DevBlockRun) == 4, "");
