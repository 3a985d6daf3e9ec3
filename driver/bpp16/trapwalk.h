// The trapezoid walk shared by every pixel family: the two edge chains, the
// row loop, the span bounds and DirtyMask A. What runs along the edge and
// the span are lanes (lanes.h), what a texel is comes from a sampler and a
// light (texture.h), and what a pixel is from the family's pixel policy.
//
// A named rasterizer is DevTrapWalk<Pixel, Key, Light> for one pixel policy,
// one feature key (the selector's masked state word, DEV_* bits) and, with
// DEV_TEXTURE | DEV_MODULATE, one lighting mode (DEV_LIGHT_MR/MM/MS).
// Every feature is decided at compile time, so the pixel loops test none;
// a textured routine holds three copies of its row loop, one per
// addressing mode, chosen once at entry.
//
// Lanes a key picks (TrapLanes below):
//   depth    DEV_DEPTH: DepthLane (k / k + 1), or ExactEdgeDepthLane for
//            flat colour with depth and no texture
//   colour   DEV_SMOOTH without texture: ChannelLane<3> scaled by the
//            policy, or ChannelLane<1> (the index) with DEV_COLORINDEX
//   coords   DEV_TEXTURE: AffineUVLane with DEV_AFFINE, else
//            PerspectiveUVLane
//   light    DEV_TEXTURE | DEV_MODULATE: LightMRFlat (MR, no DEV_SMOOTH),
//            LightMRSmooth, LightMM, LightMS; else NoLight
// Texels are 1 byte with DEV_TEXTURE | DEV_COLORINDEX, else 2.
//
// Pixel policy P (the only family-specific part):
//   static constexpr uint32_t kBytes;          bytes per pixel
//   struct Call { explicit Call(const DevContext*); };
//                                              per-call constants (pattern,
//                                              palette base, format tables)
//   template <class F> static uint32_t ScaleChannel(unsigned i, uint32_t v);
//                                              applied to colour channel i's
//                                              left value and both gradients
//   template <class F> static void FillFlat(const Call&, uint8_t* p, uint32_t n, uint32_t y);
//                                              flat span without depth, n > 0
//   template <class F> static void StoreFlat(const Call&, uint8_t* p, uint32_t x, uint32_t y);
//   template <class F> static void StoreSmooth(const Call&, uint8_t* p, uint32_t c0,
//                                              uint32_t c1, uint32_t c2, uint32_t x, uint32_t y);
//   template <class F> static void StoreTexel(const Call&, uint8_t* p, uint32_t w,
//                                              uint32_t x, uint32_t y);
//                                              textured only: w the lit 16-bit
//                                              word (15-bit colour), or the
//                                              index texel with DEV_COLORINDEX
// x and y are the pixel's column and buffer row (for dither); F is the
// routine's TrapFeatures, so a policy may tell variants apart (for example
// flat-light MR with DEV_DITHER converts undithered: F::flatLight).
// A policy may instead list compile-time forms of itself, each a policy as
// above (PixelForms, below).
#pragma once

#include "frame/globals.h"
#include "bpp16/fixed.h"
#include "bpp16/lanes.h"
#include "bpp16/texture.h"
#include "bpp16/trapezoid.h"

#include <string.h>

#include <type_traits>

namespace raster {

// Features of a state key; see DEV_* in frame/records.h.
template <uint32_t Key, uint32_t Light>
struct TrapFeatures {
    static constexpr uint32_t key = Key;
    static constexpr uint32_t light = Light;
    static constexpr bool textured = (Key & DEV_TEXTURE) != 0;
    static constexpr bool smooth = (Key & DEV_SMOOTH) != 0;
    static constexpr bool depth = (Key & DEV_DEPTH) != 0;
    static constexpr bool dither = (Key & DEV_DITHER) != 0;
    static constexpr bool colorIndex = (Key & DEV_COLORINDEX) != 0;
    static constexpr bool affine = textured && (Key & DEV_AFFINE) != 0;
    static constexpr bool perspective = textured && !affine;
    static constexpr bool colorKey = textured && (Key & DEV_COLORKEY) != 0;
    static constexpr bool lit = textured && (Key & DEV_MODULATE) != 0;
    static constexpr bool flatLight = lit && Light == DEV_LIGHT_MR && !smooth;
    // Untextured colour channels: three in RGB, channel 0 alone in
    // colour-index mode.
    static constexpr unsigned channels = !textured && smooth ? (colorIndex ? 1u : 3u) : 0u;
    // Flat colour with depth follows z along the exact edge (64-bit product)
    // instead of at the span's first pixel.
    static constexpr bool exactEdgeDepth = depth && !smooth && !textured;
    static constexpr bool flatFill = !textured && !depth && !smooth;
    static constexpr unsigned texelBytes = colorIndex ? 1u : 2u;

    static_assert(!lit || Light == DEV_LIGHT_MR || Light == DEV_LIGHT_MM || Light == DEV_LIGHT_MS,
                  "lit routines need a lighting mode");
    static_assert(!lit || smooth || Light == DEV_LIGHT_MR, "MM and MS exist with smooth light only");
    static_assert(lit || Light == 0, "a lighting mode without DEV_TEXTURE | DEV_MODULATE");
};

// The policy's channel scaling as a lane scale.
template <class P, class F>
struct PolicyScale {
    static uint32_t Apply(unsigned i, uint32_t v) { return P::template ScaleChannel<F>(i, v); }
};

// One row of a lane table: Lane when the condition holds. A table is a
// list of rows, the first row that holds wins; it ends in Otherwise.
template <bool When, class Lane>
struct LaneCase : std::bool_constant<When> {
    using type = Lane;
};
template <class Lane>
using Otherwise = LaneCase<true, Lane>;
template <class... Rows>
using LaneTable = typename std::disjunction<Rows...>::type;

template <class P, class F>
struct TrapLanes {
    using Scale = PolicyScale<P, F>;
    using Depth =
        LaneTable<LaneCase<F::exactEdgeDepth, ExactEdgeDepthLane>, LaneCase<F::depth, DepthLane>, Otherwise<NoLane>>;
    using Colour = LaneTable<LaneCase<F::channels == 3, ChannelLane<3, Scale>>,
                             LaneCase<F::channels == 1, ChannelLane<1, Scale>>, Otherwise<NoLane>>;
    using Coords =
        LaneTable<LaneCase<F::affine, AffineUVLane>, LaneCase<F::perspective, PerspectiveUVLane>, Otherwise<NoLane>>;
    // Light is 0 without DEV_TEXTURE | DEV_MODULATE (TrapFeatures).
    using Light = LaneTable<LaneCase<F::flatLight, LightMRFlat>, LaneCase<F::light == DEV_LIGHT_MR, LightMRSmooth>,
                            LaneCase<F::light == DEV_LIGHT_MM, LightMM>, LaneCase<F::light == DEV_LIGHT_MS, LightMS>,
                            Otherwise<NoLight>>;

    Depth depth;
    Colour colour;
    Coords coords;
    Light light;

    void Init(const DevContext* ctx, const DevTrapGradients* g) {
        depth.Init(ctx, g);
        colour.Init(ctx, g);
        coords.Init(ctx, g);
        light.Init(ctx, g);
    }
    void Load(const DevTrapEdge* e, uint32_t k) {
        depth.Load(e, k);
        colour.Load(e, k);
        coords.Load(e, k);
        light.Load(e, k);
    }
    void Row(bool extra) {
        depth.Row(extra);
        colour.Row(extra);
        coords.Row(extra);
        light.Row(extra);
    }
};

// Pixels x .. x + n - 1 of row y, n > 0.
template <class P, class F, class S>
inline void TrapSpan(const typename P::Call& pc, const TrapLanes<P, F>& lanes, const S& sampler, uint32_t colorKey,
                     uint8_t* p, uint16_t* zp, uint32_t n, uint32_t x, uint32_t y) {
    if constexpr (F::flatFill) {
        P::template FillFlat<F>(pc, p, n, y);
    } else {
        auto z = lanes.depth.Start();
        auto c = lanes.colour.Start();
        auto t = lanes.coords.Start();
        auto l = lanes.light.Start();
        // Counted on the pixel address, so that x costs nothing where the
        // policy does not read it.
        const uint8_t* const end = p + n * P::kBytes;
        do {
            uint32_t texel = 0;
            if constexpr (F::textured) texel = sampler.Fetch(t.U(), t.V());
            bool draw = true;
            if constexpr (F::colorKey) draw = texel != colorKey;
            uint32_t d = 0;
            if constexpr (F::depth) {
                d = z.Z16();
                draw = draw && d <= *zp;
            }
            if (draw) {
                if constexpr (F::textured)
                    P::template StoreTexel<F>(pc, p, lanes.light.Apply(texel, l), x, y);
                else if constexpr (F::channels > 0)
                    P::template StoreSmooth<F>(pc, p, c.C(0), c.C(1), c.C(2), x, y);
                else
                    P::template StoreFlat<F>(pc, p, x, y);
                if constexpr (F::depth) *zp = static_cast<uint16_t>(d);
            }
            p += P::kBytes;
            ++x;
            if constexpr (F::depth) ++zp;
            z.Step();
            c.Step();
            t.Step();
            l.Step();
        } while (p != end);
    }
}

// The row loop over both chains with one sampler.
template <class P, class F, class S>
inline uint32_t TrapRows(DevContext* ctx, const DevTrapEdge* left, const DevTrapEdge* right, const DevTrapGradients* g,
                         const S& sampler) {
    const typename P::Call pc(ctx);
    const unsigned s = g_dirtyShift & 0xff;
    uint32_t* const dirty = ctx->dirtyA;
    const uint32_t colorKey = F::colorKey ? ctx->colorKey : 0;

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

    TrapLanes<P, F> lanes;
    lanes.Init(ctx, g);
    uint32_t xl = left->x, dxl = left->dxdy, k = Sar(dxl, 16);
    int32_t nl = left->rowCount;
    lanes.Load(left, k);
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
                if constexpr (F::depth) zp = reinterpret_cast<uint16_t*>(static_cast<uintptr_t>(zRowAddr + xli * 2));
                TrapSpan<P, F, S>(pc, lanes, sampler, colorKey, p, zp, xri - xli, xli, y);
            }
            const uint32_t xlOld = xl;
            xl += dxl;
            xr += dxr;
            lanes.Row(Sar(xl, 16) - Sar(xlOld, 16) != k);
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
            k = Sar(dxl, 16);
            nl = left->rowCount;
            lanes.Load(left, k);
        }
    }
}

template <class P, class F>
inline uint32_t TrapWalkSampled(DevContext* ctx, const DevTrapEdge* left, const DevTrapEdge* right,
                                const DevTrapGradients* g) {
    if constexpr (F::textured) {
        constexpr unsigned b = F::texelBytes;
        const DevTexture* t = ctx->texture;
        switch (t->addressMode) {
        case TEXADDR_POW2: return TrapRows<P, F>(ctx, left, right, g, SamplerPow2<b>(t));
        case TEXADDR_POW2_SUM: return TrapRows<P, F>(ctx, left, right, g, SamplerPow2Sum<b>(t));
        default: return TrapRows<P, F>(ctx, left, right, g, SamplerScaled<b>(t));
        }
    } else {
        return TrapRows<P, F>(ctx, left, right, g, NoSampler());
    }
}

// Compile-time forms of a pixel policy: copies of its loops with the
// format tables' values as constants (the 16-bit family's fixed 5-6-5 and
// 5-5-5 layouts, the 32-bit family's usual layout). A policy with forms has
//   using Forms = PixelForms<Fixed..., General>;
// each fixed form with a static bool Matches() that says whether the current
// tables hold its values; the last form reads the tables and serves every
// device. A policy without Forms is its one form. The arithmetic is the
// same in every form, so the pixels are too: only the speed tells which ran.
template <class... Forms>
struct PixelForms {
    static constexpr unsigned kCount = sizeof...(Forms);
};

template <class P, class = void>
struct FormsOf {
    using type = PixelForms<P>;
};
template <class P>
struct FormsOf<P, std::void_t<typename P::Forms>> {
    using type = typename P::Forms;
};

// Position of form Q in a form list.
template <class List, class Q>
struct FormIndex;
template <class Q, class... Rest>
struct FormIndex<PixelForms<Q, Rest...>, Q> : std::integral_constant<unsigned, 0> {};
template <class P0, class... Rest, class Q>
struct FormIndex<PixelForms<P0, Rest...>, Q>
    : std::integral_constant<unsigned, 1 + FormIndex<PixelForms<Rest...>, Q>::value> {};

// Runs fn with the first form whose Matches() holds, else with the last.
template <class P0, class... Rest, class Fn>
inline uint32_t WithMatchingForm(PixelForms<P0, Rest...>, Fn&& fn) {
    if constexpr (sizeof...(Rest) == 0) {
        return fn(P0());
    } else {
        if (P0::Matches()) return fn(P0());
        return WithMatchingForm(PixelForms<Rest...>(), fn);
    }
}

template <class List>
struct LastForm;
template <class P0>
struct LastForm<PixelForms<P0>> {
    using type = P0;
};
template <class P0, class P1, class... Rest>
struct LastForm<PixelForms<P0, P1, Rest...>> : LastForm<PixelForms<P1, Rest...>> {};

// The forms a routine with features F holds. A flat routine's only colour
// is the call's pattern: it holds the general form alone. Every routine
// that composes pixels holds them all.
template <class P, class F>
using RoutineForms = std::conditional_t<F::textured || F::smooth, typename FormsOf<P>::type,
                                        PixelForms<typename LastForm<typename FormsOf<P>::type>::type>>;

// The position in RoutineForms of the form the routine runs under the
// current format tables.
template <class P, class F>
inline unsigned RoutineFormFor() {
    using Forms = RoutineForms<P, F>;
    return WithMatchingForm(Forms(), [](auto form) -> uint32_t { return FormIndex<Forms, decltype(form)>::value; });
}

// The form is chosen once per call.
template <class P, uint32_t Key, uint32_t Light = 0>
inline uint32_t DevTrapWalk(DevContext* ctx, const DevTrapEdge* left, const DevTrapEdge* right,
                            const DevTrapGradients* g) {
    using F = TrapFeatures<Key, Light>;
    return WithMatchingForm(RoutineForms<P, F>(),
                            [&](auto form) { return TrapWalkSampled<decltype(form), F>(ctx, left, right, g); });
}

// Little-endian word stores into byte buffers without aliasing questions.
inline void Store32(uint8_t* p, uint32_t v) { memcpy(p, &v, 4); }
inline void Store16(uint8_t* p, uint32_t v) {
    const uint16_t h = static_cast<uint16_t>(v);
    memcpy(p, &h, 2);
}
inline uint32_t Load32(const uint8_t* p) {
    uint32_t v;
    memcpy(&v, p, 4);
    return v;
}

}  // namespace raster
