// The block pieces of the clear and the present, shared by every family:
// each row of a rectangle is cut at the DirtyMask block boundaries (blocks
// of 2^s pixels) into a head up to the first boundary, whole blocks and a
// tail, and only the pieces whose block is marked are touched. Block 31
// stands for everything to its right, as in the rasterizers' marking, so no
// bit is ever shifted by 32 or more.
//
// The families supply only their pixel handling: a fill for the clear and a
// plain and a doubling copy for the present, each for n pixels. Everything
// else (rectangles, zoom, DCI access, clip refresh, the masks) is here once.
#pragma once

#include "frame/globals.h"
#include "frame/services.h"  // DCI access and the window watch
#include "bpp16/fixed.h"
#include "bpp16/trapezoid.h"
#include "bpp16/trapwalk.h"  // Store16, Store32, Load32

#include <string.h>

namespace raster {

inline uint32_t BlockBit(uint32_t k) { return 1u << (k < 31 ? k : 31); }

// How a row of w pixels from column left splits into pieces. A row narrower
// than a block has at most two pieces, its parts in the two blocks it can
// touch, each tested with its own block's bit (a change in the right block
// is never missed). A wider row has a head when left is inside a block,
// whole blocks, and a tail that the clear writes without a test (it is only
// ever the clear colour again) and the present tests with its block's bit.
struct BlockPieces {
    uint32_t head, headBit;
    uint32_t blocks, firstBlock;
    uint32_t tail, tailBit;
    bool tailTested;
    uint32_t blockPixels;

    BlockPieces(uint32_t left, uint32_t w, unsigned s, bool clearTail) {
        s &= 31;
        blockPixels = 1u << s;
        const uint32_t kl = left >> s;
        const uint32_t into = left & (blockPixels - 1);
        headBit = BlockBit(kl);
        if (w < blockPixels) {
            head = blockPixels - into < w ? blockPixels - into : w;
            blocks = 0;
            firstBlock = kl + 1;
            tail = w - head;
            tailBit = BlockBit(kl + 1);
            tailTested = true;
        } else {
            head = into ? blockPixels - into : 0;
            firstBlock = kl + (into ? 1 : 0);
            blocks = (w - head) >> s;
            tail = (w - head) & (blockPixels - 1);
            tailBit = BlockBit(firstBlock + blocks);
            tailTested = !clearTail;
        }
    }

    // op(offset, n) for every run of consecutive marked pieces, offsets and
    // counts in pixels from left.
    template <class Op>
    void Row(uint32_t mask, Op&& op) const {
        uint32_t at = 0, runStart = 0, runLength = 0;
        auto take = [&](uint32_t n, bool marked) {
            if (marked) {
                if (!runLength) runStart = at;
                runLength += n;
            } else if (runLength) {
                op(runStart, runLength);
                runLength = 0;
            }
            at += n;
        };
        if (head) take(head, (mask & headBit) != 0);
        for (uint32_t i = 0; i < blocks; ++i) take(blockPixels, (mask & BlockBit(firstBlock + i)) != 0);
        if (tail) take(tail, !tailTested || (mask & tailBit) != 0);
        if (runLength) op(runStart, runLength);
    }
};

inline uint8_t* Ptr(uint32_t address) { return reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(address)); }
inline uint32_t SignedPitch(int16_t pitch) { return static_cast<uint32_t>(static_cast<int32_t>(pitch)); }

inline bool Zoomed2(const DevContext* ctx) { return DevZoomed2(ctx); }

// A rectangle in back-buffer pixels; with zoom 2 every coordinate of the
// window rectangle is halved (arithmetic), so the clear covers exactly what
// the present copies. Limited to the buffer and the mask rows, so a
// rectangle the library got wrong cannot write outside them.
struct BackRect {
    int32_t left, top, right, bottom;
    BackRect(const DevRect16& r, bool zoom, uint32_t width, uint32_t rows) {
        const unsigned h = zoom ? 1 : 0;
        left = r.x0 >> h;
        top = r.y0 >> h;
        right = r.x1 >> h;
        bottom = r.y1 >> h;
        if (left < 0) left = 0;
        if (top < 0) top = 0;
        if (right > static_cast<int32_t>(width)) right = static_cast<int32_t>(width);
        if (bottom > static_cast<int32_t>(rows)) bottom = static_cast<int32_t>(rows);
    }
    bool Empty() const { return right <= left || bottom <= top; }
};

// ---------------------------------------------------------------- fills

// n copies of the word w from p on: the string store, which the processor
// runs at memset speed without vector registers.
inline uint8_t* StoreWords(uint8_t* p, uint32_t n, uint32_t w) {
    asm volatile("cld\n\trep stosl" : "+D"(p), "+c"(n) : "a"(w) : "memory", "cc");
    return p;
}

// 16-bit values (the 16-bit pixel, a depth value): words of the pattern
// where they fit, the pattern's low half at the ends; a single value at the
// start advances step bytes (the pixel, or g_depthStep for depth).
inline void Fill16(uint8_t* p, uint32_t n, uint32_t pattern, uint32_t step = 2) {
    if (n && (reinterpret_cast<uintptr_t>(p) & 2)) {
        Store16(p, pattern);
        p += step;
        --n;
    }
    p = StoreWords(p, n >> 1, pattern);
    if (n & 1) Store16(p, pattern);
}

// -------------------------------------------------------------- the clear

// The clear of every family: fill(p, n, y) fills n pixels at p of buffer
// row y with the clear colour. Returns the handled bits; A ends empty.
template <uint32_t Bpp, class Fill>
inline uint32_t BlockClear(DevContext* ctx, uint32_t what, Fill&& fill) {
    uint32_t result = 0;
    uint32_t* const dirtyA = ctx->dirtyA;
    const unsigned s = g_dirtyShift & 0xff;
    const bool zoom = Zoomed2(ctx);
    if (what & DEV_CLEAR_COLOR) {
        result |= DEV_CLEAR_COLOR;
        const DevBuffer* b = ctx->drawBuffer;
        if (b && b->bits && dirtyA) {
            const uint32_t rows = b->height < ctx->dirtyRows ? b->height : ctx->dirtyRows;
            const BackRect r(ctx->update, zoom, b->width, rows);
            if (!r.Empty()) {
                const BlockPieces pieces(r.left, r.right - r.left, s, true);
                const uint32_t pitch = SignedPitch(b->pitch);
                uint32_t row = b->bits + r.top * pitch + r.left * Bpp;
                for (int32_t y = r.top; y < r.bottom; ++y, row += pitch) {
                    const uint32_t m = dirtyA[y];
                    if (!m) continue;
                    uint8_t* const p = Ptr(row);
                    pieces.Row(m, [&](uint32_t at, uint32_t n) { fill(p + at * Bpp, n, static_cast<uint32_t>(y)); });
                }
            }
        }
    }
    if (what & DEV_BUFFER_DEPTH) {
        result |= DEV_BUFFER_DEPTH;
        const DevBuffer* d = &ctx->depth;
        if ((ctx->state & DEV_DEPTH) && d->bits && dirtyA) {
            const uint32_t rows = d->height < ctx->dirtyRows ? d->height : ctx->dirtyRows;
            const BackRect r(ctx->update, zoom, d->width, rows);
            if (!r.Empty()) {
                const BlockPieces pieces(r.left, r.right - r.left, s, true);
                const uint32_t pitch = SignedPitch(d->pitch);
                const uint32_t value = ctx->depthClear;
                uint32_t row = d->bits + r.top * pitch + r.left * 2;
                for (int32_t y = r.top; y < r.bottom; ++y, row += pitch) {
                    const uint32_t m = dirtyA[y];
                    if (!m) continue;
                    uint8_t* const p = Ptr(row);
                    pieces.Row(m, [&](uint32_t at, uint32_t n) { Fill16(p + at * 2, n, value, g_depthStep); });
                }
            }
        }
    }
    if (dirtyA) memset(dirtyA, 0, 4 * ctx->dirtyRows);
    return result;
}

// ------------------------------------------------------------ the present

// Copy policy C of a family's present:
//   void Plain(uint8_t* dst, const uint8_t* src, uint32_t n) const;
//   void Double(uint8_t* dst, uint8_t* dst2, const uint8_t* src, uint32_t n) const;
//                           each source pixel twice on both destination rows
template <uint32_t Bpp, class C>
inline uint32_t BlockPresent(DevContext* ctx, const C& copy) {
    uint32_t* const dirtyA = ctx->dirtyA;
    uint32_t* const dirtyB = ctx->dirtyB;
    if (!dirtyA || !dirtyB) return 1;
    const uint32_t rows = ctx->dirtyRows;
    if (g_repaintAll == 1 || ctx->repaint) {
        memset(dirtyA, 0xff, 4 * rows);
        g_repaintAll = 0;
    }
    DriverBlock* const block = ctx->driverBlock;
    if (g_dciWin95) {
        if (!block) return 1;
        if (DevDciBeginAccess(block->dciSurface, 0, 0, static_cast<int32_t>(g_screenWidth - 1),
                              static_cast<int32_t>(g_screenHeight - 1)) != 0)
            return 1;
        if (DevWinWatchChanged(block->winWatch) && ctx->clipRects) {
            uint32_t topLeft, bottomRight;
            memcpy(&topLeft, &ctx->window.x0, 4);
            memcpy(&bottomRight, &ctx->window.x1, 4);
            int32_t n = DevWinWatchGetRects(block->winWatch, block->hwnd, topLeft, bottomRight, ctx->clipRects);
            if (n < 0) n = 0;
            if (n > DEV_MAX_CLIP_RECTS) n = DEV_MAX_CLIP_RECTS;
            ctx->clipCount = static_cast<uint32_t>(n);
            ctx->clipCountCopy = static_cast<uint32_t>(n);
            if (ctx->clipRectsCopy) memcpy(ctx->clipRectsCopy, ctx->clipRects, 8 * n);
            ctx->changeFlags |= DEV_CHANGE_CLIP;
            if (ctx->clipChanged) ctx->clipChanged(ctx);
        }
    }

    const unsigned s = g_dirtyShift & 0xff;
    const bool zoom = Zoomed2(ctx);
    const DevBuffer& back = ctx->back;
    const uint32_t backRows = back.height < rows ? back.height : rows;
    const uint32_t backPitch = SignedPitch(back.pitch);
    const uint32_t screenPitch = g_screenPitch;
    uint32_t count = ctx->clipRects ? ctx->clipCount : 0;
    if (count > DEV_MAX_CLIP_RECTS) count = DEV_MAX_CLIP_RECTS;
    // A visible rectangle never reaches outside the window in the frame buffer.
    const int16_t windowW = static_cast<int16_t>(ctx->window.x1 - ctx->window.x0);
    const int16_t windowH = static_cast<int16_t>(ctx->window.y1 - ctx->window.y0);
    for (uint32_t i = 0; i < count; ++i) {
        DevRect16 visible = ctx->clipRects[i];
        if (visible.x1 > windowW) visible.x1 = windowW;
        if (visible.y1 > windowH) visible.y1 = windowH;
        const BackRect r(visible, zoom, back.width, backRows);
        if (r.Empty()) continue;
        const BlockPieces pieces(r.left, r.right - r.left, s, false);
        uint32_t src = back.bits + r.top * backPitch + r.left * Bpp;
        if (!zoom) {
            uint32_t dst = ctx->front.bits + r.top * screenPitch + r.left * Bpp;
            for (int32_t y = r.top; y < r.bottom; ++y, src += backPitch, dst += screenPitch) {
                const uint32_t m = dirtyA[y] | dirtyB[y];
                if (!m) continue;
                uint8_t* const d = Ptr(dst);
                const uint8_t* const sp = Ptr(src);
                pieces.Row(m, [&](uint32_t at, uint32_t n) { copy.Plain(d + at * Bpp, sp + at * Bpp, n); });
            }
        } else {
            uint32_t dst = ctx->front.bits + 2 * (r.top * screenPitch + r.left * Bpp);
            for (int32_t y = r.top; y < r.bottom; ++y, src += backPitch, dst += 2 * screenPitch) {
                const uint32_t m = dirtyA[y] | dirtyB[y];
                if (!m) continue;
                uint8_t* const d = Ptr(dst);
                uint8_t* const d2 = Ptr(dst + screenPitch);
                const uint8_t* const sp = Ptr(src);
                pieces.Row(m, [&](uint32_t at, uint32_t n) {
                    copy.Double(d + 2 * at * Bpp, d2 + 2 * at * Bpp, sp + at * Bpp, n);
                });
            }
        }
    }

    memcpy(dirtyB, dirtyA, 4 * rows);
    if (g_dciWin95) DevDciEndAccess(block->dciSurface);
    return 1;
}

// ------------------------------------------------------- the set colour

// Channels of a colour in 8.16, and the packed colour the context keeps.
struct SetColorChannels {
    uint32_t red, green, blue;
    SetColorChannels(DevContext* ctx, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t c3, uint32_t separate) {
        if (separate) {
            red = c0;
            green = c1;
            blue = c2;
            ctx->color =
                ((c0 >> 16) & 0xff) | ((c1 >> 16) & 0xff) << 8 | ((c2 >> 16) & 0xff) << 16 | ((c3 >> 16) & 0xff) << 24;
        } else {
            red = (c0 & 0xff) << 16;
            green = ((c0 >> 8) & 0xff) << 16;
            blue = ((c0 >> 16) & 0xff) << 16;
            ctx->color = c0;
        }
    }
};

// A new packed clear colour is cleared and presented everywhere.
inline void SetColorMarks(DevContext* ctx, uint32_t separate, const void* out) {
    if (separate || out != ctx->clearPattern) return;
    if (ctx->dirtyA) memset(ctx->dirtyA, 0xff, 4 * ctx->dirtyRows);
    if (ctx->dirtyB) memset(ctx->dirtyB, 0xff, 4 * ctx->dirtyRows);
}

// ------------------------------------------------------- the forwarders

// Marks the rows of the trapezoid's chains in A, from the smaller to the
// larger end of each row, then hands the trapezoid to the library. Only
// rows the mask has are marked, and the walk stops past its last row.
inline uint32_t ForwardTrapezoids(DevContext* ctx, DevTrapEdge* left, DevTrapEdge* right, DevTrapGradients* g) {
    uint32_t* const dirty = ctx->dirtyA;
    if (dirty && left && right) {
        const unsigned s = g_dirtyShift & 0xff;
        const int32_t rows = static_cast<int32_t>(ctx->dirtyRows);
        const DevTrapEdge* l = left;
        const DevTrapEdge* r = right;
        int32_t y = static_cast<int32_t>(Sar(l->y, 16));
        uint32_t xl = l->x, xr = r->x;
        uint32_t nl = static_cast<uint32_t>(l->rowCount), nr = static_cast<uint32_t>(r->rowCount);
        while (y < rows) {
            uint32_t n = nl < nr ? nl : nr;
            nl -= n;
            nr -= n;
            for (; n && y < rows; --n, ++y) {
                const int32_t a = static_cast<int32_t>(Sar(xl, 16)), b = static_cast<int32_t>(Sar(xr, 16));
                if (a != b && y >= 0) {
                    int32_t lo = a < b ? a : b, hi = a < b ? b : a;
                    if (hi > 0)
                        dirty[y] |= DirtySpanBits(lo < 0 ? 0 : static_cast<uint32_t>(lo), static_cast<uint32_t>(hi), s);
                }
                xl += l->dxdy;
                xr += r->dxdy;
            }
            if (nl == 0 && nr == 0) break;
            if (nr == 0) {
                ++r;
                xr = r->x;
                nr = static_cast<uint32_t>(r->rowCount);
            }
            if (nl == 0) {
                ++l;
                xl = l->x;
                nl = static_cast<uint32_t>(l->rowCount);
            }
        }
    }
    return ctx->baseProcs->trapezoids(ctx, left, right, g);
}

// Lines go to the library; the next present repaints every row.
inline uint32_t ForwardLine(DevContext* ctx, DevLineRecord* line, uint32_t pass) {
    g_repaintAll = 1;
    return ctx->baseProcs->line(ctx, line, pass);
}

}  // namespace raster
