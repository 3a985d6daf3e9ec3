// GDI presentation path: the library draws into a back buffer that lives in
// a DIB or a device bitmap, and GdiPresent copies the update rectangle to
// the window with GDI. No rasterizer is installed on this path.
#include "frame/paths.h"

#include <string.h>

uint16_t g_useDib;
uint16_t g_gdiBitsPerPixel;

static const uint32_t kDibHeaderBytes = 552;  // BITMAPINFOHEADER + 256 u16 palette indices
// Anything larger cannot be addressed through the 16-bit descriptor fields anyway.
static const uint64_t kDibLimit = 0x7fffffffu;

static GdiRasterCapsSource s_rasterCaps;
static GdiBitmapMaker s_bitmapMaker;

extern "C" GdiRasterCapsSource GdiSeamRasterCaps(GdiRasterCapsSource fn) {
    GdiRasterCapsSource old = s_rasterCaps;
    s_rasterCaps = fn;
    return old;
}

extern "C" GdiBitmapMaker GdiSeamBitmapMaker(GdiBitmapMaker fn) {
    GdiBitmapMaker old = s_bitmapMaker;
    s_bitmapMaker = fn;
    return old;
}

static HBITMAP MakeBitmap(HDC hdc, int width, int height) {
    return s_bitmapMaker ? s_bitmapMaker(hdc, width, height) : CreateCompatibleBitmap(hdc, width, height);
}

static GdiSurface* SurfaceOf(DevContext* ctx) { return ctx->gdiSurface; }

// Back-buffer size from the window, reduced by the integer part of each zoom
// factor; a side whose factor has integer part 0 keeps its size.
static void BackSize(const DevContext* ctx, bool zeroToOne, uint16_t* w, uint16_t* h) {
    uint16_t W = static_cast<uint16_t>(ctx->window.x1 - ctx->window.x0);
    uint16_t H = static_cast<uint16_t>(ctx->window.y1 - ctx->window.y0);
    if (zeroToOne) {
        if (W == 0) W = 1;
        if (H == 0) H = 1;
    }
    if ((ctx->state & DEV_ZOOM2) && (ctx->zoomY || ctx->zoomX)) {
        uint16_t zx = static_cast<uint16_t>(ctx->zoomX >> 16), zy = static_cast<uint16_t>(ctx->zoomY >> 16);
        if (zx) W = static_cast<uint16_t>(W / zx);
        if (zy) H = static_cast<uint16_t>(H / zy);
    }
    *w = W;
    *h = H;
}

// A window whose right or bottom edge lies before its left or top one has
// no size to make a back buffer of.
static bool Reversed(const DevContext* ctx) {
    return ctx->window.x1 < ctx->window.x0 || ctx->window.y1 < ctx->window.y0;
}

static void ClearBackDescriptor(DevContext* ctx) {
    DevBuffer* b = &ctx->back;
    b->bits = 0;
    b->bitsCopy = 0;
    b->width = b->height = 0;
    b->pitch = 0;
    b->rows = 0;
    b->flags = 0;
    b->extra = nullptr;
}

uint32_t GdiDdbUsable(DeviceInfo* info) {
    if ((DevGetVersionWord() >> 24) != 0x80) return 0;
    if (info->bitsPerPixel != 8 && info->bitsPerPixel != 16) return 0;
    HDC screen = GetDC(nullptr);
    int caps = s_rasterCaps ? s_rasterCaps(screen, RASTERCAPS) : GetDeviceCaps(screen, RASTERCAPS);
    ReleaseDC(nullptr, screen);
    return (caps & RC_DEVBITS) ? 0 : 1;
}

uint32_t GdiInitialize(DeviceInfo* info) {
    UINT dibs = GetPrivateProfileIntA("VXN", "DIBS", 0, "vxn.ini");
    GetPrivateProfileIntA("VXN", "INFO", 0, "vxn.ini");  // read, no effect
    if (dibs)
        g_useDib = 1;
    else
        g_useDib = GdiDdbUsable(info) ? 0 : 1;
    if (g_useDib && info->bitsPerPixel > 8) {
        info->bytesPerPixel = 3;
        info->bitsPerPixel = 24;
        info->redMask = 0xff0000;
        info->greenMask = 0xff00;
        info->blueMask = 0xff;
        info->redMax = info->greenMax = info->blueMax = 255;
    }
    info->devCaps = DEV_DEVCAPS_GDI;
    g_gdiBitsPerPixel = info->bitsPerPixel;
    return 1;
}

void GdiTerminate() {}

uint32_t GdiContextCreate(DevContext* ctx) {
    // The record may come unzeroed: a refused context must leave nothing
    // behind that the other calls would follow.
    ctx->gdiSurface = nullptr;
    ctx->driverBlock = nullptr;
    ctx->procs = nullptr;
    DriverBlock* block = static_cast<DriverBlock*>(VnrDevMalloc(sizeof(DriverBlock)));
    if (!block) return 0;
    GdiSurface* surface = static_cast<GdiSurface*>(VnrDevMalloc(sizeof(GdiSurface)));
    if (!surface) {
        VnrDevFree(block);
        return 0;
    }
    ctx->driverBlock = block;
    ctx->procs = &block->procs;
    ctx->gdiSurface = surface;
    block->procs.present = GdiPresent;
    ctx->caps = DEV_CAPS_GDI;
    return 1;
}

uint32_t GdiContextDelete(DevContext* ctx) {
    if (ctx->gdiSurface) VnrDevFree(ctx->gdiSurface);
    if (ctx->driverBlock)
        VnrDevFree(ctx->driverBlock);
    else if (ctx->procs)
        VnrDevFree(ctx->procs);  // any address inside the block frees it
    ctx->gdiSurface = nullptr;
    ctx->driverBlock = nullptr;
    ctx->procs = nullptr;
    return 1;
}

// ---- DIB form ----

uint32_t GdiDibAttach(DevContext* ctx, uint16_t pitchPixels) {
    GdiSurface* s = SurfaceOf(ctx);
    uint16_t W, H;
    BackSize(ctx, false, &W, &H);
    uint32_t rowBytes = static_cast<uint32_t>(g_gdiBitsPerPixel >> 3) * pitchPixels;
    DevBuffer* b = &ctx->back;
    uint32_t top = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(s->dibBits)) +
                   (H ? static_cast<uint32_t>(H - 1) * rowBytes : 0);
    b->bits = top;
    b->width = W;
    b->height = H;
    b->bitsPerPixel = g_gdiBitsPerPixel;
    b->pitch = static_cast<int16_t>(-static_cast<int32_t>(rowBytes));
    b->zero12 = 0;
    b->zero13 = 0;
    b->rows = 0;
    b->flags = DEVBUF_DIB | DEV_BUFFER_BACK | DEVBUF_DRIVER | DEVBUF_VALID;
    b->zero52[0] = b->zero52[1] = b->zero52[2] = 0;
    b->bitsCopy = top;
    b->extra = nullptr;
    return 1;
}

uint32_t GdiDibDelete(DevContext* ctx) {
    GdiSurface* s = SurfaceOf(ctx);
    if (!s) return 1;
    if (s->bitmapInfo) DevGlobalFree(s->bitmapInfo);
    s->bitmapInfo = nullptr;
    s->dibBits = nullptr;
    if (ctx->back.flags & DEVBUF_DIB) ClearBackDescriptor(ctx);
    return 1;
}

uint32_t GdiDibCreate(DevContext* ctx) {
    GdiSurface* s = SurfaceOf(ctx);
    if (!s) return 0;
    // A create without a delete before it must not lose the block it replaces.
    GdiDibDelete(ctx);
    if (Reversed(ctx)) {
        ClearBackDescriptor(ctx);
        return 0;
    }
    uint16_t W, H;
    BackSize(ctx, true, &W, &H);
    uint32_t R = (static_cast<uint32_t>(W) + 3) & ~3u;
    // GDI reads each row as whole 32-bit words: more than R x bytes per pixel
    // only below 8 bits per pixel, where that product is 0.
    uint32_t rowBytes = (R * g_gdiBitsPerPixel + 31) / 32 * 4;
    uint64_t full = static_cast<uint64_t>(rowBytes) * H + kDibHeaderBytes;
    // A row the 16-bit pitch cannot step over gets the one-row form too.
    bool describable = static_cast<uint32_t>(g_gdiBitsPerPixel >> 3) * R <= 0x8000;
    uint8_t* block =
        full <= kDibLimit && describable ? static_cast<uint8_t*>(DevGlobalAlloc(static_cast<uint32_t>(full))) : nullptr;
    uint16_t pitchPixels = static_cast<uint16_t>(R);
    if (!block) {
        // One row that every back-buffer row shares: degraded output, not lost.
        block = static_cast<uint8_t*>(DevGlobalAlloc(rowBytes + kDibHeaderBytes));
        pitchPixels = 0;
    }
    if (!block) {
        ClearBackDescriptor(ctx);
        return 0;
    }
    BITMAPINFOHEADER* hdr = reinterpret_cast<BITMAPINFOHEADER*>(block);
    memset(hdr, 0, sizeof *hdr);
    hdr->biSize = 40;
    hdr->biWidth = static_cast<LONG>(R);
    hdr->biHeight = H;
    hdr->biPlanes = 1;
    hdr->biBitCount = g_gdiBitsPerPixel;
    hdr->biCompression = BI_RGB;
    uint16_t* table = reinterpret_cast<uint16_t*>(block + 40);
    for (int i = 0; i < 256; ++i) table[i] = static_cast<uint16_t>(i);
    s->bitmapInfo = block;
    s->dibBits = block + kDibHeaderBytes;
    if (!GdiDibAttach(ctx, pitchPixels)) {
        GdiDibDelete(ctx);
        return 0;
    }
    s->isDib = 1;
    return 1;
}

uint32_t GdiDibResize(DevContext* ctx) {
    if (!(ctx->state & DEV_ZOOM2) && SurfaceOf(ctx) && SurfaceOf(ctx)->bitmapInfo &&
        ctx->back.width == static_cast<uint16_t>(ctx->window.x1 - ctx->window.x0) &&
        ctx->back.height == static_cast<uint16_t>(ctx->window.y1 - ctx->window.y0))
        return 1;
    GdiDibDelete(ctx);
    return GdiDibCreate(ctx);
}

// ---- device-bitmap form ----

uint32_t GdiDdbDelete(DevContext* ctx) {
    GdiSurface* s = SurfaceOf(ctx);
    if (!s) return 1;
    if (s->memoryDc) {
        SelectObject(s->memoryDc, s->previousBitmap);
        DeleteDC(s->memoryDc);
        s->memoryDc = nullptr;
        s->previousBitmap = nullptr;
    }
    if (s->bitmap) {
        DeleteObject(s->bitmap);
        s->bitmap = nullptr;
    }
    if (ctx->back.flags & DEVBUF_DDB) ClearBackDescriptor(ctx);
    return 1;
}

uint32_t GdiDdbAttach(DevContext* ctx, uint16_t pitchPixels) {
    GdiSurface* s = SurfaceOf(ctx);
    BITMAP bm;
    memset(&bm, 0, sizeof bm);
    if (!ThunkGetBitmap(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(s->bitmap)), sizeof bm, &bm)) return 0;
    if (bm.bmType != 0 || !bm.bmBits) return 0;
    uint16_t W, H;
    BackSize(ctx, false, &W, &H);
    DevBuffer* b = &ctx->back;
    uint32_t bytesPerPixel = bm.bmBitsPixel >> 3;
    b->bits = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(bm.bmBits));
    b->width = W;
    b->height = H;
    b->bitsPerPixel = bm.bmBitsPixel;
    // A pitch beyond the 16-bit field would step outside the bitmap: share row 0 instead.
    uint32_t pitch = bytesPerPixel * pitchPixels;
    b->pitch = pitch <= 0x7fff ? static_cast<int16_t>(pitch) : 0;
    b->zero12 = 0;
    b->zero13 = 0;
    b->rows = 0;
    b->flags = DEVBUF_DDB | DEV_BUFFER_BACK | DEVBUF_DRIVER | DEVBUF_VALID;
    b->zero52[0] = b->zero52[1] = b->zero52[2] = 0;
    b->bitsCopy = b->bits;
    b->extra = nullptr;
    memset(bm.bmBits, 0, bytesPerPixel * static_cast<uint32_t>(bm.bmWidth) * static_cast<uint32_t>(bm.bmHeight));
    return 1;
}

uint32_t GdiDdbCreate(DevContext* ctx) {
    GdiSurface* s = SurfaceOf(ctx);
    if (!s) return 0;
    // A create without a delete before it must not lose the DC and bitmap it replaces.
    GdiDdbDelete(ctx);
    uint16_t W, H;
    BackSize(ctx, true, &W, &H);
    // Rows wider than the largest 16-bit power of two cannot be described.
    if (W > 32768 || Reversed(ctx)) {
        ClearBackDescriptor(ctx);
        return 0;
    }
    uint32_t P = 1;
    while (P < W) P <<= 1;
    s->memoryDc = CreateCompatibleDC(nullptr);
    if (!s->memoryDc) {
        ClearBackDescriptor(ctx);
        return 0;
    }
    uint16_t pitchPixels = static_cast<uint16_t>(P);
    s->bitmap = MakeBitmap(ctx->hdc, static_cast<int>(P), H);
    if (!s->bitmap) {
        s->bitmap = MakeBitmap(ctx->hdc, static_cast<int>(P), 1);
        pitchPixels = 0;
    }
    if (!s->bitmap) {
        GdiDdbDelete(ctx);
        ClearBackDescriptor(ctx);
        return 0;
    }
    s->previousBitmap = SelectObject(s->memoryDc, s->bitmap);
    if (!GdiDdbAttach(ctx, pitchPixels)) {
        GdiDdbDelete(ctx);
        ClearBackDescriptor(ctx);
        return 0;
    }
    s->isDib = 0;
    return 1;
}

uint32_t GdiDdbResize(DevContext* ctx) {
    if (SurfaceOf(ctx) && SurfaceOf(ctx)->bitmap &&
        ctx->back.width == static_cast<uint16_t>(ctx->window.x1 - ctx->window.x0) &&
        ctx->back.height == static_cast<uint16_t>(ctx->window.y1 - ctx->window.y0))
        return 1;
    GdiDdbDelete(ctx);
    return GdiDdbCreate(ctx);
}

// ---- buffer exports ----

static uint32_t GdiFrontAndBack(DevContext* ctx, uint32_t mask, bool resize) {
    uint32_t result = 0;
    if (mask & DEV_BUFFER_FRONT) {
        ctx->front.width = static_cast<uint16_t>(ctx->window.x1 - ctx->window.x0);
        ctx->front.height = static_cast<uint16_t>(ctx->window.y1 - ctx->window.y0);
        ctx->front.pitch = 0;
        result |= DEV_BUFFER_FRONT;
    }
    if (mask & DEV_BUFFER_BACK) {
        uint32_t made;
        if (g_useDib)
            made = resize ? GdiDibResize(ctx) : GdiDibCreate(ctx);
        else
            made = resize ? GdiDdbResize(ctx) : GdiDdbCreate(ctx);
        if (made) result |= DEV_BUFFER_BACK;
    }
    return result;
}

uint32_t GdiBufferCreate(DevContext* ctx, uint16_t mask) { return GdiFrontAndBack(ctx, mask, false); }

uint32_t GdiBufferResize(DevContext* ctx, uint16_t mask, uint16_t how) { return GdiFrontAndBack(ctx, mask, true); }

uint32_t GdiBufferDelete(DevContext* ctx, uint16_t mask) {
    if (g_useDib)
        GdiDibDelete(ctx);
    else
        GdiDdbDelete(ctx);
    return DEV_BUFFER_FRONT | DEV_BUFFER_BACK;
}

uint32_t GdiBufferNotify(DevContext*, uint16_t, uint16_t) { return 1; }
uint32_t GdiContextSwitch(DevContext*, uint16_t) { return 1; }
uint32_t GdiContextValidate(DevContext*) { return 1; }

// ---- present ----

uint32_t GdiTranslate8(DevContext* ctx) {
    const uint8_t* t8 = ctx->translate8;
    const uint16_t* t16 = ctx->translate16;
    if (!t8 || !t16 || !ctx->back.bits) return 1;
    uint8_t* row = DevBufferBits(&ctx->back);
    // A one-row buffer (pitch 0) shares that row: translating it once is enough.
    uint32_t rows = ctx->back.pitch == 0 && ctx->back.height ? 1 : ctx->back.height;
    for (uint32_t y = 0; y < rows; ++y) {
        uint8_t* p = row;
        uint32_t n = ctx->back.width;
        if (n && (reinterpret_cast<uintptr_t>(p) & 1)) {
            *p = t8[*p];
            ++p;
            --n;
        }
        for (; n > 1; n -= 2, p += 2) {
            uint16_t v = static_cast<uint16_t>(p[0] | (p[1] << 8));
            uint16_t t = t16[v];
            p[0] = static_cast<uint8_t>(t);
            p[1] = static_cast<uint8_t>(t >> 8);
        }
        if (n) *p = t8[*p];
        row += ctx->back.pitch;
    }
    return 1;
}

// Copies a source rectangle of the DIB to a destination rectangle. A
// one-row block (pitch 0) is stretched over every destination row.
static void PresentDib(DevContext* ctx, GdiSurface* s, int dx, int dy, int dw, int dh, int sx, int sTop, int sw, int sh,
                       bool stretch) {
    BITMAPINFOHEADER* hdr = static_cast<BITMAPINFOHEADER*>(s->bitmapInfo);
    HDC hdc = ctx->hdc;
    int height = ctx->back.height;
    if (ctx->back.pitch == 0) {
        LONG savedHeight = hdr->biHeight;
        hdr->biHeight = 1;
        StretchDIBits(hdc, dx, dy, dw, dh, sx, 0, sw, 1, s->dibBits, reinterpret_cast<BITMAPINFO*>(hdr), DIB_PAL_COLORS,
                      SRCCOPY);
        hdr->biHeight = savedHeight;
        return;
    }
    int sBottomUp = height - (sTop + sh);  // DIB rows count from the bottom
    if (stretch)
        StretchDIBits(hdc, dx, dy, dw, dh, sx, sBottomUp, sw, sh, s->dibBits, reinterpret_cast<BITMAPINFO*>(hdr),
                      DIB_PAL_COLORS, SRCCOPY);
    else
        SetDIBitsToDevice(hdc, dx, dy, static_cast<DWORD>(dw), static_cast<DWORD>(dh), sx, sBottomUp, 0,
                          static_cast<UINT>(height), s->dibBits, reinterpret_cast<BITMAPINFO*>(hdr), DIB_PAL_COLORS);
}

uint32_t GdiPresentZoom2(DevContext* ctx) {
    GdiSurface* s = SurfaceOf(ctx);
    int left = ctx->update.x0, top = ctx->update.y0;
    int w = ctx->update.x1 - left, h = ctx->update.y1 - top;
    int sx = left >> 1, sy = top >> 1, sw = w >> 1, sh = h >> 1;
    if (s->isDib && s->bitmapInfo)
        PresentDib(ctx, s, left, top, w, h, sx, sy, sw, sh, true);
    else if (!s->isDib && s->memoryDc)
        StretchBlt(ctx->hdc, left, top, w, h, s->memoryDc, sx, ctx->back.pitch ? sy : 0, sw, ctx->back.pitch ? sh : 1,
                   SRCCOPY);
    return 1;
}

uint32_t DEVPROC GdiPresent(DevContext* ctx) {
    GdiSurface* s = SurfaceOf(ctx);
    // Only a back buffer this driver made is read; the descriptor's flags
    // alone may be whatever the record held when it was handed over.
    bool made = s && (s->isDib ? s->bitmapInfo != nullptr : s->memoryDc != nullptr);
    if (!made || !(ctx->back.flags & DEVBUF_VALID)) return 1;
    if (ctx->translate && g_gdiBitsPerPixel == 8) GdiTranslate8(ctx);
    if (DevZoomed2(ctx)) {
        GdiPresentZoom2(ctx);
        return 1;
    }
    int left = ctx->update.x0, top = ctx->update.y0;
    int w = ctx->update.x1 - left, h = ctx->update.y1 - top;
    if (s->isDib && s->bitmapInfo)
        PresentDib(ctx, s, left, top, w, h, left, top, w, h, false);
    else if (!s->isDib && s->memoryDc && ctx->back.pitch == 0)
        StretchBlt(ctx->hdc, left, top, w, h, s->memoryDc, left, 0, w, 1, SRCCOPY);  // the one shared row
    else if (!s->isDib && s->memoryDc)
        BitBlt(ctx->hdc, left, top, w, h, s->memoryDc, left, top, SRCCOPY);
    return 1;
}
