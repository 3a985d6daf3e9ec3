// The 8-bit pixel format: one byte per pixel, an index into the colour cube
// that starts at g_paletteBase (red 3 bits, green 3, blue 2), or in
// colour-index mode the library's own index.
//
// Textured routines store the (lit) 15-bit texel: without dither its top
// bits go straight into the index (red levels 0, 2, 4, 6; green 0-7; blue
// 0-3); with dither each channel takes the dither offset before it is
// scaled by 6 (red) or 7 (green, blue). Flat-light MR converts undithered
// whatever the dither bit says, and index texels are stored as they are.
#pragma once

#include "bpp16/trapwalk.h"

namespace raster {

// Colour-cube index fields of the texels, without the base: of every
// 15-bit texel undithered; dithered at offset k, of red and green together
// and of blue, each channel shifted by k before it is scaled. Built at
// compile time; a load per pixel costs less than the shifts and masks.
struct TexelIndexTables {
    uint8_t plain[0x8000];
    uint8_t redGreen[4][0x400];
    uint8_t blue[4][0x20];
    constexpr TexelIndexTables() : plain(), redGreen(), blue() {
        for (uint32_t w = 0; w < 0x8000; ++w)
            plain[w] = static_cast<uint8_t>(((w & 0x18) << 3) | ((w >> 5) & 0x1c) | ((w >> 13) & 0x03));
        for (uint32_t k = 0; k < 4; ++k) {
            for (uint32_t w = 0; w < 0x400; ++w)
                redGreen[k][w] =
                    static_cast<uint8_t>(((((w & 0x1f) + k) * 6) & 0xe0) | (((((w >> 5) & 0x1f) + k) * 7 >> 3) & 0x1c));
            for (uint32_t b = 0; b < 0x20; ++b) blue[k][b] = static_cast<uint8_t>(((b + k) * 7 >> 6) & 0x03);
        }
    }
};
inline constexpr TexelIndexTables kTexelIndex{};

struct Pixel8 {
    static constexpr uint32_t kBytes = 1;

    struct Call {
        uint32_t pattern[2];  // flat pattern word of even and odd rows
        uint32_t base;        // palette base, low byte
        explicit Call(const DevContext* ctx) {
            pattern[0] = Load32(ctx->fillPattern);
            pattern[1] = Load32(ctx->fillPattern + 8);
            base = g_paletteBase & 0xff;
        }
        template <class F>
        uint32_t Row(uint32_t y) const {
            return F::dither ? pattern[y & 1] : pattern[0];
        }
    };

    // RGB channels are scaled so that a level of red or green spans 32.0
    // and one of blue 64.0: red by 6/8, green and blue by 7/8.
    template <class F>
    static uint32_t ScaleChannel(unsigned i, uint32_t v) {
        if constexpr (F::colorIndex) return v;
        return Sar(v * (i == 0 ? 6u : 7u), 3);
    }

    // Word stores of the row pattern on 4-byte boundaries, and single bytes
    // that take the byte of the pattern at their address (byte 0 without
    // dither), so each address gets the same byte whichever store wrote it.
    template <class F>
    static void FillFlat(const Call& pc, uint8_t* p, uint32_t n, uint32_t y) {
        const uint32_t w = pc.Row<F>(y);
        auto single = [w](uint8_t* a) {
            *a = static_cast<uint8_t>(F::dither ? w >> (8 * (reinterpret_cast<uintptr_t>(a) & 3)) : w);
        };
        for (; n != 0 && (reinterpret_cast<uintptr_t>(p) & 3) != 0; --n) single(p++);
        for (; n >= 16; n -= 16, p += 16) {
            Store32(p, w);
            Store32(p + 4, w);
            Store32(p + 8, w);
            Store32(p + 12, w);
        }
        for (; n >= 4; n -= 4, p += 4) Store32(p, w);
        for (; n != 0; --n) single(p++);
    }

    template <class F>
    static void StoreFlat(const Call& pc, uint8_t* p, uint32_t x, uint32_t y) {
        const uint32_t w = pc.Row<F>(y);
        *p = static_cast<uint8_t>(F::dither ? w >> (8 * (x & 3)) : w);
    }

    template <class F>
    static void StoreSmooth(const Call& pc, uint8_t* p, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t x, uint32_t y) {
        if constexpr (F::colorIndex) {
            const uint32_t e = F::dither ? ((x & 3) ^ ((y & 3) << 1)) << 14 : 0;
            *p = static_cast<uint8_t>((c0 + e) >> 16);
        } else {
            const uint32_t d = F::dither ? ((x << 19) ^ (y << 20)) & 0x180000 : 0;
            const uint32_t red = ((c0 + d) >> 16) & 0xe0;
            const uint32_t green = ((c1 + d) >> 19) & 0x1c;
            const uint32_t blue = ((c2 + d) >> 22) & 0x03;
            *p = static_cast<uint8_t>((red | green | blue) + pc.base);
        }
    }

    template <class F>
    static void StoreTexel(const Call& pc, uint8_t* p, uint32_t w, uint32_t x, uint32_t y) {
        if constexpr (F::colorIndex) {
            *p = static_cast<uint8_t>(w);
        } else if constexpr (F::dither && !F::flatLight) {
            const uint32_t k = (x ^ (y << 1)) & 3;
            *p = static_cast<uint8_t>((kTexelIndex.redGreen[k][w & 0x3ff] | kTexelIndex.blue[k][(w >> 10) & 0x1f]) +
                                      pc.base);
        } else {
            *p = static_cast<uint8_t>(kTexelIndex.plain[w & 0x7fff] + pc.base);
        }
    }
};

}  // namespace raster
