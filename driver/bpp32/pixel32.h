// The 32-bit pixel format: one u32 per pixel, red, green and blue each an
// 8-bit field starting at its g_colorShift32 count; every other bit is 0,
// so no alpha is ever stored. Channels (8.16) give their integer byte,
// 15-bit colours (texels, lit words) their 5-bit channels times 8; the
// flat pattern is the finished pixel.
//
// Pixel32Rgb is the same format for the usual layout, red at 16, green at
// 8, blue at 0, with the field positions known at compile time: the form a
// routine that composes pixels runs when g_colorShift32 says so
// (Pixel32::Forms, chosen by the walk once per call).
#pragma once

#include "bpp16/trapwalk.h"

namespace raster {

// Field positions, the low five bits of each count's low byte.
inline unsigned Shift32(uint16_t count) { return count & 31u; }

inline bool Pixel32LayoutIsRgb() {
    return Shift32(g_colorShift32.red) == 16 && Shift32(g_colorShift32.green) == 8 && Shift32(g_colorShift32.blue) == 0;
}

// The usual layout's pixel of every 15-bit colour, built at compile time:
// one load per textured pixel instead of three fields' shifts and masks.
struct TexelTable32Rgb {
    uint32_t pixel[0x8000];
    constexpr TexelTable32Rgb() : pixel() {
        for (uint32_t w = 0; w < 0x8000; ++w)
            pixel[w] = ((w << 19) & 0xf80000) | ((w << 6) & 0xf800) | ((w >> 7) & 0xf8);
    }
};
inline constexpr TexelTable32Rgb kTexelTable32Rgb{};

template <bool Rgb>
struct Pixel32Format {
    static constexpr uint32_t kBytes = 4;

    // The usual layout's form: whether the current tables hold its positions.
    static bool Matches() {
        static_assert(Rgb, "the general form serves every layout");
        return Pixel32LayoutIsRgb();
    }

    struct Call {
        uint32_t pattern;
        unsigned sr, sg, sb;
        explicit Call(const DevContext* ctx)
            : pattern(Load32(ctx->fillPattern)),
              sr(Rgb ? 16 : Shift32(g_colorShift32.red)),
              sg(Rgb ? 8 : Shift32(g_colorShift32.green)),
              sb(Rgb ? 0 : Shift32(g_colorShift32.blue)) {}
    };

    // The usual layout keeps blue's integer byte in the channel's top
    // byte (the value and both steps times 256, which wraps alike), so
    // that one shift takes it out.
    template <class F>
    static uint32_t ScaleChannel(unsigned i, uint32_t v) {
        return Rgb && i == 2 ? v << 8 : v;
    }

    // An unaligned start is written pixel by pixel; otherwise runs of 16,
    // then of 4, then single pixels.
    template <class F>
    static void FillFlat(const Call& pc, uint8_t* p, uint32_t n, uint32_t) {
        const uint32_t w = pc.pattern;
        if ((reinterpret_cast<uintptr_t>(p) & 3) != 0) {
            for (; n != 0; --n, p += 4) Store32(p, w);
            return;
        }
        for (; n >= 16; n -= 16, p += 64) {
#pragma GCC unroll 16
            for (unsigned i = 0; i < 16; ++i) Store32(p + 4 * i, w);
        }
        for (; n >= 4; n -= 4, p += 16) {
            Store32(p, w);
            Store32(p + 4, w);
            Store32(p + 8, w);
            Store32(p + 12, w);
        }
        for (; n != 0; --n, p += 4) Store32(p, w);
    }

    template <class F>
    static void StoreFlat(const Call& pc, uint8_t* p, uint32_t, uint32_t) {
        Store32(p, pc.pattern);
    }

    // No rounding or clamp: each channel's low integer byte.
    static uint32_t Compose(const Call& pc, uint32_t c0, uint32_t c1, uint32_t c2) {
        if constexpr (Rgb)
            return (c0 & 0xff0000) | ((c1 >> 8) & 0xff00) | (c2 >> 24);
        else
            return ((c0 >> 16) & 0xff) << pc.sr | ((c1 >> 16) & 0xff) << pc.sg | ((c2 >> 16) & 0xff) << pc.sb;
    }

    template <class F>
    static void StoreSmooth(const Call& pc, uint8_t* p, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t, uint32_t) {
        Store32(p, Compose(pc, c0, c1, c2));
    }

    // Each 5-bit channel times 8 (its low three bits 0); bit 15 and above
    // never reach the pixel.
    static uint32_t FromTexel(const Call& pc, uint32_t w) {
        if constexpr (Rgb)
            return kTexelTable32Rgb.pixel[w & 0x7fff];
        else
            return ((w & 0x001f) << 3) << pc.sr | ((w & 0x03e0) >> 2) << pc.sg | ((w & 0x7c00) >> 7) << pc.sb;
    }

    template <class F>
    static void StoreTexel(const Call& pc, uint8_t* p, uint32_t w, uint32_t, uint32_t) {
        static_assert(!F::colorIndex, "the 32-bit family has no colour-index textures");
        Store32(p, FromTexel(pc, w));
    }
};

using Pixel32Rgb = Pixel32Format<true>;
using Pixel32Any = Pixel32Format<false>;

struct Pixel32 {
    using Forms = PixelForms<Pixel32Rgb, Pixel32Any>;
};

}  // namespace raster
