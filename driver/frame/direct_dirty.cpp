// Direct path: the dirty marking outside the rasterizers: both masks at
// once, the block width by window width class, and rectangle copies.
#include "frame/paths.h"

#include "bpp16/fixed.h"

uint32_t g_dirtyWidthClass = 0xffffffffu;

static void FillDirty(uint32_t* mask, uint32_t rows) {
    if (!mask) return;
    for (uint32_t r = 0; r < rows; ++r) mask[r] = 0xffffffffu;
}

void DirtyMarkAll(DevContext* ctx) {
    FillDirty(ctx->dirtyA, ctx->dirtyRows);
    FillDirty(ctx->dirtyB, ctx->dirtyRows);
}

uint32_t DirectContextSwitch(DevContext* ctx, uint16_t n) {
    if (n != 1) return 1;
    uint32_t w = static_cast<uint32_t>(ctx->window.x1 - ctx->window.x0);
    uint32_t cls = w <= 512 ? 0 : w <= 1024 ? 1 : w <= 2048 ? 2 : 3;
    if (cls == g_dirtyWidthClass) return 1;
    static const uint8_t shifts[4] = {5, 5, 6, 7};
    g_dirtyShift = shifts[cls];
    g_dirtyWidthClass = cls;
    DirtyMarkAll(ctx);
    return 1;
}

uint32_t RectIntersect(const DevRect16* a, const DevRect16* b, DevRect16* out) {
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

uint32_t DEVPROC DirtyMarkCopy(DevContext* ctx, uint32_t a1, uint32_t a2, uint32_t width, uint32_t height, uint32_t a5,
                               uint32_t srcX, uint32_t srcY, uint32_t dstX, uint32_t dstY, uint32_t a10, uint32_t a11) {
    int16_t sx = static_cast<int16_t>(srcX), sy = static_cast<int16_t>(srcY);
    int16_t x = static_cast<int16_t>(dstX), y = static_cast<int16_t>(dstY);
    int32_t w = static_cast<uint16_t>(width), h = static_cast<uint16_t>(height);
    if (sx < 0) {
        x = static_cast<int16_t>(x - sx);
        w += sx;
    }
    if (sy < 0) {
        y = static_cast<int16_t>(y - sy);
        h += sy;
    }
    DevRect16 r = {x, y, static_cast<int16_t>(x + w), static_cast<int16_t>(y + h)};
    DevRect16 clip;
    if (!RectIntersect(&r, &ctx->update, &clip)) return 0;
    uint32_t* dirty = ctx->dirtyA;
    if (dirty) {
        // Only rows the mask has: under zoom the update rectangle is in
        // window pixels while the mask counts back-buffer rows. Blocks follow
        // the rasterizers' rule (block 31 stands for everything to its right).
        int32_t x0 = clip.x0 < 0 ? 0 : clip.x0;
        int32_t y0 = clip.y0 < 0 ? 0 : clip.y0;
        int32_t y1 = clip.y1 > static_cast<int32_t>(ctx->dirtyRows) ? static_cast<int32_t>(ctx->dirtyRows) : clip.y1;
        if (clip.x1 > 0) {
            uint32_t bits =
                raster::DirtySpanBits(static_cast<uint32_t>(x0), static_cast<uint32_t>(clip.x1), g_dirtyShift & 0xff);
            for (int32_t row = y0; row < y1; ++row) dirty[row] |= bits;
        }
    }
    return ctx->baseProcs->copyRect(ctx, a1, a2, width, height, a5, srcX, srcY, dstX, dstY, a10, a11);
}
