// The rendering library's base procedure table: set colour, clear,
// trapezoids and present for back buffers of 1, 2, 3 and 4 bytes per pixel.
// They follow the driver's rules (edge walk, stepping, texel addressing,
// lighting and pixel formation), so that a frame drawn here and one drawn by
// the driver's own routines are the same; what differs is that these decide
// the state per call instead of per routine, and mark no dirty blocks (the
// driver's forwarders do that before they call here).
#include "library.h"

#include <string.h>

namespace vxnlib {
namespace {

inline uint32_t Sar(uint32_t v, unsigned n) { return static_cast<uint32_t>(static_cast<int32_t>(v) >> n); }

inline uint32_t MulHi16(uint32_t a, uint32_t b) {
    const int64_t p = static_cast<int64_t>(static_cast<int32_t>(a)) * static_cast<int32_t>(b);
    return static_cast<uint32_t>(static_cast<uint64_t>(p) >> 16);
}

inline uint32_t Load32(const uint8_t* p) {
    uint32_t v;
    memcpy(&v, p, 4);
    return v;
}

// ---- pixel formation per family ----

// The 8-bit RGB cube index of scaled channels with dither offset d.
inline uint32_t CubeIndex(uint32_t c0, uint32_t c1, uint32_t c2, uint32_t d, uint32_t base) {
    return ((((c0 + d) >> 16) & 0xe0) | (((c1 + d) >> 19) & 0x1c) | (((c2 + d) >> 22) & 0x03)) + base;
}

inline uint32_t Dither8(uint32_t x, uint32_t y) { return ((x << 19) ^ (y << 20)) & 0x180000; }

struct Fmt8 {
    static constexpr uint32_t kBytes = 1;
    // Without depth the fill stores whole words, so a pixel takes the
    // pattern byte of its address; with depth it takes that of its column.
    static uint32_t Flat(const DevContext* c, const uint8_t* p, uint32_t x, uint32_t y, bool dither, bool depth) {
        const uint32_t at = depth ? x & 3 : static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)) & 3;
        return dither ? c->fillPattern[8 * (y & 1) + at] : c->fillPattern[0];
    }
    static uint32_t Smooth(const PixelFormat& f, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t x, uint32_t y,
                           bool dither, bool index) {
        if (index) return (c0 + (dither ? ((x & 3) ^ ((y & 3) << 1)) << 14 : 0)) >> 16;
        return CubeIndex(c0, c1, c2, dither ? Dither8(x, y) : 0, f.paletteBase);
    }
    static uint32_t Texel(const PixelFormat& f, uint32_t t, uint32_t x, uint32_t y, bool dither) {
        if (!dither) return ((((t & 0xf8) << 3) & 0xff) | ((t >> 5) & 0x1c) | ((t >> 13) & 3)) + f.paletteBase;
        const uint32_t d = Dither8(x, y);
        const uint32_t r = t & 0x1f, g = (t >> 5) & 0x1f, b = (t >> 10) & 0x1f;
        const uint32_t red = ((((r << 19) + d) * 6) >> 19) & 0xe0;
        const uint32_t green = ((((g << 19) + d) * 7) >> 22) & 0x1c;
        const uint32_t blue = ((((b << 19) + d) * 7) >> 25) & 3;
        return (red | green | blue) + f.paletteBase;
    }
    static void Store(uint8_t* p, uint32_t v) { *p = static_cast<uint8_t>(v); }
};

struct Fmt16 {
    static constexpr uint32_t kBytes = 2;
    static uint32_t Flat(const DevContext* c, const uint8_t*, uint32_t, uint32_t, bool, bool) {
        return Load32(c->fillPattern) & 0xffff;
    }
    static uint32_t Smooth(const PixelFormat& f, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t, uint32_t, bool,
                           bool) {
        return ((c0 & f.composeMask[0]) >> f.composeShift[0]) | ((c1 & f.composeMask[1]) >> f.composeShift[1]) |
               ((c2 & f.composeMask[2]) >> f.composeShift[2]);
    }
    static uint32_t Texel(const PixelFormat& f, uint32_t w, uint32_t, uint32_t, bool) {
        return ((((w & 0x001f) << 19) >> f.texelShift[0]) & f.masks[0] & 0xffff) |
               ((((w & 0x03e0) << 14) >> f.texelShift[1]) & f.masks[1] & 0xffff) |
               ((((w & 0x7c00) << 9) >> f.texelShift[2]) & f.masks[2] & 0xffff);
    }
    static void Store(uint8_t* p, uint32_t v) {
        const uint16_t h = static_cast<uint16_t>(v);
        memcpy(p, &h, 2);
    }
};

// 24 bits: pixels are formed as v = red | green << 8 | blue << 16 and placed
// byte by byte; Store takes the three bytes packed low first.
inline uint32_t Place24(const PixelFormat& f, uint32_t v) {
    return (((v & f.byteMask[0]) >> f.byteShift[0]) & 0xff) | ((((v & f.byteMask[1]) >> f.byteShift[1]) & 0xff) << 8) |
           ((((v & f.byteMask[2]) >> f.byteShift[2]) & 0xff) << 16);
}

struct Fmt24 {
    static constexpr uint32_t kBytes = 3;
    static uint32_t Flat(const DevContext* c, const uint8_t*, uint32_t, uint32_t, bool, bool) {
        return Load32(c->fillPattern) & 0xffffff;
    }
    static uint32_t Smooth(const PixelFormat& f, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t, uint32_t, bool,
                           bool) {
        return Place24(f, ((c0 & 0xff0000) >> 16) | ((c1 & 0xff0000) >> 8) | (c2 & 0xff0000));
    }
    static uint32_t Texel(const PixelFormat& f, uint32_t t, uint32_t, uint32_t, bool) {
        return Place24(f, ((t & 0x1f) << 3) | ((t & 0x3e0) << 6) | ((t & 0x7c00) << 9));
    }
    static void Store(uint8_t* p, uint32_t v) {
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
        p[2] = static_cast<uint8_t>(v >> 16);
    }
};

struct Fmt32 {
    static constexpr uint32_t kBytes = 4;
    static uint32_t Flat(const DevContext* c, const uint8_t*, uint32_t, uint32_t, bool, bool) {
        return Load32(c->fillPattern);
    }
    static uint32_t Smooth(const PixelFormat& f, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t, uint32_t, bool,
                           bool) {
        return (((c0 >> 16) & 0xff) << f.shift32[0]) | (((c1 >> 16) & 0xff) << f.shift32[1]) |
               (((c2 >> 16) & 0xff) << f.shift32[2]);
    }
    static uint32_t Texel(const PixelFormat& f, uint32_t t, uint32_t, uint32_t, bool) {
        return (((t & 0x1f) << 3) << f.shift32[0]) | ((((t & 0x3e0) >> 5) << 3) << f.shift32[1]) |
               ((((t & 0x7c00) >> 10) << 3) << f.shift32[2]);
    }
    static void Store(uint8_t* p, uint32_t v) { memcpy(p, &v, 4); }
};

// ---- texels and light ----

inline uint32_t TexelIndex(const DevTexture* t, uint32_t u, uint32_t v) {
    switch (t->addressMode) {
    case TEXADDR_POW2: return (((v & t->vMask) >> 21) << (t->rowShift & 31)) + ((u & t->uMask) >> 21);
    case TEXADDR_POW2_SUM:
        return ((v & t->vMask) >> 21) * ((1u << (t->rowShift & 31)) + (1u << (t->rowShift2 & 31))) +
               ((u & t->uMask) >> 21);
    default: return (((v & 0x1fffff) * t->height) >> 21) * t->width + (((u & 0x1fffff) * t->width) >> 21);
    }
}

// The lit 15-bit colour of texel t (see the lighting modes in frame/records.h).
inline uint32_t Light(uint32_t mode, bool flat, uint32_t t, const uint32_t* c, const uint32_t* amount) {
    const uint32_t tc[3] = {t & 0x1f, (t >> 5) & 0x1f, (t >> 10) & 0x1f};
    uint32_t out = 0;
    switch (mode) {
    case DEV_LIGHT_MR:
        for (int i = 0; i < 3; ++i) {
            const uint32_t a = flat ? amount[i] : 31 - ((c[i] >> 19) & 0x1f);
            out |= (tc[i] > a ? tc[i] - a : 0) << (5 * i);
        }
        return out;
    case DEV_LIGHT_MM:
        for (int i = 0; i < 3; ++i) out |= Sar(tc[i] * c[0], 24) << (5 * i);
        return out & 0xffff;
    case DEV_LIGHT_MS:
        for (int i = 0; i < 3; ++i) {
            uint32_t s = ((tc[i] * c[0]) >> 5) + c[1];
            if (s >= 0x01000000) s = 0x00ffffff;
            out |= (s >> 19) << (5 * i);
        }
        return out;
    default: return t;
    }
}

// ---- the trapezoid walk ----

enum { kNoTexture = 0, kAffine = 1, kPerspective = 2 };

struct Coord {  // one perspective texture coordinate's working values
    uint32_t U, D, E, A, B, C, kA, H, kB;
    void Load(uint32_t u, uint32_t stepX, uint32_t stepY, uint32_t k) {
        U = u;
        D = stepX;
        E = stepY;
        kA = k * A;
        H = Sar(kA - A, 1);
        kB = k * B;
    }
    void Row(uint32_t k, bool extra) {
        D += B;
        U += (H + D) * k + E;
        D += kA;
        E += C + kB;
        if (extra) {
            U += D;
            D += A;
            E += B;
        }
    }
};

template <class F, int Tex, bool Depth>
uint32_t Walk(const PixelFormat& fmt, DevContext* ctx, const DevTrapEdge* left, const DevTrapEdge* right,
              const DevTrapGradients* g) {
    const uint32_t state = ctx->state;
    const bool smooth = (state & DEV_SMOOTH) != 0;
    const bool dither = F::kBytes == 1 && (state & DEV_DITHER);
    const bool index = F::kBytes == 1 && (state & DEV_COLORINDEX);
    const bool key = Tex && (state & DEV_COLORKEY);
    const uint32_t light = Tex && !index && (state & DEV_MODULATE) ? ctx->lightMode : 0;
    const bool lightFlat = light == DEV_LIGHT_MR && !smooth;
    const bool channels = Tex ? light != 0 && !lightFlat : smooth;
    const bool scale8 = F::kBytes == 1 && !Tex && !index;
    const bool exactDepth = Depth && !Tex && !smooth;
    const uint32_t colorKey = ctx->colorKey;
    const DevTexture* tex = Tex ? ctx->texture : nullptr;
    uint32_t amount[3] = {0, 0, 0};
    if (lightFlat)
        for (int i = 0; i < 3; ++i) amount[i] = 31 - (((ctx->color >> (8 * i)) & 0xff) >> 3);
    auto scale = [&](int i, uint32_t v) { return scale8 ? Sar(v * (i == 0 ? 6u : 7u), 3) : v; };

    uint32_t y = Sar(left->y, 16);
    const DevBuffer* db = ctx->drawBuffer;
    const uint32_t pitch = static_cast<uint32_t>(static_cast<int32_t>(db->pitch));
    uint32_t row = db->bits + y * pitch;
    const uint32_t zPitch = Depth ? static_cast<uint32_t>(static_cast<int32_t>(ctx->depth.pitch)) : 0;
    uint32_t zRowAddr = Depth ? ctx->depth.bits + y * zPitch : 0;

    const uint32_t dz = g->dzdx;
    const uint32_t dc[3] = {scale(0, g->dch0dx), scale(1, g->dch1dx), scale(2, g->dch2dx)};
    const uint32_t dcRow[3] = {scale(0, g->dch0dy), scale(1, g->dch1dy), scale(2, g->dch2dy)};
    uint32_t k = 0, z = 0, zRow = 0, c[3] = {0, 0, 0}, cRow[3] = {0, 0, 0};
    uint32_t u = 0, v = 0, uRow = 0, vRow = 0;
    Coord pu, pv;
    pu.A = g->d2udx2;
    pu.B = g->d2udxdy;
    pu.C = g->d2udy2;
    pv.A = g->d2vdx2;
    pv.B = g->d2vdxdy;
    pv.C = g->d2vdy2;

    auto load = [&](const DevTrapEdge* e) {
        k = Sar(e->dxdy, 16);
        z = e->z;
        zRow = exactDepth ? MulHi16(dz, e->dxdy) + g->dzdy : k * dz + g->dzdy;
        const uint32_t ch[3] = {e->ch0, e->ch1, e->ch2};
        for (int i = 0; i < 3; ++i) {
            c[i] = scale(i, ch[i]);
            cRow[i] = k * dc[i] + dcRow[i];
        }
        if (Tex == kAffine) {
            u = e->u;
            v = e->v;
            uRow = Sar(g->dudx, 16) * e->dxdy + g->dudy;
            vRow = Sar(g->dvdx, 16) * e->dxdy + g->dvdy;
        }
        if (Tex == kPerspective) {
            pu.Load(e->u, e->uStepX, e->uStepY, k);
            pv.Load(e->v, e->vStepX, e->vStepY, k);
        }
    };

    load(left);
    uint32_t xl = left->x, dxl = left->dxdy, xr = right->x, dxr = right->dxdy;
    int32_t nl = left->rowCount, nr = right->rowCount;
    for (;;) {
        int32_t n = nl < nr ? nl : nr;
        nl -= n;
        nr -= n;
        for (; n > 0; --n) {
            const uint32_t xli = Sar(xl, 16), xri = Sar(xr, 16);
            if (static_cast<int32_t>(xri - xli) > 0) {
                uint8_t* p = reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(row + xli * F::kBytes));
                uint16_t* zp = reinterpret_cast<uint16_t*>(static_cast<uintptr_t>(zRowAddr + xli * 2));
                uint32_t pz = z, p0 = c[0], p1 = c[1], p2 = c[2];
                uint32_t su = Tex == kPerspective ? pu.U : u, sv = Tex == kPerspective ? pv.U : v;
                uint32_t du = pu.D, dv = pv.D;
                for (uint32_t x = xli; x != xri; ++x) {
                    bool draw = true;
                    uint32_t t = 0;
                    if (Tex) {
                        const uint32_t i = TexelIndex(tex, su, sv);
                        t = index ? static_cast<const uint8_t*>(tex->texels)[i]
                                  : static_cast<const uint16_t*>(tex->texels)[i];
                        if (key && t == colorKey) draw = false;
                    }
                    const uint32_t d = (pz >> 12) & 0xffff;
                    if (Depth && draw && d > *zp) draw = false;
                    if (draw) {
                        uint32_t pixel;
                        if (Tex) {
                            const uint32_t lc[3] = {p0, p1, p2};
                            // Flat coloured light is never dithered.
                            pixel = index ? t
                                          : F::Texel(fmt, light ? Light(light, lightFlat, t, lc, amount) : t, x, y,
                                                     dither && !lightFlat);
                        } else {
                            pixel = smooth ? F::Smooth(fmt, p0, p1, p2, x, y, dither, index)
                                           : F::Flat(ctx, p, x, y, dither, Depth);
                        }
                        F::Store(p, pixel);
                        if (Depth) *zp = static_cast<uint16_t>(d);
                    }
                    p += F::kBytes;
                    if (Depth) {
                        ++zp;
                        pz += dz;
                    }
                    if (channels) {
                        p0 += dc[0];
                        p1 += dc[1];
                        p2 += dc[2];
                    }
                    if (Tex == kAffine) {
                        su += g->dudx;
                        sv += g->dvdx;
                    }
                    if (Tex == kPerspective) {
                        su += du;
                        sv += dv;
                        du += pu.A;
                        dv += pv.A;
                    }
                }
            }
            const uint32_t xlOld = xl;
            xl += dxl;
            xr += dxr;
            const bool extra = Sar(xl, 16) - Sar(xlOld, 16) != k;
            z += zRow;
            if (!exactDepth && extra) z += dz;
            for (int i = 0; i < 3; ++i) {
                c[i] += cRow[i];
                if (extra) c[i] += dc[i];
            }
            if (Tex == kAffine) {
                u += uRow;
                v += vRow;
            }
            if (Tex == kPerspective) {
                pu.Row(k, extra);
                pv.Row(k, extra);
            }
            row += pitch;
            zRowAddr += zPitch;
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
            load(left);
        }
    }
}

template <class F>
uint32_t WalkFor(const PixelFormat& f, DevContext* ctx, DevTrapEdge* l, DevTrapEdge* r, DevTrapGradients* g) {
    const uint32_t s = ctx->state;
    const bool depth = (s & DEV_DEPTH) != 0;
    if (!(s & DEV_TEXTURE) || !ctx->texture)
        return depth ? Walk<F, kNoTexture, true>(f, ctx, l, r, g) : Walk<F, kNoTexture, false>(f, ctx, l, r, g);
    if (s & DEV_AFFINE)
        return depth ? Walk<F, kAffine, true>(f, ctx, l, r, g) : Walk<F, kAffine, false>(f, ctx, l, r, g);
    return depth ? Walk<F, kPerspective, true>(f, ctx, l, r, g) : Walk<F, kPerspective, false>(f, ctx, l, r, g);
}

uint32_t DEVPROC BaseTrapezoids(DevContext* ctx, DevTrapEdge* l, DevTrapEdge* r, DevTrapGradients* g) {
    return BaseTrapezoidsWith(Lib(ctx)->format, ctx, l, r, g);
}

// ---- set colour ----

uint32_t DEVPROC BaseSetColor(DevContext* ctx, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t c3, uint32_t separate,
                              void* out) {
    const PixelFormat& f = Lib(ctx)->format;
    uint8_t* o = static_cast<uint8_t*>(out);
    const bool index = f.bytes == 1 && (ctx->state & DEV_COLORINDEX);
    const bool dither = f.bytes == 1 && (ctx->state & DEV_DITHER);
    uint32_t ch[3];
    if (index) {
        ctx->color = c0 & 0xff;
    } else if (separate) {
        ctx->color =
            ((c0 >> 16) & 0xff) | ((c1 >> 16) & 0xff) << 8 | ((c2 >> 16) & 0xff) << 16 | ((c3 >> 16) & 0xff) << 24;
        ch[0] = c0, ch[1] = c1, ch[2] = c2;
    } else {
        ctx->color = c0;
        ch[0] = (c0 & 0xff) << 16, ch[1] = ((c0 >> 8) & 0xff) << 16, ch[2] = ((c0 >> 16) & 0xff) << 16;
    }
    switch (f.bytes) {
    case 1:
        if (index) {
            for (uint32_t r = 0; r < (dither ? 4u : 1u); ++r)
                for (uint32_t c = 0; c < (dither ? 8u : 4u); ++c)
                    o[8 * r + c] =
                        static_cast<uint8_t>((((c0 & 0xff) << 16) + (((c & 3) ^ ((r & 3) * 2)) << 14)) >> 16);
            if (!dither) memset(o, c0 & 0xff, 4);
        } else {
            const uint32_t R = ch[0] * 6 >> 3, G = ch[1] * 7 >> 3, B = ch[2] * 7 >> 3;
            for (uint32_t r = 0; r < (dither ? 2u : 1u); ++r)
                for (uint32_t c = 0; c < 4; ++c)
                    o[8 * r + c] = static_cast<uint8_t>(CubeIndex(R, G, B, dither ? Dither8(c, r) : 0, f.paletteBase));
        }
        break;
    case 2: {
        const uint32_t p = Fmt16::Smooth(f, ch[0], ch[1], ch[2], 0, 0, false, false) & 0xffff;
        const uint32_t w = p | p << 16;
        memcpy(o, &w, 4);
        break;
    }
    case 3: {
        const uint32_t p = Fmt24::Smooth(f, ch[0], ch[1], ch[2], 0, 0, false, false);
        for (int i = 0; i < 12; ++i) o[i] = static_cast<uint8_t>(p >> (8 * (i % 3)));
        break;
    }
    case 4: {
        const uint32_t p = Fmt32::Smooth(f, ch[0], ch[1], ch[2], 0, 0, false, false);
        memcpy(o, &p, 4);
        break;
    }
    }
    if (!separate && o == ctx->clearPattern && ctx->dirtyA && ctx->dirtyB)
        for (uint32_t r = 0; r < ctx->dirtyRows; ++r) ctx->dirtyA[r] = ctx->dirtyB[r] = 0xffffffff;
    return 1;
}

// ---- clear ----

uint32_t DEVPROC BaseClear(DevContext* ctx, uint32_t what) {
    const PixelFormat& f = Lib(ctx)->format;
    int32_t left = ctx->update.x0, top = ctx->update.y0;
    int32_t w = ctx->update.x1 - left, h = ctx->update.y1 - top;
    if ((ctx->state & DEV_ZOOM2) && ctx->zoomX == DEV_ZOOM_2 && ctx->zoomY == DEV_ZOOM_2) {
        left >>= 1, top >>= 1, w >>= 1, h >>= 1;
    }
    uint32_t done = 0;
    if ((what & DEV_CLEAR_COLOR) && w > 0) {
        const DevBuffer* b = ctx->drawBuffer;
        for (int32_t y = 0; y < h; ++y) {
            uint8_t* p = DevBufferBits(b) + (top + y) * b->pitch + left * f.bytes;
            const uint8_t* pat = ctx->clearPattern + (f.bytes == 1 ? 8 * ((top + y) & 1) : 0);
            if (f.bytes == 3) {
                for (int32_t x = 0; x < w; ++x, p += 3) memcpy(p, pat, 3);
            } else if (f.bytes == 1) {
                for (int32_t x = 0; x < w; ++x) p[x] = pat[(left + x) & 3];
            } else {
                const uint32_t word = Load32(pat);
                for (int32_t x = 0; x < w; ++x, p += f.bytes) memcpy(p, &word, f.bytes);
            }
        }
        done |= DEV_CLEAR_COLOR;
    }
    if (what & DEV_BUFFER_DEPTH) {
        if ((ctx->state & DEV_DEPTH) && w > 0) {
            const uint16_t value = static_cast<uint16_t>(ctx->depthClear);
            for (int32_t y = 0; y < h; ++y) {
                uint16_t* p =
                    reinterpret_cast<uint16_t*>(DevBufferBits(&ctx->depth) + (top + y) * ctx->depth.pitch) + left;
                for (int32_t x = 0; x < w; ++x) p[x] = value;
            }
        }
        done |= DEV_BUFFER_DEPTH;
    }
    if (ctx->dirtyA) memset(ctx->dirtyA, 0, ctx->dirtyRows * 4);
    return done;
}

// ---- present ----

// The direct path's copy of the update rectangle, for a driver that has no
// present of its own for the display's depth.
uint32_t DEVPROC BasePresent(DevContext* ctx) {
    const PixelFormat& f = Lib(ctx)->format;
    if (!ctx->front.bits || !ctx->back.bits) return 1;
    const int32_t left = ctx->update.x0, top = ctx->update.y0;
    const int32_t w = ctx->update.x1 - left, h = ctx->update.y1 - top;
    for (int32_t y = 0; y < h; ++y)
        memcpy(DevBufferBits(&ctx->front) + (top + y) * ctx->front.pitch + left * f.bytes,
               DevBufferBits(&ctx->back) + (top + y) * ctx->back.pitch + left * f.bytes, w * f.bytes);
    return 1;
}

DevProcTable MakeTable() {
    DevProcTable t;
    memset(&t, 0, sizeof t);
    t.trapezoids = BaseTrapezoids;
    t.setColor = BaseSetColor;
    t.clear = BaseClear;
    t.present = BasePresent;
    return t;
}

DevProcTable g_base = MakeTable();

}  // namespace

DevProcTable* BaseTable() { return &g_base; }

uint32_t BaseTrapezoidsWith(const PixelFormat& f, DevContext* ctx, DevTrapEdge* l, DevTrapEdge* r,
                            DevTrapGradients* g) {
    switch (f.bytes) {
    case 1: return WalkFor<Fmt8>(f, ctx, l, r, g);
    case 2: return WalkFor<Fmt16>(f, ctx, l, r, g);
    case 3: return WalkFor<Fmt24>(f, ctx, l, r, g);
    case 4: return WalkFor<Fmt32>(f, ctx, l, r, g);
    }
    return 1;
}

// ---- formats ----

void PixelFormat::Init(uint32_t bytesPerPixel, uint32_t red, uint32_t green, uint32_t blue, uint32_t base) {
    bytes = bytesPerPixel;
    masks[0] = red, masks[1] = green, masks[2] = blue;
    paletteBase = base & 0xff;
    for (int i = 0; i < 3; ++i) {
        const uint32_t m = masks[i];
        const uint32_t low = LowestBit(m);
        uint32_t n = 0;
        for (uint32_t r = m >> low; r & 1; r >>= 1) ++n;
        composeMask[i] = n ? ((0xffffffffu >> (32 - n)) << (24 - n)) & 0xffffff : 0;
        composeShift[i] = m ? 24 - n - low : 0;
        texelShift[i] = m ? 24 - (HighestBit(m) + 1) : 0;
        shift32[i] = low;
    }
    for (int k = 0; k < 3; ++k) byteMask[k] = byteShift[k] = 0;
    for (int j = 0; j < 3; ++j) {
        const uint32_t low = LowestBit(masks[j]);
        if (masks[j] && low % 8 == 0 && low / 8 < 3) {
            byteMask[low / 8] = 0xffu << (8 * j);
            byteShift[low / 8] = 8 * j;
        }
    }
}

uint32_t PixelFormat::FromRgb(uint32_t r, uint32_t g, uint32_t b) const {
    const uint32_t c[3] = {r, g, b};
    uint32_t p = 0;
    for (int i = 0; i < 3; ++i) {
        const uint32_t m = masks[i];
        if (!m) continue;
        const uint32_t bits = HighestBit(m) - LowestBit(m) + 1;
        p |= ((c[i] >> (8 - (bits > 8 ? 8 : bits))) << LowestBit(m)) & m;
    }
    return p;
}

void CubeColour(uint32_t index, uint8_t* r, uint8_t* g, uint8_t* b) {
    // Untextured colours reach red 5, green 6 and blue 3 at full strength,
    // textures red 6 and green 7: each counts as full from there on.
    const uint32_t red = (index >> 5) & 7, green = (index >> 2) & 7, blue = index & 3;
    *r = static_cast<uint8_t>(red >= 5 ? 255 : red * 51);
    *g = static_cast<uint8_t>(green >= 6 ? 255 : green * 42);
    *b = static_cast<uint8_t>(blue * 85);
}

}  // namespace vxnlib
