// The trapezoid walk shared by every pixel family: the two edge chains, the
// row loop, the span bounds, DirtyMask A, the stepping of depth and colour
// along the left edge and along the span, and the depth test.
//
// A named rasterizer is DevTrapWalk<Pixel, Key, Light> for one pixel-format
// policy and one feature key (the selector's masked state word), so every
// feature is decided at compile time and the pixel loops test none.
//
// Pixel-format policy P:
//   static constexpr uint32_t kBytes;          bytes per pixel
//   struct Call { explicit Call(const DevContext*); };
//                                              per-call constants (pattern,
//                                              palette base, format tables)
//   template <class F> static uint32_t ScaleChannel(unsigned i, uint32_t v);
//                                              applied to channel i's left
//                                              value and both its gradients
//   template <class F> static void FillFlat(const Call&, uint8_t* p, uint32_t n, uint32_t y);
//                                              flat span without depth, n > 0
//   template <class F> static void StoreFlat(const Call&, uint8_t* p, uint32_t x, uint32_t y);
//   template <class F> static void StoreSmooth(const Call&, uint8_t* p, uint32_t c0,
//                                              uint32_t c1, uint32_t c2, uint32_t x, uint32_t y);
#pragma once

#include "frame/driver.h"
#include "bpp16/fixed.h"
#include "bpp16/trapezoid.h"

#include <string.h>

namespace raster {

// Features of a state key; see DEV_* in frame/driver.h.
template <uint32_t Key, uint32_t Light>
struct TrapFeatures {
    static constexpr uint32_t key = Key;
    static constexpr uint32_t light = Light;
    static constexpr bool textured = (Key & DEV_TEXTURE) != 0;
    static constexpr bool smooth = (Key & DEV_SMOOTH) != 0;
    static constexpr bool depth = (Key & DEV_DEPTH) != 0;
    static constexpr bool dither = (Key & DEV_DITHER) != 0;
    static constexpr bool colorIndex = (Key & DEV_COLORINDEX) != 0;
    // Channels stepped: three in RGB, channel 0 alone in colour-index mode.
    static constexpr unsigned channels = smooth ? (colorIndex ? 1u : 3u) : 0u;
    // Flat colour with depth follows z along the exact edge (64-bit product)
    // instead of at the span's first pixel.
    static constexpr bool exactEdgeDepth = depth && !smooth && !textured;
    static constexpr bool readsGradients = depth || smooth || textured;
};

// Left-end values and their steps.
template <class P, class F>
struct TrapLeftEdge {
    uint32_t k;            // integer part of the left dxdy
    uint32_t z, zRow, dz;
    uint32_t c[3], cRow[3], dc[3], dcRow[3];

    void Init(const DevTrapGradients* g) {
        if constexpr (F::depth) dz = g->dzdx;
        if constexpr (F::channels > 0) {
            const uint32_t dx[3] = {g->dch0dx, g->dch1dx, g->dch2dx};
            const uint32_t dy[3] = {g->dch0dy, g->dch1dy, g->dch2dy};
#pragma GCC unroll 3
            for (unsigned i = 0; i < F::channels; ++i) {
                dc[i] = P::template ScaleChannel<F>(i, dx[i]);
                dcRow[i] = P::template ScaleChannel<F>(i, dy[i]);
            }
        }
    }

    void Load(const DevTrapEdge* e, const DevTrapGradients* g) {
        k = Sar(e->dxdy, 16);
        if constexpr (F::depth) {
            z = e->z;
            if constexpr (F::exactEdgeDepth)
                zRow = MulHi16(dz, e->dxdy) + g->dzdy;
            else
                zRow = k * dz + g->dzdy;
        }
        if constexpr (F::channels > 0) {
            const uint32_t v[3] = {e->ch0, e->ch1, e->ch2};
#pragma GCC unroll 3
            for (unsigned i = 0; i < F::channels; ++i) {
                c[i] = P::template ScaleChannel<F>(i, v[i]);
                cRow[i] = k * dc[i] + dcRow[i];
            }
        }
    }

    // After a row; extra: the integer left end moved k + 1 columns.
    void Step(bool extra) {
        if constexpr (F::depth) {
            z += zRow;
            if constexpr (!F::exactEdgeDepth)
                if (extra) z += dz;
        }
#pragma GCC unroll 3
        for (unsigned i = 0; i < F::channels; ++i) {
            c[i] += cRow[i];
            if (extra) c[i] += dc[i];
        }
    }
};

// Pixels x .. x + n - 1 of row y, n > 0.
template <class P, class F>
inline void TrapSpan(const typename P::Call& pc, const TrapLeftEdge<P, F>& e, uint8_t* p,
                     uint16_t* zp, uint32_t n, uint32_t x, uint32_t y) {
    if constexpr (!F::depth && F::channels == 0) {
        P::template FillFlat<F>(pc, p, n, y);
    } else {
        uint32_t z = 0, c0 = 0, c1 = 0, c2 = 0;
        if constexpr (F::depth) z = e.z;
        if constexpr (F::channels > 0) c0 = e.c[0];
        if constexpr (F::channels > 1) { c1 = e.c[1]; c2 = e.c[2]; }
        const uint32_t end = x + n;
        do {
            bool draw = true;
            uint32_t d = 0;
            if constexpr (F::depth) {
                d = (z >> 12) & 0xffff;
                draw = d <= *zp;
            }
            if (draw) {
                if constexpr (F::channels > 0)
                    P::template StoreSmooth<F>(pc, p, c0, c1, c2, x, y);
                else
                    P::template StoreFlat<F>(pc, p, x, y);
                if constexpr (F::depth) *zp = static_cast<uint16_t>(d);
            }
            p += P::kBytes;
            if constexpr (F::depth) { ++zp; z += e.dz; }
            if constexpr (F::channels > 0) c0 += e.dc[0];
            if constexpr (F::channels > 1) { c1 += e.dc[1]; c2 += e.dc[2]; }
        } while (++x != end);
    }
}

template <class P, uint32_t Key, uint32_t Light = 0>
inline uint32_t DevTrapWalk(DevContext* ctx, const DevTrapEdge* left, const DevTrapEdge* right,
                            const DevTrapGradients* g) {
    using F = TrapFeatures<Key, Light>;
    static_assert(!F::textured, "texture paths are not part of this walk yet");

    const typename P::Call pc(ctx);
    const unsigned s = g_dirtyShift & 0xff;
    uint32_t* const dirty = ctx->dirtyA;

    // Row addresses are kept as integers: after the last row they may point
    // outside the buffer, which a pointer may not.
    uint32_t y = Sar(left->y, 16);
    const DevBuffer* db = ctx->drawBuffer;
    const uint32_t pitch = static_cast<uint32_t>(static_cast<int32_t>(db->pitch));
    uint32_t row = db->bits + y * pitch;
    uint32_t zPitch = 0, zRowAddr = 0;
    if constexpr (F::depth) {
        zPitch = static_cast<uint32_t>(static_cast<int32_t>(ctx->depth.pitch));
        zRowAddr = ctx->depth.bits + y * zPitch;
    }

    TrapLeftEdge<P, F> e;
    if constexpr (F::readsGradients) e.Init(g);
    e.Load(left, g);
    uint32_t xl = left->x, dxl = left->dxdy;
    int32_t nl = left->rowCount;
    uint32_t xr = right->x, dxr = right->dxdy;
    int32_t nr = right->rowCount;

    for (;;) {
        int32_t n = nl < nr ? nl : nr;
        nl -= n;
        nr -= n;
        for (; n > 0; --n) {
            const uint32_t xli = Sar(xl, 16), xri = Sar(xr, 16);
            if (static_cast<int32_t>(xri - xli) > 0) {
                dirty[y] |= DirtySpanBits(xli, xri, s);
                uint8_t* p = reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(row + xli * P::kBytes));
                uint16_t* zp = nullptr;
                if constexpr (F::depth)
                    zp = reinterpret_cast<uint16_t*>(static_cast<uintptr_t>(zRowAddr + xli * 2));
                TrapSpan<P, F>(pc, e, p, zp, xri - xli, xli, y);
            }
            const uint32_t xlOld = xl;
            xl += dxl;
            xr += dxr;
            e.Step(Sar(xl, 16) - Sar(xlOld, 16) != e.k);
            row += pitch;
            if constexpr (F::depth) zRowAddr += zPitch;
            ++y;
        }
        if (nl == 0 && nr == 0) return 1;
        if (nr == 0) {
            ++right;
            xr = right->x;
            dxr = right->dxdy;
            nr = right->rowCount;
        }
        if (nl == 0) {
            ++left;
            xl = left->x;
            dxl = left->dxdy;
            nl = left->rowCount;
            e.Load(left, g);
        }
    }
}

// Little-endian word stores into byte buffers without aliasing questions.
inline void Store32(uint8_t* p, uint32_t v) { memcpy(p, &v, 4); }
inline uint32_t Load32(const uint8_t* p) {
    uint32_t v;
    memcpy(&v, p, 4);
    return v;
}

}  // namespace raster
