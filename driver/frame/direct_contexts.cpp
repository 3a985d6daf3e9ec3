// Direct path: per-context driver blocks, DCI surfaces and window watches,
// the dirty-block width, validation through the family selectors, and the
// dirty marking of rectangle copies.
#include "paths.h"
#include "select.h"

#include "bpp16/fixed.h"

uint32_t g_dirtyWidthClass = 0xffffffffu;
uint32_t g_directContextCount;
// The primary surface that DevInitialize created. Contexts share it; only
// surfaces a context made for itself are destroyed with that context.
DciSurfaceInfo* g_moduleSurface;

void DirectAdoptModuleSurface(DciSurfaceInfo* surface) { g_moduleSurface = surface; }

void DirectReleaseModuleSurface()
{
    if (g_dciWin95 && g_moduleSurface) DevDciDestroySurface(g_moduleSurface);
    g_moduleSurface = 0;
}

static void ReleaseContextSurface(DriverBlock* block)
{
    DciSurfaceInfo* surface = block->dciSurface;
    if (surface && surface != g_moduleSurface) DevDciDestroySurface(surface);
    block->dciSurface = 0;
}

// A new primary surface of the context's own, or 0. A surface the manager
// made but refused is destroyed here; a pointer the manager left from an
// earlier creation belongs to someone else and is not taken.
static DciSurfaceInfo* CreateOwnSurface()
{
    DciSurfaceInfo* before = DevDciGetSurface();
    if (DevDciCreateSurface()) return DevDciGetSurface();
    DciSurfaceInfo* after = DevDciGetSurface();
    if (after && after != before) DevDciDestroySurface(after);
    return 0;
}

// The words of a context record that are the driver's, as a fresh context
// has them: the library hands the record over without promising it is
// zeroed, and nothing the driver later follows may come from before.
static void ForgetContextWords(DevContext* ctx)
{
    ctx->procs = 0;
    ctx->driverBlock = 0;
    ctx->front.extra = ctx->back.extra = ctx->depth.extra = 0;
    ctx->dirtyA = ctx->dirtyB = 0;
    ctx->dirtyRows = 0;
}

uint32_t DirectContextCreate(DevContext* ctx)
{
    ForgetContextWords(ctx);
    DriverBlock* block = (DriverBlock*)VnrDevMalloc(sizeof(DriverBlock));
    if (!block) return 0;
    ctx->driverBlock = block;
    ctx->procs = &block->procs;
    g_directContextCount += 1;
    if (g_dciWin95) {
        DciSurfaceInfo* surface = g_moduleSurface;
        if (g_directContextCount > 1) {
            DevDciLoadManager();
            surface = CreateOwnSurface();
        }
        block->dciSurface = surface;
        block->hwnd = GetWindowFromDC(ctx->hdc);
        block->winWatch = DevWinWatchOpen(block->hwnd);
    }
    ctx->caps = 0x810;
    return 1;
}

uint32_t DirectContextDelete(DevContext* ctx)
{
    DriverBlock* block = (DriverBlock*)ctx->driverBlock;
    if (!block) return 1;
    if (g_directContextCount) g_directContextCount -= 1;
    if (g_dciWin95) {
        if (block->winWatch) DevWinWatchClose(block->winWatch);
        block->winWatch = 0;
        ReleaseContextSurface(block);
    }
    VnrDevFree(block);
    ctx->driverBlock = 0;
    ctx->procs = 0;
    return 1;
}

// Event 0x400: the display surface was rebuilt. On failure the old
// geometry stays and the context has no surface, so presents are refused
// access instead of writing through the destroyed one; a later notify retries.
void DirectRebuildSurface(DevContext* ctx)
{
    DriverBlock* block = (DriverBlock*)ctx->driverBlock;
    if (!block) return;
    DciSurfaceInfo* old = block->dciSurface;
    bool wasModule = old && old == g_moduleSurface;
    if (old) DevDciDestroySurface(old);
    block->dciSurface = 0;
    if (wasModule) g_moduleSurface = 0;
    DciSurfaceInfo* before = DevDciGetSurface();
    uint32_t address = DevDciCreateSurface();
    DciSurfaceInfo* s = DevDciGetSurface();
    if (!address || !s) {
        if (s && s != before && s != old) DevDciDestroySurface(s);
        return;
    }
    g_frameBuffer = address;
    block->dciSurface = s;
    if (wasModule) g_moduleSurface = s;
    g_screenWidth = s->dwWidth;
    g_screenHeight = s->dwHeight;
    g_screenPitch = (uint32_t)s->lStride;
    DevBuffer* f = &ctx->front;
    f->width = (uint16_t)g_screenWidth;
    f->height = f->rows = (uint16_t)g_screenHeight;
    f->pitch = (int16_t)g_screenPitch;
    f->bits = f->bitsCopy = g_frameBuffer + (uint32_t)(int32_t)ctx->window.y0 * g_screenPitch +
                            (uint32_t)(int32_t)ctx->window.x0 * g_bytesPerPixel;
}

uint32_t DirectContextSwitch(DevContext* ctx, uint16_t n)
{
    if (n != 1) return 1;
    uint32_t w = (uint32_t)(ctx->window.x1 - ctx->window.x0);
    uint32_t cls = w <= 512 ? 0 : w <= 1024 ? 1 : w <= 2048 ? 2 : 3;
    if (cls == g_dirtyWidthClass) return 1;
    static const uint8_t shifts[4] = {5, 5, 6, 7};
    g_dirtyShift = shifts[cls];
    g_dirtyWidthClass = cls;
    DirtyMarkAll(ctx);
    return 1;
}

uint32_t DirectContextValidate(DevContext* ctx)
{
    switch (g_bytesPerPixel) {
    case 1: BPP08_DevSelectProcs(ctx); break;
    case 2: BPP16_DevSelectProcs(ctx); break;
    case 3: BPP24_DevSelectProcs(ctx); break;
    case 4: BPP32_DevSelectProcs(ctx); break;
    default: break;
    }
    return 1;
}

uint32_t RectIntersect(const DevRect16* a, const DevRect16* b, DevRect16* out)
{
    int16_t x0 = a->x0 > b->x0 ? a->x0 : b->x0;
    int16_t y0 = a->y0 > b->y0 ? a->y0 : b->y0;
    int16_t x1 = a->x1 < b->x1 ? a->x1 : b->x1;
    int16_t y1 = a->y1 < b->y1 ? a->y1 : b->y1;
    if (x1 <= x0 || y1 <= y0) return 0;
    out->x0 = x0;
    out->y0 = y0;
    out->x1 = x1;
    out->y1 = y1;
    return 1;
}

uint32_t DEVPROC DirtyMarkCopy(DevContext* ctx, uint32_t a1, uint32_t a2, uint32_t width, uint32_t height,
                                  uint32_t a5, uint32_t srcX, uint32_t srcY, uint32_t dstX, uint32_t dstY,
                                  uint32_t a10, uint32_t a11)
{
    int16_t sx = (int16_t)srcX, sy = (int16_t)srcY;
    int16_t x = (int16_t)dstX, y = (int16_t)dstY;
    int32_t w = (uint16_t)width, h = (uint16_t)height;
    if (sx < 0) {
        x = (int16_t)(x - sx);
        w += sx;
    }
    if (sy < 0) {
        y = (int16_t)(y - sy);
        h += sy;
    }
    DevRect16 r = {x, y, (int16_t)(x + w), (int16_t)(y + h)};
    DevRect16 clip;
    if (!RectIntersect(&r, &ctx->update, &clip)) return 0;
    uint32_t* dirty = ctx->dirtyA;
    if (dirty) {
        // Only rows the mask has: under zoom the update rectangle is in
        // window pixels while the mask counts back-buffer rows. Blocks follow
        // the rasterizers' rule (block 31 stands for everything to its right).
        int32_t x0 = clip.x0 < 0 ? 0 : clip.x0;
        int32_t y0 = clip.y0 < 0 ? 0 : clip.y0;
        int32_t y1 = clip.y1 > (int32_t)ctx->dirtyRows ? (int32_t)ctx->dirtyRows : clip.y1;
        if (clip.x1 > 0) {
            uint32_t bits = raster::DirtySpanBits((uint32_t)x0, (uint32_t)clip.x1, g_dirtyShift & 0xff);
            for (int32_t row = y0; row < y1; ++row) dirty[row] |= bits;
        }
    }
    return ctx->baseProcs->copyRect(ctx, a1, a2, width, height, a5, srcX, srcY, dstX, dstY, a10, a11);
}
