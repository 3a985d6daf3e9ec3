// The packed 24-bit pixel format: three bytes per pixel at any byte address.
// Every colour first becomes v = red | green << 8 | blue << 16 (8 bits a
// component); byte k of the pixel is then (v & mask[k]) >> shift[k] from
// g_byteMasks24, read at every pixel, so that red 0xff0000 gives
// blue-green-red in memory and red 0xff red-green-blue. The flat pattern is
// four pixels in twelve bytes.
#pragma once

#include "bpp16/trapwalk.h"

namespace raster {

struct Pixel24 {
    static constexpr uint32_t kBytes = 3;

    struct Call {
        uint32_t w0, w1, w2;  // the pattern's three words: b0 b1 b2 b0, b1 b2 b0 b1, b2 b0 b1 b2
        uint8_t b0, b1, b2;   // one pixel
        explicit Call(const DevContext* ctx)
            : w0(Load32(ctx->fillPattern)),
              w1(Load32(ctx->fillPattern + 4)),
              w2(Load32(ctx->fillPattern + 8)),
              b0(ctx->fillPattern[0]),
              b1(ctx->fillPattern[1]),
              b2(ctx->fillPattern[2]) {}
    };

    template <class F>
    static uint32_t ScaleChannel(unsigned, uint32_t v) {
        return v;
    }

    static void StoreBytes(const Call& pc, uint8_t* p) {
        p[0] = pc.b0;
        p[1] = pc.b1;
        p[2] = pc.b2;
    }

    // Single pixels up to a 4-byte boundary (at most three), groups of 12
    // pixels as nine words, groups of 3 as two words and b2, then the last
    // one or two pixels: nothing past the span is written.
    template <class F>
    static void FillFlat(const Call& pc, uint8_t* p, uint32_t n, uint32_t) {
        for (; n != 0 && (reinterpret_cast<uintptr_t>(p) & 3) != 0; --n, p += 3) StoreBytes(pc, p);
        const uint32_t w0 = pc.w0, w1 = pc.w1, w2 = pc.w2;
        for (; n >= 12; n -= 12, p += 36) {
            Store32(p, w0);
            Store32(p + 4, w1);
            Store32(p + 8, w2);
            Store32(p + 12, w0);
            Store32(p + 16, w1);
            Store32(p + 20, w2);
            Store32(p + 24, w0);
            Store32(p + 28, w1);
            Store32(p + 32, w2);
        }
        for (; n >= 3; n -= 3, p += 9) {
            Store32(p, w0);
            Store32(p + 4, w1);
            p[8] = pc.b2;
        }
        for (; n != 0; --n, p += 3) StoreBytes(pc, p);
    }

    template <class F>
    static void StoreFlat(const Call& pc, uint8_t* p, uint32_t, uint32_t) {
        StoreBytes(pc, p);
    }

    // The three bytes of colour value v, byte 0 first. The table is read
    // afresh for every pixel; shifts count modulo 32.
    static void Place(uint8_t* p, uint32_t v) {
        p[0] = static_cast<uint8_t>((v & g_byteMasks24.mask[0]) >> (g_byteMasks24.shift[0] & 31));
        p[1] = static_cast<uint8_t>((v & g_byteMasks24.mask[1]) >> (g_byteMasks24.shift[1] & 31));
        p[2] = static_cast<uint8_t>((v & g_byteMasks24.mask[2]) >> (g_byteMasks24.shift[2] & 31));
    }

    // No rounding or clamp: each channel's low integer byte.
    static uint32_t FromChannels(uint32_t c0, uint32_t c1, uint32_t c2) {
        return ((c0 & 0xff0000) >> 16) | ((c1 & 0xff0000) >> 8) | (c2 & 0xff0000);
    }

    template <class F>
    static void StoreSmooth(const Call&, uint8_t* p, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t, uint32_t) {
        Place(p, FromChannels(c0, c1, c2));
    }

    // Each 5-bit channel becomes the top five bits of its component (times
    // 8, low three bits 0); bit 15 and above never reach the pixel.
    static uint32_t FromTexel(uint32_t w) { return ((w & 0x001f) << 3) | ((w & 0x03e0) << 6) | ((w & 0x7c00) << 9); }

    template <class F>
    static void StoreTexel(const Call&, uint8_t* p, uint32_t w, uint32_t, uint32_t) {
        static_assert(!F::colorIndex && !F::dither, "the 24-bit family has no colour-index or dithered routines");
        Place(p, FromTexel(w));
    }
};

}  // namespace raster
