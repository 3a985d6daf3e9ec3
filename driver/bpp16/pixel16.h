// The 16-bit pixel format: one u16 per pixel in whatever red, green and blue
// layout the device reports. Channels (8.16) are composed through
// g_pixelCompose16, 15-bit colours (texels, lit words) through g_colorMasks
// and g_texelShift16; the flat pattern holds the pixel in both halves.
#pragma once

#include "bpp16/trapwalk.h"

namespace raster {

struct Pixel16 {
    static constexpr uint32_t kBytes = 2;

    struct Call {
        uint32_t pattern;                         // pixel | pixel << 16
        uint32_t redMask, greenMask, blueMask;    // composition, 8.16 channels
        unsigned redShift, greenShift, blueShift;
        uint32_t m0, m1, m2;                      // device fields
        uint32_t k0, k1, k2;                      // texel channel scales
        explicit Call(const DevContext* ctx) {
            pattern = Load32(ctx->fillPattern);
            redMask = g_pixelCompose16.redMask;
            greenMask = g_pixelCompose16.greenMask;
            blueMask = g_pixelCompose16.blueMask;
            redShift = g_pixelCompose16.redShift & 31;
            greenShift = g_pixelCompose16.greenShift & 31;
            blueShift = g_pixelCompose16.blueShift & 31;
            m0 = g_colorMasks.red & 0xffff;
            m1 = g_colorMasks.green & 0xffff;
            m2 = g_colorMasks.blue & 0xffff;
            k0 = TexelScale(g_texelShift16.red);
            k1 = TexelScale(g_texelShift16.green);
            k2 = TexelScale(g_texelShift16.blue);
        }
    };

    template <class F>
    static uint32_t ScaleChannel(unsigned, uint32_t v) { return v; }

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
        return ((c2 & pc.blueMask) >> pc.blueShift) | ((c1 & pc.greenMask) >> pc.greenShift) |
               ((c0 & pc.redMask) >> pc.redShift);
    }

    template <class F>
    static void StoreSmooth(const Call& pc, uint8_t* p, uint32_t c0, uint32_t c1, uint32_t c2,
                            uint32_t, uint32_t) {
        Store16(p, Compose(pc, c0, c1, c2));
    }

    // Each 5-bit channel c placed at bits 19-23, its top bit shifted right
    // by S onto the top of the device field, and kept where the field is.
    // (c << 19) >> S is taken as (c * 2^(27 - S)) >> 8, exact for S up to 27
    // (31 * 2^27 fits in 32 bits) and 0 above, where nothing of c is left:
    // a multiplication by a per-call constant instead of a variable shift.
    static uint32_t TexelScale(uint32_t shift) {
        shift &= 31;
        return shift <= 27 ? 1u << (27 - shift) : 0;
    }
    static uint32_t FromTexel(const Call& pc, uint32_t w) {
        return ((((w & 31) * pc.k0) >> 8) & pc.m0) | (((((w >> 5) & 31) * pc.k1) >> 8) & pc.m1) |
               (((((w >> 10) & 31) * pc.k2) >> 8) & pc.m2);
    }

    template <class F>
    static void StoreTexel(const Call& pc, uint8_t* p, uint32_t w, uint32_t, uint32_t) {
        static_assert(!F::colorIndex, "the 16-bit family has no colour-index textures");
        Store16(p, FromTexel(pc, w));
    }
};

}  // namespace raster
