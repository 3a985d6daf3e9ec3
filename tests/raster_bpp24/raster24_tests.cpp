// The 24-bit trapezoid routines on worked cases: the bytes of every
// conversion at both byte orders and through any byte table, shift counts
// from their low five bits and the flat fill's groups. The bit-for-bit
// comparison over the whole case table and the dirty blocks of every family
// are in tests/raster_trap.
#include "bpp24/bpp24_trapezoids.h"
#include "canvas.h"
#include "formats.h"
#include "textures.h"
#include "trap_cases.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

namespace {

DevTrapezoidsProc Routine(const char* suffix) {
    const std::string name = std::string("BPP24_DevTrapezoids") + suffix;
    for (uint32_t i = 0; i < g_bpp24TrapVariantCount; ++i)
        if (name == g_bpp24TrapVariants[i].name) return g_bpp24TrapVariants[i].proc;
    ADD_FAILURE() << "no routine " << name;
    return nullptr;
}

// A 16 x 16 power-of-two texture; u = v = 0 reads texel 0.
const TextureSpec kSmallTexture = {"16 x 16", TEXADDR_POW2, 4, 0, 0, 0, 0x1ffffff, 0x1ffffff};

CanvasShape Shape(uint32_t align = 0) {
    CanvasShape s;
    s.width = 1040;
    s.height = 8;
    s.bytesPerPixel = 3;
    s.align = align;
    s.depthFill = 0xffff;
    return s;
}

std::string Bytes(Canvas& c, int x, int y) {
    char text[16];
    const uint8_t* p = c.PixelAddress(x, y);
    snprintf(text, sizeof text, "%02x %02x %02x", p[0], p[1], p[2]);
    return text;
}

// Green first, then blue, then red, and a byte 1 that straddles green and
// blue: the routines follow whatever table the frame made.
const DevByteMasks24 kGbr = {{0x00ff00, 0xff0000, 0x0000ff}, {8, 16, 0}};
const DevByteMasks24 kStraddle = {{0x000ff0, 0x0ff000, 0x0000ff}, {4, 12, 0}};

TEST(Raster24, ChannelsGiveTheirLowIntegerByte) {
    const struct {
        const RefFormat* fmt;
        const DevByteMasks24* table;
        uint32_t c0, c1, c2;
        const char* want;
    } cases[] = {
        {&kFormat24Bgr, nullptr, 0x00ff8000, 0x00400000, 0x00010000, "01 40 ff"},
        {&kFormat24Rgb, nullptr, 0x00ff8000, 0x00400000, 0x00010000, "ff 40 01"},
        {&kFormat24Rgb, nullptr, 0x01230000, 0xffff0000, 0x7fffffff, "23 ff ff"},  // 0x123, -1, fractions
        {&kFormat24Bgr, &kGbr, 0x00ff8000, 0x00400000, 0x00010000, "40 01 ff"},
        {&kFormat24Bgr, &kStraddle, 0x00ab0000, 0x00cd0000, 0x00ef0000, "da fc ab"},  // v = 0xefcdab
    };
    g_dirtyShift = 5;
    for (const auto& t : cases) {
        RefApplyFormat(*t.fmt);
        if (t.table) g_byteMasks24 = *t.table;
        for (const char* r : {"Ss", "SsZ"}) {
            for (uint32_t align = 0; align < 4; ++align) {
                Canvas c(Shape(align), 7);
                Canvas before(Shape(align), 7);
                EXPECT_EQ(DrawSpan(Routine(r), c, 3, 11, 12, t.c0, t.c1, t.c2), 1u);
                EXPECT_EQ(Bytes(c, 11, 3), t.want) << r << " " << t.fmt->name << (t.table ? " (own table)" : "");
                // Only the pixel's three bytes (and its depth) change.
                for (Canvas* k : {&c, &before}) {
                    k->SetPixelValue(11, 3, 0);
                    k->Depth(11, 3) = 0;
                    k->Dirty(3) = 0;
                }
                EXPECT_EQ(c.Diff(before), "") << r << " align " << align;
            }
        }
    }
}

TEST(Raster24, TexelsGiveFiveBitsTimesEightAndNoOtherBit) {
    const struct {
        uint32_t texel;
        const RefFormat* fmt;
        const DevByteMasks24* table;
        const char* want;
    } cases[] = {
        {0x7fff, &kFormat24Bgr, nullptr, "f8 f8 f8"}, {0xffff, &kFormat24Rgb, nullptr, "f8 f8 f8"},
        {0x8000, &kFormat24Bgr, nullptr, "00 00 00"}, {0x0000, &kFormat24Rgb, nullptr, "00 00 00"},
        {0x001f, &kFormat24Bgr, nullptr, "00 00 f8"}, {0x001f, &kFormat24Rgb, nullptr, "f8 00 00"},
        {0x0001, &kFormat24Rgb, nullptr, "08 00 00"}, {0x0421, &kFormat24Bgr, nullptr, "08 08 08"},
        {0x7c00, &kFormat24Rgb, nullptr, "00 00 f8"}, {0x03e0, &kFormat24Bgr, &kGbr, "f8 00 00"},
        {0x7fff, &kFormat24Bgr, &kStraddle, "8f 8f f8"},  // v = 0xf8f8f8
    };
    g_dirtyShift = 5;
    TextureFixture tex(kSmallTexture, 2, 3);
    for (const auto& t : cases) {
        RefApplyFormat(*t.fmt);
        if (t.table) g_byteMasks24 = *t.table;
        tex.SetTexel(0, t.texel);
        // Full light: the lit routines give the unlit pixel.
        const struct { const char* routine; uint32_t c0, c1, c2; } lights[] = {
            {"Tx", 0, 0, 0},
            {"PTxZ", 0, 0, 0},
            {"TxTrMRSsZ", 0xff0000, 0xff0000, 0xff0000},
            {"PTxTrMMSsZ", 0x1000000, 0, 0},
            {"PTxMSSs", 0x1000000, 0, 0},
        };
        for (const auto& l : lights) {
            Canvas c(Shape(1), 9);
            c.ctx()->texture = tex.texture();
            c.ctx()->colorKey = 0x10000 | t.texel;  // matches no texel
            EXPECT_EQ(DrawSpan(Routine(l.routine), c, 2, 5, 7, l.c0, l.c1, l.c2), 1u);
            EXPECT_EQ(Bytes(c, 5, 2), t.want) << l.routine << " texel " << std::hex << t.texel;
            EXPECT_EQ(Bytes(c, 6, 2), t.want) << l.routine << " texel " << std::hex << t.texel;
        }
    }
}

// A shift count is its low byte taken modulo 32: counts with bits above
// the low five set place the bytes as the plain counts do.
TEST(Raster24, ShiftCountsTakeTheirLowFiveBits) {
    TrapCase tc = TrapCases()[1];
    Chains chains(tc);
    uint8_t pattern[32];
    for (int i = 0; i < 32; ++i) pattern[i] = static_cast<uint8_t>(0x91 + 7 * i);
    for (const RefFormat* fmt : {&kFormat24Bgr, &kFormat24Rgb}) {
        for (uint32_t i = 0; i < g_bpp24TrapVariantCount; ++i) {
            const DevTrapVariant& v = g_bpp24TrapVariants[i];
            const CanvasShape shape = ShapeFor(tc, 3);
            Canvas plain(shape, 21), odd(shape, 21);
            for (Canvas* k : {&plain, &odd}) PrepareContext(tc, k->ctx(), 2, pattern);
            g_dirtyShift = tc.dirtyShift;
            DevTrapGradients g = chains.grad;
            RefApplyFormat(*fmt);
            v.proc(plain.ctx(), chains.left.data(), chains.right.data(), &g);
            const uint32_t above[3] = {0x120, 0x1e0, 0xff20};  // bits 5 to 15
            for (int k = 0; k < 3; ++k) g_byteMasks24.shift[k] += above[k];
            v.proc(odd.ctx(), chains.left.data(), chains.right.data(), &g);
            EXPECT_EQ(odd.Diff(plain), "") << v.name << " on " << fmt->name;
        }
    }
}

// The flat fill: single pixels to a 4-byte boundary, 12-pixel groups of
// nine words, 3-pixel groups of two words and b2, single pixels. A pattern
// whose twelve bytes all differ shows which store wrote each byte.
TEST(Raster24, FlatFillGroups) {
    const struct {
        uint32_t align;  // of the span's first byte
        std::vector<int> groups;
    } cases[] = {
        {1, {1, 12, 3, 3, 1}}, {0, {3}}, {0, {12}}, {0, {12, 3, 1, 1}}, {2, {1, 1}},
        {2, {1, 1, 3}},        {3, {1, 1, 1, 12, 12, 1, 1}},           {3, {1}},     {0, {1}},
    };
    uint8_t pattern[32];
    for (int i = 0; i < 32; ++i) pattern[i] = static_cast<uint8_t>(0x10 + i);
    g_dirtyShift = 5;
    RefApplyFormat(kFormat24Bgr);
    for (const auto& t : cases) {
        std::vector<uint8_t> want;
        std::string label;
        for (int n : t.groups) {
            label += std::to_string(n) + " ";
            for (int i = 0; i < 3 * n; ++i)
                want.push_back(pattern[n == 1 ? i : n == 12 ? i % 12 : (i < 8 ? i : 2)]);
        }
        const int x0 = 7, x1 = x0 + static_cast<int>(want.size() / 3);
        // The buffer's alignment that puts pixel x0 of row 1 at t.align.
        Canvas probe(Shape(0), 1);
        const uint32_t from0 = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(probe.PixelAddress(x0, 1)) % 4);
        const CanvasShape shape = Shape((t.align + 4 - from0) % 4);
        Canvas c(shape, 13), before(shape, 13);
        ASSERT_EQ(reinterpret_cast<uintptr_t>(c.PixelAddress(x0, 1)) % 4, t.align);
        memcpy(c.ctx()->fillPattern, pattern, 32);
        EXPECT_EQ(DrawSpan(Routine("Fs"), c, 1, x0, x1), 1u);
        EXPECT_EQ(memcmp(c.PixelAddress(x0, 1), want.data(), want.size()), 0) << "groups " << label;
        for (int x = x0; x < x1; ++x) c.SetPixelValue(x, 1, before.PixelValue(x, 1));
        c.Dirty(1) = before.Dirty(1);
        EXPECT_EQ(c.Diff(before), "") << "groups " << label;
    }
}

}  // namespace
