// The 32-bit trapezoid routines on worked cases: the pixel of every
// conversion and shift counts taken from their low five bits. The
// bit-for-bit comparison over the whole case table and the dirty blocks of
// every family are in tests/raster_trap.
#include "bpp32/bpp32_trapezoids.h"
#include "canvas.h"
#include "frame/globals.h"
#include "textures.h"
#include "trap_cases.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

namespace {

DevTrapezoidsProc Routine(const char* suffix) {
    const std::string name = std::string("BPP32_DevTrapezoids") + suffix;
    for (uint32_t i = 0; i < g_bpp32TrapVariantCount; ++i)
        if (name == g_bpp32TrapVariants[i].name) return g_bpp32TrapVariants[i].proc;
    ADD_FAILURE() << "no routine " << name;
    return nullptr;
}

// A 16 x 16 power-of-two texture; u = v = 0 reads texel 0.
const TextureSpec kSmallTexture = {"16 x 16", TEXADDR_POW2, 4, 0, 0, 0, 0x1ffffff, 0x1ffffff};

CanvasShape Shape() {
    CanvasShape s;
    s.width = 1040;
    s.height = 8;
    s.bytesPerPixel = 4;
    s.depthFill = 0xffff;
    return s;
}

void Shifts(uint16_t r, uint16_t g, uint16_t b) { g_colorShift32 = {r, g, b}; }

TEST(Raster32, ChannelsGiveTheirLowIntegerByte) {
    const struct {
        uint16_t sr, sg, sb;
        uint32_t c0, c1, c2;
        uint32_t want;
    } cases[] = {
        {16, 8, 0, 0xff0000, 0x400000, 0x010000, 0xff4001},
        {0, 8, 16, 0xff0000, 0x400000, 0x010000, 0x0140ff},
        {16, 8, 0, 0xffffff, 0x40ffff, 0x01ffff, 0xff4001},      // fractions never reach the pixel
        {16, 8, 0, 0x1230000, 0xffff0000, 0x7fff0000, 0x23ffff},  // 0x123, -1, 0x7fff
        {24, 8, 0, 0xff0000, 0x800000, 0x010000, 0xff008001},     // a field reaching the top byte
    };
    g_dirtyShift = 5;
    for (const auto& t : cases) {
        Shifts(t.sr, t.sg, t.sb);
        for (const char* r : {"Ss", "SsZ"}) {
            Canvas c(Shape(), 7);
            EXPECT_EQ(DrawSpan(Routine(r), c, 3, 10, 11, t.c0, t.c1, t.c2), 1u);
            EXPECT_EQ(c.PixelValue(10, 3), t.want) << r << " shifts " << t.sr << "/" << t.sg << "/" << t.sb;
        }
    }
}

TEST(Raster32, TexelsGiveFiveBitsTimesEightAndNoOtherBit) {
    const struct {
        uint32_t texel;
        uint16_t sr, sg, sb;
        uint32_t want;
    } cases[] = {
        {0x7fff, 16, 8, 0, 0xf8f8f8}, {0xffff, 16, 8, 0, 0xf8f8f8}, {0x8000, 16, 8, 0, 0},
        {0x001f, 16, 8, 0, 0xf80000}, {0x001f, 0, 8, 16, 0x0000f8}, {0x0421, 0, 8, 16, 0x080808},
        {0x7c00, 0, 8, 16, 0xf80000},
    };
    g_dirtyShift = 5;
    TextureFixture tex(kSmallTexture, 2, 3);
    for (const auto& t : cases) {
        Shifts(t.sr, t.sg, t.sb);
        tex.SetTexel(0, t.texel);
        // Full light: the lit routines give the unlit pixel.
        const struct { const char* routine; uint32_t c0, c1, c2; } lights[] = {
            {"Tx", 0, 0, 0},
            {"PTxZ", 0, 0, 0},
            {"TxMRSs", 0xff0000, 0xff0000, 0xff0000},
            {"PTxTrMMSsZ", 0x1000000, 0, 0},
            {"PTxMSSs", 0x1000000, 0, 0},
        };
        for (const auto& l : lights) {
            Canvas c(Shape(), 9);
            c.ctx()->texture = tex.texture();
            c.ctx()->colorKey = 0x10000;  // matches no texel
            EXPECT_EQ(DrawSpan(Routine(l.routine), c, 2, 5, 7, l.c0, l.c1, l.c2), 1u);
            EXPECT_EQ(c.PixelValue(5, 2), t.want) << l.routine << " texel " << std::hex << t.texel;
            EXPECT_EQ(c.PixelValue(6, 2), t.want) << l.routine << " texel " << std::hex << t.texel;
        }
    }
}

// A shift count is its low byte taken modulo 32: 0x130, 0x28 and 0xff20
// place the fields as 16, 8 and 0 do, and 0x120, 0x108, 0x710 as 0, 8, 16.
TEST(Raster32, ShiftCountsTakeTheirLowFiveBits) {
    const struct {
        DevColorShift32 plain, odd;
    } layouts[] = {{{16, 8, 0}, {0x130, 0x28, 0xff20}}, {{0, 8, 16}, {0x120, 0x108, 0x710}}};
    TrapCase tc = TrapCases()[1];
    Chains chains(tc);
    uint8_t pattern[32];
    for (int i = 0; i < 32; ++i) pattern[i] = static_cast<uint8_t>(0x91 + 7 * i);
    for (const auto& l : layouts) {
        for (uint32_t i = 0; i < g_bpp32TrapVariantCount; ++i) {
            const DevTrapVariant& v = g_bpp32TrapVariants[i];
            const CanvasShape shape = ShapeFor(tc, 4);
            Canvas plain(shape, 21), odd(shape, 21);
            for (Canvas* k : {&plain, &odd}) PrepareContext(tc, k->ctx(), 2, pattern);
            g_dirtyShift = tc.dirtyShift;
            DevTrapGradients g = chains.grad;
            g_colorShift32 = l.plain;
            v.proc(plain.ctx(), chains.left.data(), chains.right.data(), &g);
            g_colorShift32 = l.odd;
            v.proc(odd.ctx(), chains.left.data(), chains.right.data(), &g);
            EXPECT_EQ(odd.Diff(plain), "") << v.name << " shifts " << std::hex << l.odd.red << "/" << l.odd.green
                                           << "/" << l.odd.blue;
        }
    }
}

}  // namespace
