// The 32-bit pixel format: one u32 per pixel, red, green and blue each an
// 8-bit field starting at its g_colorShift32 count; every other bit is 0,
// so no alpha is ever stored. Channels (8.16) give their integer byte,
// 15-bit colours (texels, lit words) their 5-bit channels times 8; the
// flat pattern is the finished pixel.
#pragma once

#include "bpp16/trapwalk.h"

namespace raster {

struct Pixel32 {
    static constexpr uint32_t kBytes = 4;

    struct Call {
        uint32_t pattern;
        unsigned sr, sg, sb;  // field positions, modulo 32
        explicit Call(const DevContext* ctx)
            : pattern(Load32(ctx->fillPattern)),
              sr((g_colorShift32.red & 0xff) & 31),
              sg((g_colorShift32.green & 0xff) & 31),
              sb((g_colorShift32.blue & 0xff) & 31) {}
    };

    template <class F>
    static uint32_t ScaleChannel(unsigned, uint32_t v) { return v; }

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
        return ((c0 >> 16) & 0xff) << pc.sr | ((c1 >> 16) & 0xff) << pc.sg | ((c2 >> 16) & 0xff) << pc.sb;
    }

    template <class F>
    static void StoreSmooth(const Call& pc, uint8_t* p, uint32_t c0, uint32_t c1, uint32_t c2,
                            uint32_t, uint32_t) {
        Store32(p, Compose(pc, c0, c1, c2));
    }

    // Each 5-bit channel times 8 (its low three bits 0); bit 15 and above
    // never reach the pixel.
    static uint32_t FromTexel(const Call& pc, uint32_t w) {
        return ((w & 0x001f) << 3) << pc.sr | ((w & 0x03e0) >> 2) << pc.sg | ((w & 0x7c00) >> 7) << pc.sb;
    }

    template <class F>
    static void StoreTexel(const Call& pc, uint8_t* p, uint32_t w, uint32_t, uint32_t) {
        static_assert(!F::colorIndex, "the 32-bit family has no colour-index textures");
        Store32(p, FromTexel(pc, w));
    }
};

}  // namespace raster
