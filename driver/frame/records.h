// rastrel.vxn: the records shared with the rendering library, the driver's
// private records and the procedure-table slots. The library's side includes
// this header alone, so it stays free of <windows.h>: the three handles are
// spelled as the Windows headers define them (services.h checks that).
//
// Every layout below crosses the boundary with a closed library and is fixed
// byte for byte (little-endian, 32-bit pointers); the static_asserts pin it.
//
// The rasterizer families' documents use other names for the same fields;
// this header's names are the ones to use in code:
//   DevContext: stateFlags = state, depthCompare = depthFunc,
//     lightingMode = lightMode, packedColor = color, windowRect = window,
//     clipRect = update, clipRectCount = clipCount,
//     clipRectCountCopy = clipCountCopy, depthClearValue = depthClear,
//     colorBuffer = drawBuffer, frontBuffer = front, backBuffer = back,
//     depthBuffer = depth, onClipChange = clipChanged,
//     repaintRequest = repaint.
//   DevBuffer: address = bits.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Procedure-slot routines: arguments in 32-bit stack slots, caller pops.
#define DEVPROC __cdecl
// The ten exports: callee pops.
#define DEVEXPORT __stdcall

// The Windows headers' own handle types (HDC, HWND); HANDLE is void*.
struct HDC__;
struct HWND__;

#ifdef __cplusplus
extern "C" {
#endif

struct DevContext;
struct DevBufferExtra;
struct DriverBlock;
struct GdiSurface;   // GDI path's per-context record
struct DevTexture;   // owned by the rendering library
struct DevTrapEdge;  // trapezoid edge record (136 bytes)
struct DevTrapGradients;
struct DevLineRecord;
struct DciSurfaceInfo;  // DCI manager's surface record (frame/dci.h)

// ---------------------------------------------------------------- DeviceInfo

struct DeviceInfo {
    uint16_t width;          // 0
    uint16_t height;         // 2
    uint16_t bitsPerPixel;   // 4
    uint16_t bytesPerPixel;  // 6
    uint16_t devCaps;        // 8: 3 GDI path, 15 direct path
    uint16_t paletteBase;    // 10
    uint16_t reserved12;     // 12: copied, unread
    uint16_t reserved14;     // 14: unread
    uint32_t redMask;        // 16
    uint32_t greenMask;      // 20
    uint32_t blueMask;       // 24
    uint32_t reserved28;     // 28
    uint32_t redMax;         // 32: component range (255 for 8 bits)
    uint32_t greenMax;       // 36
    uint32_t blueMax;        // 40
    uint32_t reserved44;     // 44
};

// ------------------------------------------------------------- state flags

enum {
    DEV_SMOOTH = 0x1,
    DEV_TEXTURE = 0x2,
    DEV_MODULATE = 0x4,
    DEV_DEPTH = 0x8,
    DEV_DITHER = 0x1000,
    DEV_COLORKEY = 0x4000,
    DEV_ZOOM2 = 0x80000,
    DEV_COLORINDEX = 0x100000,
    DEV_AFFINE = 0x200000,
    DEV_GENERIC_MASK = 0x2cf0
};

// lightMode values (with DEV_MODULATE)
enum { DEV_LIGHT_MR = 1, DEV_LIGHT_MM = 2, DEV_LIGHT_MS = 3 };

// Buffer bits: the `which` masks, the buffer exports' results and
// DevBuffer.flags. DevClear's request uses DEV_CLEAR_COLOR / DEV_BUFFER_DEPTH.
enum { DEV_CLEAR_COLOR = 0x20, DEV_BUFFER_FRONT = 0x40, DEV_BUFFER_BACK = 0x80, DEV_BUFFER_DEPTH = 0x400 };

// DevBuffer.flags
enum {
    DEVBUF_VALID = 0x1,
    DEVBUF_DRIVER = 0x2,
    DEVBUF_DIB = 0x2000,
    DEVBUF_DDB = 0x4000,
    DEVBUF_CALLER_MEMORY = 0x8000
};

// Values the driver stores in flags.
enum {
    DEVBUF_DIRECT_FRONT = 0x43,
    DEVBUF_DIRECT_BACK = 0x83,
    DEVBUF_DIRECT_DEPTH = 0x403,
    DEVBUF_GDI_DIB_BACK = 0x2083,
    DEVBUF_GDI_DDB_BACK = 0x4083
};

// DevContext.changeFlags bit the direct present ORs in after a clip refresh.
enum { DEV_CHANGE_CLIP = 0x8 };

// DevContext.caps
enum { DEV_CAPS_GDI = 0, DEV_CAPS_DIRECT = 0x810 };
// DeviceInfo.devCaps
enum { DEV_DEVCAPS_GDI = 3, DEV_DEVCAPS_DIRECT = 15 };

// Zoom factor 2.0 in 16.16.
enum { DEV_ZOOM_2 = 0x20000 };

// DevBufferResize's how bits.
enum { DEV_RESIZE_MOVED = 0x10, DEV_RESIZE_SIZED = 0x20 };
// DevBufferNotify's event for a new display surface.
enum { DEV_NOTIFY_NEW_SURFACE = 0x400 };

// Room in clipRects / clipRectsCopy.
enum { DEV_MAX_CLIP_RECTS = 40 };

// --------------------------------------------------------------- rectangles

// Four i16: x0, y0, x1, y1 (x1, y1 exclusive). The update rectangle uses the
// same form as left, top, right, bottom.
struct DevRect16 {
    int16_t x0, y0, x1, y1;
};

// ---------------------------------------------------------------- DevBuffer

struct DevBuffer {
    uint32_t bits;           // 0: first pixel of the top row
    uint16_t width;          // 4
    uint16_t height;         // 6
    uint16_t bitsPerPixel;   // 8
    int16_t pitch;           // 10: signed bytes between rows
    uint8_t zero12;          // 12: driver writes 0
    uint8_t zero13;          // 13: driver writes 0
    uint16_t rows;           // 14
    uint16_t flags;          // 16
    uint8_t reserved18[34];  // 18: library's
    uint32_t zero52[3];      // 52: driver writes 0
    uint32_t bitsCopy;       // 64: bits again
    DevBufferExtra* extra;   // 68: direct path's side record, else 0
    uint32_t reserved72;     // 72: library's
};

// Driver-private side record of a direct-path buffer (eleven u32, 44 bytes).
struct DevBufferExtra {
    uint32_t originX;        // front: window x0 when made
    uint32_t originY;        // front: window y0
    uint32_t rawBack;        // back: DevGlobalAlloc result before alignment
    uint32_t rawDepth;       // depth: same for the depth buffer
    uint32_t rawDirtyA;      // back
    uint32_t rawDirtyB;      // back
    uint32_t alignedDirtyA;  // back: rounded up to 4 bytes
    uint32_t alignedDirtyB;  // back
    uint32_t rows;           // back: DirtyMask row count
    uint32_t depthPitch;     // depth
    uint32_t backPitch;      // back
};

// ------------------------------------------------------- procedure slots

enum {
    DEV_SLOT_COPYRECT = 12,
    DEV_SLOT_TRAPEZOIDS = 16,
    DEV_SLOT_LINE = 17,
    DEV_SLOT_CLEAR = 19,
    DEV_SLOT_PRESENT = 20,
    DEV_SLOT_SETCOLOR = 21,
    DEV_SLOT_COUNT = 40
};

// Every argument sits in its own 32-bit slot; a u16 or i16 argument is the
// low half of its slot (callees truncate, never trust the upper half).
typedef uint32_t(DEVPROC* DevCopyRectProc)(DevContext* ctx, uint32_t pass0, uint32_t pass1, uint32_t width,
                                           uint32_t height, uint32_t pass2, uint32_t srcX, uint32_t srcY, uint32_t dstX,
                                           uint32_t dstY, uint32_t pass3, uint32_t pass4);
typedef uint32_t(DEVPROC* DevTrapezoidsProc)(DevContext* ctx, DevTrapEdge* left, DevTrapEdge* right,
                                             DevTrapGradients* grad);
typedef uint32_t(DEVPROC* DevLineProc)(DevContext* ctx, DevLineRecord* line, uint32_t pass);
typedef uint32_t(DEVPROC* DevClearProc)(DevContext* ctx, uint32_t what);
typedef uint32_t(DEVPROC* DevPresentProc)(DevContext* ctx);
typedef uint32_t(DEVPROC* DevSetColorProc)(DevContext* ctx, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t c3,
                                           uint32_t separate, void* out);
typedef uint32_t(DEVPROC* DevProc)(void);  // a slot nobody here calls
// Called by the direct present after every clip-list refresh.
typedef void(DEVPROC* DevClipChangedProc)(DevContext* ctx);

// 40 slots; slot N at byte 4N. The library's base table has the same layout.
struct DevProcTable {
    union {
        DevProc slot[DEV_SLOT_COUNT];
        struct {
            DevProc unused0[12];
            DevCopyRectProc copyRect;  // 12
            DevProc unused13[3];
            DevTrapezoidsProc trapezoids;  // 16
            DevLineProc line;              // 17
            DevProc unused18;
            DevClearProc clear;        // 19
            DevPresentProc present;    // 20
            DevSetColorProc setColor;  // 21
            DevProc unused22[18];
        };
    };
};

// Driver-private, one per context, from the block pool (so zero-filled).
struct DriverBlock {
    HWND__* hwnd;                // direct path with DCI on Windows 95
    void* winWatch;              // same condition (a HANDLE)
    DciSurfaceInfo* dciSurface;  // same condition
    DevProcTable procs;          // DevContext.procs points here
};

// --------------------------------------------------------------- DevContext

// One per window; at least 624 bytes, owned by the rendering library. The
// reserved bytes belong to the library.
struct DevContext {
    HDC__* hdc;                      // 0
    GdiSurface* gdiSurface;          // 4
    uint8_t reserved8[4];            // 8
    uint32_t changeFlags;            // 12
    uint32_t state;                  // 16: DEV_* flags
    uint8_t reserved20;              // 20
    uint8_t depthFunc;               // 21
    uint8_t reserved22[3];           // 22
    uint8_t lightMode;               // 25
    uint8_t reserved26[2];           // 26
    uint32_t color;                  // 28: 0xAABBGGRR
    uint8_t reserved32[160];         // 32
    uint32_t colorKey;               // 192
    uint8_t reserved196[12];         // 196
    DevRect16 window;                // 208: screen coordinates on the direct path
    DevRect16 update;                // 216
    uint32_t clipCount;              // 224
    DevRect16* clipRects;            // 228: room for 40, window-relative
    uint32_t clipCountCopy;          // 232
    DevRect16* clipRectsCopy;        // 236
    uint8_t fillPattern[32];         // 240
    uint8_t clearPattern[32];        // 272
    uint8_t reserved304[4];          // 304
    uint32_t depthClear;             // 308: the 16-bit value in both halves
    uint8_t reserved312[4];          // 312
    DevBuffer* drawBuffer;           // 316: &front or &back
    DevTexture* texture;             // 320
    uint8_t reserved324[4];          // 324
    DevBuffer front;                 // 328
    DevBuffer back;                  // 404
    DevBuffer depth;                 // 480
    DevProcTable* baseProcs;         // 556
    DevProcTable* procs;             // 560
    uint32_t caps;                   // 564
    uint8_t reserved568[8];          // 568
    DriverBlock* driverBlock;        // 576
    uint8_t reserved580[4];          // 580
    uint32_t zoomY;                  // 584: 16.16
    uint32_t zoomX;                  // 588: 16.16
    uint32_t dirtyRows;              // 592
    uint32_t* dirtyA;                // 596
    uint32_t* dirtyB;                // 600
    DevClipChangedProc clipChanged;  // 604
    uint32_t translate;              // 608
    uint8_t* translate8;             // 612: u8[256]
    uint16_t* translate16;           // 616: u16[65536]
    uint32_t repaint;                // 620
};

// ------------------------------------------------------------- the exports

// The ten exports as the library calls them (services.h declares the
// driver's definitions with these types).
typedef uint32_t(DEVEXPORT* DevInitializeExport)(DeviceInfo* info);
typedef uint32_t(DEVEXPORT* DevTerminateExport)(void);
typedef uint32_t(DEVEXPORT* DevBufferCreateExport)(DevContext* ctx, uint32_t which);
typedef uint32_t(DEVEXPORT* DevBufferResizeExport)(DevContext* ctx, uint32_t which, uint32_t how);
typedef uint32_t(DEVEXPORT* DevBufferDeleteExport)(DevContext* ctx, uint32_t which);
typedef uint32_t(DEVEXPORT* DevBufferNotifyExport)(DevContext* ctx, uint32_t which, uint32_t event);
typedef uint32_t(DEVEXPORT* DevContextCreateExport)(DevContext* ctx);
typedef uint32_t(DEVEXPORT* DevContextDeleteExport)(DevContext* ctx);
typedef uint32_t(DEVEXPORT* DevContextSwitchExport)(DevContext* ctx, uint32_t n);
typedef uint32_t(DEVEXPORT* DevContextValidateExport)(DevContext* ctx);

#ifdef __cplusplus
}  // extern "C"
#endif

// ------------------------------------------------------------ layout pins

static_assert(sizeof(void*) == 4, "32-bit records");
static_assert(sizeof(DeviceInfo) == 48, "DeviceInfo");
static_assert(offsetof(DeviceInfo, height) == 2, "");
static_assert(offsetof(DeviceInfo, bitsPerPixel) == 4, "");
static_assert(offsetof(DeviceInfo, bytesPerPixel) == 6, "");
static_assert(offsetof(DeviceInfo, devCaps) == 8, "");
static_assert(offsetof(DeviceInfo, paletteBase) == 10, "");
static_assert(offsetof(DeviceInfo, reserved12) == 12, "");
static_assert(offsetof(DeviceInfo, reserved14) == 14, "");
static_assert(offsetof(DeviceInfo, redMask) == 16, "");
static_assert(offsetof(DeviceInfo, greenMask) == 20, "");
static_assert(offsetof(DeviceInfo, blueMask) == 24, "");
static_assert(offsetof(DeviceInfo, reserved28) == 28, "");
static_assert(offsetof(DeviceInfo, redMax) == 32, "");
static_assert(offsetof(DeviceInfo, greenMax) == 36, "");
static_assert(offsetof(DeviceInfo, blueMax) == 40, "");
static_assert(offsetof(DeviceInfo, reserved44) == 44, "");

static_assert(sizeof(DevRect16) == 8, "DevRect16");
static_assert(sizeof(DevBuffer) == 76, "DevBuffer");
static_assert(offsetof(DevBuffer, width) == 4, "");
static_assert(offsetof(DevBuffer, height) == 6, "");
static_assert(offsetof(DevBuffer, bitsPerPixel) == 8, "");
static_assert(offsetof(DevBuffer, pitch) == 10, "");
static_assert(offsetof(DevBuffer, zero12) == 12, "");
static_assert(offsetof(DevBuffer, zero13) == 13, "");
static_assert(offsetof(DevBuffer, rows) == 14, "");
static_assert(offsetof(DevBuffer, flags) == 16, "");
static_assert(offsetof(DevBuffer, reserved18) == 18, "");
static_assert(offsetof(DevBuffer, zero52) == 52, "");
static_assert(offsetof(DevBuffer, bitsCopy) == 64, "");
static_assert(offsetof(DevBuffer, extra) == 68, "");
static_assert(offsetof(DevBuffer, reserved72) == 72, "");

static_assert(sizeof(DevBufferExtra) == 44, "DevBufferExtra");
static_assert(offsetof(DevBufferExtra, originY) == 4, "");
static_assert(offsetof(DevBufferExtra, rawBack) == 8, "");
static_assert(offsetof(DevBufferExtra, rawDepth) == 12, "");
static_assert(offsetof(DevBufferExtra, rawDirtyA) == 16, "");
static_assert(offsetof(DevBufferExtra, rawDirtyB) == 20, "");
static_assert(offsetof(DevBufferExtra, alignedDirtyA) == 24, "");
static_assert(offsetof(DevBufferExtra, alignedDirtyB) == 28, "");
static_assert(offsetof(DevBufferExtra, rows) == 32, "");
static_assert(offsetof(DevBufferExtra, depthPitch) == 36, "");
static_assert(offsetof(DevBufferExtra, backPitch) == 40, "");
static_assert(offsetof(DevRect16, y0) == 2, "");
static_assert(offsetof(DevRect16, x1) == 4, "");
static_assert(offsetof(DevRect16, y1) == 6, "");

static_assert(sizeof(DevProcTable) == 160, "DevProcTable");
static_assert(offsetof(DevProcTable, copyRect) == 4 * DEV_SLOT_COPYRECT, "");
static_assert(offsetof(DevProcTable, trapezoids) == 4 * DEV_SLOT_TRAPEZOIDS, "");
static_assert(offsetof(DevProcTable, line) == 4 * DEV_SLOT_LINE, "");
static_assert(offsetof(DevProcTable, clear) == 4 * DEV_SLOT_CLEAR, "");
static_assert(offsetof(DevProcTable, present) == 4 * DEV_SLOT_PRESENT, "");
static_assert(offsetof(DevProcTable, setColor) == 4 * DEV_SLOT_SETCOLOR, "");

static_assert(sizeof(DriverBlock) == 172, "DriverBlock");
static_assert(offsetof(DriverBlock, winWatch) == 4, "");
static_assert(offsetof(DriverBlock, dciSurface) == 8, "");
static_assert(offsetof(DriverBlock, procs) == 12, "");

static_assert(sizeof(DevContext) == 624, "DevContext");
static_assert(offsetof(DevContext, gdiSurface) == 4, "");
static_assert(offsetof(DevContext, changeFlags) == 12, "");
static_assert(offsetof(DevContext, state) == 16, "");
static_assert(offsetof(DevContext, depthFunc) == 21, "");
static_assert(offsetof(DevContext, lightMode) == 25, "");
static_assert(offsetof(DevContext, color) == 28, "");
static_assert(offsetof(DevContext, colorKey) == 192, "");
static_assert(offsetof(DevContext, window) == 208, "");
static_assert(offsetof(DevContext, update) == 216, "");
static_assert(offsetof(DevContext, clipCount) == 224, "");
static_assert(offsetof(DevContext, clipRects) == 228, "");
static_assert(offsetof(DevContext, clipCountCopy) == 232, "");
static_assert(offsetof(DevContext, clipRectsCopy) == 236, "");
static_assert(offsetof(DevContext, fillPattern) == 240, "");
static_assert(offsetof(DevContext, clearPattern) == 272, "");
static_assert(offsetof(DevContext, depthClear) == 308, "");
static_assert(offsetof(DevContext, drawBuffer) == 316, "");
static_assert(offsetof(DevContext, texture) == 320, "");
static_assert(offsetof(DevContext, front) == 328, "");
static_assert(offsetof(DevContext, back) == 404, "");
static_assert(offsetof(DevContext, depth) == 480, "");
static_assert(offsetof(DevContext, baseProcs) == 556, "");
static_assert(offsetof(DevContext, procs) == 560, "");
static_assert(offsetof(DevContext, caps) == 564, "");
static_assert(offsetof(DevContext, driverBlock) == 576, "");
static_assert(offsetof(DevContext, zoomY) == 584, "");
static_assert(offsetof(DevContext, zoomX) == 588, "");
static_assert(offsetof(DevContext, dirtyRows) == 592, "");
static_assert(offsetof(DevContext, dirtyA) == 596, "");
static_assert(offsetof(DevContext, dirtyB) == 600, "");
static_assert(offsetof(DevContext, clipChanged) == 604, "");
static_assert(offsetof(DevContext, translate) == 608, "");
static_assert(offsetof(DevContext, translate8) == 612, "");
static_assert(offsetof(DevContext, translate16) == 616, "");
static_assert(offsetof(DevContext, repaint) == 620, "");

#ifdef __cplusplus
// The buffer's first pixel as a byte pointer.
inline uint8_t* DevBufferBits(const DevBuffer* b) {
    return reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(b->bits));
}

// Pixels are doubled 2 x 2 only with DEV_ZOOM2 and both factors exactly 2.0.
inline bool DevZoomed2(const DevContext* ctx) {
    return (ctx->state & DEV_ZOOM2) && ctx->zoomX == DEV_ZOOM_2 && ctx->zoomY == DEV_ZOOM_2;
}
#endif
