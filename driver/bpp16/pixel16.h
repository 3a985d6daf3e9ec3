// The 16-bit pixel format: one u16 per pixel in whatever red, green and blue
// layout the device reports. Channels (8.16) are composed through
// g_pixelCompose16, 15-bit colours (texels, lit words) through g_colorMasks
// and g_texelShift16; the flat pattern holds the pixel in both halves.
//
// The tables are read once per call. When they hold exactly the 5-6-5 or
// 5-5-5 values, a routine that composes pixels runs the form of its loops
// with those values as constants (Pixel16::Forms, chosen by the walk);
// every other layout runs the form that reads them.
#pragma once

#include "bpp16/trapwalk.h"

namespace raster {

// Any layout: the values come from the tables.
struct Layout16Tables {
    static constexpr bool kFixed = false;
};

// Compile-time layouts: the table values the frame derives from these masks.
template <uint32_t RedMask, uint32_t GreenMask, uint32_t BlueMask, unsigned RedBits, unsigned GreenBits,
          unsigned BlueBits, unsigned RedLow, unsigned GreenLow, unsigned BlueLow>
struct Layout16Fixed {
    static constexpr bool kFixed = true;
    static constexpr uint32_t kRedMask = ((1u << RedBits) - 1) << (24 - RedBits);
    static constexpr uint32_t kGreenMask = ((1u << GreenBits) - 1) << (24 - GreenBits);
    static constexpr uint32_t kBlueMask = ((1u << BlueBits) - 1) << (24 - BlueBits);
    static constexpr unsigned kRedShift = 24 - RedBits - RedLow;
    static constexpr unsigned kGreenShift = 24 - GreenBits - GreenLow;
    static constexpr unsigned kBlueShift = 24 - BlueBits - BlueLow;
    static constexpr uint32_t kM0 = RedMask, kM1 = GreenMask, kM2 = BlueMask;
    static constexpr unsigned kS0 = 24 - (RedLow + RedBits), kS1 = 24 - (GreenLow + GreenBits),
                              kS2 = 24 - (BlueLow + BlueBits);

    static bool Matches() {
        const DevPixelCompose16& c = g_pixelCompose16;
        return c.redMask == kRedMask && c.greenMask == kGreenMask && c.blueMask == kBlueMask &&
               (c.redShift & 31) == kRedShift && (c.greenShift & 31) == kGreenShift &&
               (c.blueShift & 31) == kBlueShift && (g_colorMasks.red & 0xffff) == kM0 &&
               (g_colorMasks.green & 0xffff) == kM1 && (g_colorMasks.blue & 0xffff) == kM2 &&
               (g_texelShift16.red & 31) == kS0 && (g_texelShift16.green & 31) == kS1 &&
               (g_texelShift16.blue & 31) == kS2;
    }
};
// The pixel of every 15-bit colour in a fixed layout, built at compile time:
// one load per textured pixel instead of three fields' shifts and masks.
template <class L>
struct TexelTable16 {
    uint16_t pixel[0x8000];
    constexpr TexelTable16() : pixel() {
        for (uint32_t w = 0; w < 0x8000; ++w)
            pixel[w] = static_cast<uint16_t>(((((w & 0x001f) << 19) >> L::kS0) & L::kM0) |
                                             ((((w & 0x03e0) << 14) >> L::kS1) & L::kM1) |
                                             ((((w & 0x7c00) << 9) >> L::kS2) & L::kM2));
    }
};
template <class L>
inline constexpr TexelTable16<L> kTexelTable16{};

using Layout565 = Layout16Fixed<0xf800, 0x07e0, 0x001f, 5, 6, 5, 11, 5, 0>;
using Layout555 = Layout16Fixed<0x7c00, 0x03e0, 0x001f, 5, 5, 5, 10, 5, 0>;

// Each 5-bit texel channel c goes to bits 19-23 and is shifted right by S
// onto the top of the device field. (c << 19) >> S is taken as
// (c * 2^(27 - S)) >> 8: exact for S up to 27 (31 * 2^27 fits in 32 bits)
// and 0 above, where nothing of c is left; a multiplication by a per-call
// constant instead of a variable shift.
inline uint32_t TexelScale16(uint32_t shift) {
    shift &= 31;
    return shift <= 27 ? 1u << (27 - shift) : 0;
}

template <class L>
struct Pixel16Of {
    static constexpr uint32_t kBytes = 2;

    // A fixed layout's form: whether the current tables hold its values.
    static bool Matches() {
        static_assert(L::kFixed, "the table-driven form serves every layout");
        return L::Matches();
    }

    struct Call {
        uint32_t pattern;  // pixel | pixel << 16
        // Table copies; unused (and left out) with a fixed layout.
        uint32_t redMask, greenMask, blueMask;
        unsigned redShift, greenShift, blueShift;
        uint32_t m0, m1, m2;  // device fields
        uint32_t k0, k1, k2;  // texel channel scales
        explicit Call(const DevContext* ctx) {
            pattern = Load32(ctx->fillPattern);
            if constexpr (!L::kFixed) {
                redMask = g_pixelCompose16.redMask;
                greenMask = g_pixelCompose16.greenMask;
                blueMask = g_pixelCompose16.blueMask;
                redShift = g_pixelCompose16.redShift & 31;
                greenShift = g_pixelCompose16.greenShift & 31;
                blueShift = g_pixelCompose16.blueShift & 31;
                m0 = g_colorMasks.red & 0xffff;
                m1 = g_colorMasks.green & 0xffff;
                m2 = g_colorMasks.blue & 0xffff;
                k0 = TexelScale16(g_texelShift16.red);
                k1 = TexelScale16(g_texelShift16.green);
                k2 = TexelScale16(g_texelShift16.blue);
            }
        }
    };

    template <class F>
    static uint32_t ScaleChannel(unsigned, uint32_t v) {
        return v;
    }

    // One pixel up to a 4-byte boundary, runs of eight words (16 pixels),
    // then pairs of words, then single pixels.
    template <class F>
    static void FillFlat(const Call& pc, uint8_t* p, uint32_t n, uint32_t) {
        const uint32_t w = pc.pattern;
        if ((reinterpret_cast<uintptr_t>(p) & 3) != 0) {
            Store16(p, w);
            p += 2;
            --n;
        }
        for (; n >= 16; n -= 16, p += 32) {
            Store32(p, w);
            Store32(p + 4, w);
            Store32(p + 8, w);
            Store32(p + 12, w);
            Store32(p + 16, w);
            Store32(p + 20, w);
            Store32(p + 24, w);
            Store32(p + 28, w);
        }
        for (; n >= 4; n -= 4, p += 8) {
            Store32(p, w);
            Store32(p + 4, w);
        }
        for (; n != 0; --n, p += 2) Store16(p, w);
    }

    template <class F>
    static void StoreFlat(const Call& pc, uint8_t* p, uint32_t, uint32_t) {
        Store16(p, pc.pattern);
    }

    // No clamp: only the selected bits of each channel's integer part count.
    static uint32_t Compose(const Call& pc, uint32_t c0, uint32_t c1, uint32_t c2) {
        if constexpr (L::kFixed)
            return ((c2 & L::kBlueMask) >> L::kBlueShift) | ((c1 & L::kGreenMask) >> L::kGreenShift) |
                   ((c0 & L::kRedMask) >> L::kRedShift);
        else
            return ((c2 & pc.blueMask) >> pc.blueShift) | ((c1 & pc.greenMask) >> pc.greenShift) |
                   ((c0 & pc.redMask) >> pc.redShift);
    }

    template <class F>
    static void StoreSmooth(const Call& pc, uint8_t* p, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t, uint32_t) {
        Store16(p, Compose(pc, c0, c1, c2));
    }

    static uint32_t FromTexel(const Call& pc, uint32_t w) {
        if constexpr (L::kFixed)
            return kTexelTable16<L>.pixel[w & 0x7fff];
        else
            return ((((w & 31) * pc.k0) >> 8) & pc.m0) | (((((w >> 5) & 31) * pc.k1) >> 8) & pc.m1) |
                   (((((w >> 10) & 31) * pc.k2) >> 8) & pc.m2);
    }

    template <class F>
    static void StoreTexel(const Call& pc, uint8_t* p, uint32_t w, uint32_t, uint32_t) {
        static_assert(!F::colorIndex, "the 16-bit family has no colour-index textures");
        Store16(p, FromTexel(pc, w));
    }
};

struct Pixel16 {
    using Forms = PixelForms<Pixel16Of<Layout565>, Pixel16Of<Layout555>, Pixel16Of<Layout16Tables>>;
};

}  // namespace raster
