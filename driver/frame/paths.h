// The two presentation paths behind the ten exports: GDI (back buffers in
// DIBs or device bitmaps, presented with GDI) and direct (frame buffer
// through DCI or a linear mapping, dirty-block bookkeeping).
#pragma once

#include "frame/services.h"
#include "frame/dci.h"

#ifdef __cplusplus
extern "C" {
#endif

// GDI path's per-context record, from the block pool (zero-filled).
struct GdiSurface {
    uint16_t isDib;  // 1 DIB back buffer, 0 device bitmap
    HDC memoryDc;    // holds the device bitmap
    HBITMAP bitmap;
    HGDIOBJ previousBitmap;  // what selecting bitmap replaced
    void* bitmapInfo;        // DIB block: header, 256 u16 indices, pixels
    uint8_t* dibBits;        // bitmapInfo + 552
};

// ---- DevInitialize's settings (private to the exports) ----
extern uint32_t g_ignoreDci;
extern uint32_t g_forceGdi;

// ---- GDI path ----
extern uint16_t g_useDib;
extern uint16_t g_gdiBitsPerPixel;

uint32_t GdiInitialize(DeviceInfo* info);
void GdiTerminate(void);
uint32_t GdiDdbUsable(DeviceInfo* info);
uint32_t GdiContextCreate(DevContext* ctx);
uint32_t GdiContextDelete(DevContext* ctx);
uint32_t GdiBufferCreate(DevContext* ctx, uint16_t mask);
uint32_t GdiBufferResize(DevContext* ctx, uint16_t mask, uint16_t how);
uint32_t GdiBufferDelete(DevContext* ctx, uint16_t mask);
uint32_t GdiBufferNotify(DevContext* ctx, uint16_t mask, uint16_t event);
uint32_t GdiContextSwitch(DevContext* ctx, uint16_t n);
uint32_t GdiContextValidate(DevContext* ctx);
uint32_t DEVPROC GdiPresent(DevContext* ctx);
uint32_t GdiPresentZoom2(DevContext* ctx);
uint32_t GdiTranslate8(DevContext* ctx);
uint32_t GdiDibCreate(DevContext* ctx);
uint32_t GdiDibResize(DevContext* ctx);
uint32_t GdiDibAttach(DevContext* ctx, uint16_t pitchPixels);
uint32_t GdiDibDelete(DevContext* ctx);
uint32_t GdiDdbCreate(DevContext* ctx);
uint32_t GdiDdbResize(DevContext* ctx);
uint32_t GdiDdbAttach(DevContext* ctx, uint16_t pitchPixels);
uint32_t GdiDdbDelete(DevContext* ctx);

// GDI calls behind which tests put their own: the screen's raster caps
// (Wine always reports device bitmaps) and the device-bitmap maker (Wine's
// device bitmaps have no flat bits). Each setter returns the previous one;
// null restores the platform's own.
typedef int(WINAPI* GdiRasterCapsSource)(HDC hdc, int index);
typedef HBITMAP(WINAPI* GdiBitmapMaker)(HDC hdc, int width, int height);
GdiRasterCapsSource GdiSeamRasterCaps(GdiRasterCapsSource fn);
GdiBitmapMaker GdiSeamBitmapMaker(GdiBitmapMaker fn);

// ---- direct path ----

// Module surface and screen geometry (direct_surface.cpp). The primary
// surface DevInitialize made is shared by the contexts and destroyed only
// at terminate.
extern DciSurfaceInfo* g_moduleSurface;
uint32_t DirectInitialize(DeviceInfo* info);
void DirectTerminate(void);
void DirectAdoptModuleSurface(DciSurfaceInfo* surface);
void DirectReleaseModuleSurface(void);
void DirectRebuildSurface(DevContext* ctx);

// Buffers, their side records and the mask pair (direct_buffers.cpp).
uint32_t DirectBufferCreate(DevContext* ctx, uint16_t mask);
uint32_t DirectBufferDelete(DevContext* ctx, uint16_t mask);
uint32_t DirectBufferResize(DevContext* ctx, uint16_t mask, uint16_t how);
uint32_t DirectBufferNotify(DevContext* ctx, uint16_t mask, uint16_t event);
// DevInitialize has emptied the pool: no side record of an earlier run is ours.
void DirectForgetRecords(void);
// Back-buffer width and height (rounded, then reduced by zoom).
void DirectZoomedSize(const DevContext* ctx, uint32_t* wb, uint32_t* hb);

// Contexts and validation (direct_contexts.cpp).
extern uint32_t g_directContextCount;
uint32_t DirectContextCreate(DevContext* ctx);
uint32_t DirectContextDelete(DevContext* ctx);
uint32_t DirectContextValidate(DevContext* ctx);

// Dirty marking outside the rasterizers (direct_dirty.cpp).
extern uint32_t g_dirtyWidthClass;  // 0xffffffff until the first switch
// Both dirty masks all ones (every block of every row to be copied).
void DirtyMarkAll(DevContext* ctx);
// Chooses the block width by the window's width class.
uint32_t DirectContextSwitch(DevContext* ctx, uint16_t n);
uint32_t RectIntersect(const DevRect16* a, const DevRect16* b, DevRect16* out);
uint32_t DEVPROC DirtyMarkCopy(DevContext* ctx, uint32_t pass0, uint32_t pass1, uint32_t width, uint32_t height,
                               uint32_t pass2, uint32_t srcX, uint32_t srcY, uint32_t dstX, uint32_t dstY,
                               uint32_t pass3, uint32_t pass4);

#ifdef __cplusplus
}  // extern "C"

static_assert(sizeof(GdiSurface) == 24, "GdiSurface");
#endif
