// The reference on its own, against values worked out by hand from the
// rules, so that it can be trusted before the routines it checks exist.
#include "canvas.h"
#include "formats.h"
#include "frame/services.h"
#include "reference.h"
#include "textures.h"
#include "trap_cases.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <math.h>
#include <string.h>

#include <vector>

namespace {

RefFeatures Features(uint32_t key, uint8_t lightMode = 0) {
    RefFeatures f;
    EXPECT_TRUE(RefDecode(key, lightMode, &f)) << std::hex << key;
    return f;
}

TEST(RefFormats, TablesOfTheTwo16BitLayouts) {
    RefApplyFormat(kFormat565);
    EXPECT_EQ(g_pixelCompose16.redMask, 0xf80000u);
    EXPECT_EQ(g_pixelCompose16.redShift, 8u);
    EXPECT_EQ(g_pixelCompose16.greenMask, 0xfc0000u);
    EXPECT_EQ(g_pixelCompose16.greenShift, 13u);
    EXPECT_EQ(g_pixelCompose16.blueMask, 0xf80000u);
    EXPECT_EQ(g_pixelCompose16.blueShift, 19u);
    EXPECT_EQ(g_texelShift16.red, 8u);
    EXPECT_EQ(g_texelShift16.green, 13u);
    EXPECT_EQ(g_texelShift16.blue, 19u);
    RefApplyFormat(kFormat555);
    EXPECT_EQ(g_texelShift16.red, 9u);
    EXPECT_EQ(g_texelShift16.green, 14u);
    EXPECT_EQ(g_texelShift16.blue, 19u);
    EXPECT_EQ(g_pixelCompose16.redShift, 9u);
}

// The tables the tests set up are the ones the frame makes from the same
// device description.
TEST(RefFormats, AgreeWithTheFramesTables) {
    for (const RefFormat* f : {&kFormat565, &kFormat555, &kFormat24Bgr, &kFormat24Rgb, &kFormat32Shift16,
                               &kFormat32Shift0}) {
        RefApplyFormat(*f);
        const DevColorMasks masks = g_colorMasks;
        const DevTexelShift16 texel = g_texelShift16;
        const DevColorShift32 shift = g_colorShift32;
        const DevByteMasks24 bytes = g_byteMasks24;
        g_colorMasks = {};
        g_texelShift16 = {};
        g_colorShift32 = {};
        g_byteMasks24 = {};
        const DeviceInfo info = RefDeviceInfo(*f);
        PixelFormatTables(&info);
        EXPECT_EQ(memcmp(&masks, &g_colorMasks, sizeof masks), 0) << f->name;
        EXPECT_EQ(memcmp(&texel, &g_texelShift16, sizeof texel), 0) << f->name;
        EXPECT_EQ(memcmp(&shift, &g_colorShift32, sizeof shift), 0) << f->name;
        if (f->bytesPerPixel == 3) {
            EXPECT_EQ(memcmp(&bytes, &g_byteMasks24, sizeof bytes), 0) << f->name;
        }
    }
}

TEST(RefPixels, EightBitTexels) {
    const uint32_t B = 10;
    EXPECT_EQ(RefTexel8(0x7fff, false, 0, 0, B), B + 0xdf);
    EXPECT_EQ(RefTexel8(0xffff, false, 0, 0, B), B + 0xdf);
    EXPECT_EQ(RefTexel8(0x001f, false, 0, 0, B), B + 0xc0);
    EXPECT_EQ(RefTexel8(0x03e0, false, 0, 0, B), B + 0x1c);
    EXPECT_EQ(RefTexel8(0x7c00, false, 0, 0, B), B + 0x03);
    EXPECT_EQ(RefTexel8(0x0010, false, 0, 0, B), B + 0x80);
    EXPECT_EQ(RefTexel8(0x4210, false, 0, 0, B), B + 0x92);  // all three channels 16
    EXPECT_EQ(RefTexel8(0x7fff, false, 0, 0, 0x40), 0x1f);   // the sum wraps in the byte
    // Dither step k of column x on row y: 0..3 on even rows, 2, 3, 0, 1 on odd rows.
    const struct { uint32_t x, y, k; } at[] = {{0, 0, 0}, {1, 0, 1}, {2, 0, 2}, {3, 0, 3},
                                               {4, 2, 0}, {2, 1, 0}, {0, 1, 2}, {7, 5, 1}};
    for (const auto& p : at) {
        EXPECT_EQ(RefTexel8(0x7fff, true, p.x, p.y, B), B + (p.k == 0 ? 0xbb : 0xdf)) << p.x << "," << p.y;
        EXPECT_EQ(RefTexel8(0x001f, true, p.x, p.y, B), B + (p.k == 0 ? 0xa0 : 0xc0)) << p.x << "," << p.y;
        EXPECT_EQ(RefTexel8(0x4210, true, p.x, p.y, B), B + (p.k == 3 ? 0x72 : 0x6d)) << p.x << "," << p.y;
    }
}

TEST(RefPixels, SixteenBitPixels) {
    const uint32_t full = 0xff0000;
    EXPECT_EQ(RefChannelPixel(kFormat565, full, full, full), 0xffffu);
    EXPECT_EQ(RefChannelPixel(kFormat565, 0x800000, 0, 0), 0x8000u);
    EXPECT_EQ(RefChannelPixel(kFormat565, 0x1040000, 0, 0), 0x0000u);  // 260.0: no clamp
    EXPECT_EQ(RefChannelPixel(kFormat565, 0x0fa0000, 0, 0), 0xf800u);  // 250.0
    EXPECT_EQ(RefChannelPixel(kFormat565, 0xffff0000u, 0, 0), 0xf800u);  // -1.0: its integer part mod 256
    EXPECT_EQ(RefChannelPixel(kFormat555, 0, 0xff0000, 0x80000), 0x03e1u);
    EXPECT_EQ(RefTexelPixel(kFormat565, 0x7fff), 0xffdfu);  // green's lowest bit stays 0
    EXPECT_EQ(RefTexelPixel(kFormat565, 0xffff), 0xffdfu);
    EXPECT_EQ(RefTexelPixel(kFormat565, 0x0001), 0x0800u);  // red 1 at the top of its field
    EXPECT_EQ(RefTexelPixel(kFormat565, 0x0020), 0x0040u);  // green 1 above the field's low bit
    EXPECT_EQ(RefTexelPixel(kFormat555, 0x7fff), 0x7fffu);
    EXPECT_EQ(RefTexelPixel(kFormat555, 0x001f), 0x7c00u);  // red to the top field
}

TEST(RefPixels, TwentyFourAndThirtyTwoBitPixels) {
    // Bytes in memory order are the little-endian bytes of the value.
    EXPECT_EQ(RefChannelPixel(kFormat24Bgr, 0x00ff8000, 0x00400000, 0x00010000), 0xff4001u);  // 01 40 ff
    EXPECT_EQ(RefChannelPixel(kFormat24Rgb, 0x00ff8000, 0x00400000, 0x00010000), 0x0140ffu);  // ff 40 01
    EXPECT_EQ(RefChannelPixel(kFormat24Rgb, 0x01230000, 0xffff0000u, 0), 0x00ff23u);
    EXPECT_EQ(RefTexelPixel(kFormat24Bgr, 0x7fff), 0xf8f8f8u);
    EXPECT_EQ(RefTexelPixel(kFormat24Bgr, 0x8000), 0u);
    EXPECT_EQ(RefTexelPixel(kFormat24Bgr, 0x001f), 0xf80000u);  // 00 00 f8
    EXPECT_EQ(RefTexelPixel(kFormat24Rgb, 0x001f), 0x0000f8u);  // f8 00 00
    EXPECT_EQ(RefTexelPixel(kFormat24Rgb, 0x0001), 0x000008u);
    EXPECT_EQ(RefChannelPixel(kFormat32Shift16, 0xff0000, 0x400000, 0x010000), 0xff4001u);
    EXPECT_EQ(RefChannelPixel(kFormat32Shift0, 0xff0000, 0x400000, 0x010000), 0x0140ffu);
    EXPECT_EQ(RefChannelPixel(kFormat32Shift0, 0x1230000, 0xffff0000u, 0), 0x00ff23u);
    EXPECT_EQ(RefTexelPixel(kFormat32Shift16, 0x7fff), 0xf8f8f8u);
    EXPECT_EQ(RefTexelPixel(kFormat32Shift16, 0x8000), 0u);
    EXPECT_EQ(RefTexelPixel(kFormat32Shift16, 0x001f), 0xf80000u);
}

uint32_t Texel(uint32_t r, uint32_t g, uint32_t b) { return r | g << 5 | b << 10; }

TEST(RefLighting, MRSubtractsFromEachChannel) {
    const uint32_t t = Texel(20, 15, 31);
    const uint32_t full[3] = {0xff0000, 0xf80000, 0xffffff};
    EXPECT_EQ(RefLitWord(RefFeatures::kLightMRSmooth, t, full, 0), t);
    const uint32_t half[3] = {0x800000, 0x800000, 0x800000};  // level 128 subtracts 15
    EXPECT_EQ(RefLitWord(RefFeatures::kLightMRSmooth, t, half, 0), Texel(5, 0, 16));
    const uint32_t dark[3] = {0x7ffff, 0, 0x1000000};  // below 8.0, and 256.0 reads as 0
    EXPECT_EQ(RefLitWord(RefFeatures::kLightMRSmooth, t, dark, 0), 0u);
    EXPECT_EQ(RefLitWord(RefFeatures::kLightMRSmooth, Texel(10, 31, 0), half, 0), Texel(0, 16, 0));
    const uint32_t none[3] = {0, 0, 0};
    EXPECT_EQ(RefLitWord(RefFeatures::kLightMRFlat, t, none, 0x00ffffff), t);
    EXPECT_EQ(RefLitWord(RefFeatures::kLightMRFlat, t, none, 0xffffffff), t);
    EXPECT_EQ(RefLitWord(RefFeatures::kLightMRFlat, t, none, 0x00000000), 0u);
    EXPECT_EQ(RefLitWord(RefFeatures::kLightMRFlat, t, none, 0x000000ff), Texel(20, 0, 0));
    EXPECT_EQ(RefLitWord(RefFeatures::kLightMRFlat, t, none, 0x00808080), Texel(5, 0, 16));
    EXPECT_EQ(RefLitWord(RefFeatures::kLightMRFlat, t | 0x8000, none, 0x00ffffff), t);  // bit 15 dropped
}

TEST(RefLighting, MMMultipliesUnclamped) {
    const uint32_t t = Texel(31, 1, 17);
    auto mm = [](uint32_t texel, uint32_t intensity) {
        const uint32_t ch[3] = {intensity, 0xdead0000, 0xbeef0000};  // only ch0 counts
        return RefLitWord(RefFeatures::kLightMM, texel, ch, 0);
    };
    EXPECT_EQ(mm(t, 0x1000000), t);
    EXPECT_EQ(mm(t, 0xff0000), Texel(30, 0, 16));
    EXPECT_EQ(mm(t, 0x800000), Texel(15, 0, 8));
    EXPECT_EQ(mm(t, 0), 0u);
    EXPECT_EQ(mm(0x001f, 0x1084210), 0x1fu);      // 31 x 264.26 just below 2^29
    EXPECT_EQ(mm(0x001f, 0x1084211), 0x20u);      // 32: red's overflow is green's low bit
    EXPECT_EQ(mm(0x7c00, 0x1090000), 0x8000u);    // blue's overflow reaches bit 15
    EXPECT_EQ(mm(0x0001, 0xffff0000u), 0xffffu);  // negative intensity: all ones
}

TEST(RefLighting, MSMultipliesAddsAndSaturates) {
    auto ms = [](uint32_t texel, uint32_t intensity, uint32_t add) {
        const uint32_t ch[3] = {intensity, add, 0xdead0000};
        return RefLitWord(RefFeatures::kLightMS, texel, ch, 0);
    };
    const uint32_t t = Texel(31, 0, 9);
    EXPECT_EQ(ms(t, 0x1000000, 0), t);
    EXPECT_EQ(ms(t, 0x1000000, 0x80000), Texel(31, 1, 10));
    EXPECT_EQ(ms(t, 0, 0xff0000), 0x7fffu);
    EXPECT_EQ(ms(t, 0x800000, 0xf80000), 0x7fffu);
    EXPECT_EQ(ms(t, 0, 0), 0u);
    EXPECT_EQ(ms(0, 0x1000000, 0x100000), Texel(2, 2, 2));
    // The sums wrap below 2^24 where the product adds enough, else saturate.
    EXPECT_EQ(ms(t, 0x1000000, 0xfff00000u), Texel(29, 31, 7));
}

TEST(RefTextures, TexelIndexOfEachMode) {
    DevTexture t;
    memset(&t, 0, sizeof t);
    t.addressMode = TEXADDR_POW2;
    t.rowShift = 8;
    t.uMask = t.vMask = 0xffffffff;
    EXPECT_EQ(RefTexelIndex(&t, 3 << 21, 2 << 21), 515u);
    t.rowShift = 40;  // modulo 32
    EXPECT_EQ(RefTexelIndex(&t, 3 << 21 | 0x1fffff, 2 << 21), 515u);
    t.uMask = 0x1fffffff;  // 8 integer bits: -0.5 is column 255
    EXPECT_EQ(RefTexelIndex(&t, 0xfff00000u, 0), 255u);
    t.addressMode = TEXADDR_POW2_SUM;
    t.rowShift = 8;
    t.rowShift2 = 7;
    EXPECT_EQ(RefTexelIndex(&t, 3 << 21, 2 << 21), 3u + 2 * 384);
    t.addressMode = TEXADDR_SCALED;
    t.width = 100;
    t.height = 50;
    EXPECT_EQ(RefTexelIndex(&t, 0x100000, 0x100000), 50u + 25 * 100);
    EXPECT_EQ(RefTexelIndex(&t, 0x1fffff, 0), 99u);
    EXPECT_EQ(RefTexelIndex(&t, 0x200000, 0x7fe00000), 0u);
    t.addressMode = 12345;
    EXPECT_EQ(RefTexelIndex(&t, 0x100000, 0x100000), 2550u);
}

TEST(RefTextures, FixturesEndAtAnInaccessiblePage) {
    for (int i = 0; i < TextureSpecCount(); ++i) {
        for (uint32_t bytes : {1u, 2u}) {
            TextureFixture& f = SharedTexture(i, bytes);
            const uint8_t* end = static_cast<const uint8_t*>(f.texture()->texels) + f.texelCount() * bytes;
            MEMORY_BASIC_INFORMATION m;
            ASSERT_NE(VirtualQuery(end, &m, sizeof m), 0u);
            EXPECT_EQ(m.Protect, static_cast<DWORD>(PAGE_NOACCESS)) << TextureSpecAt(i).name;
            ASSERT_NE(VirtualQuery(end - 1, &m, sizeof m), 0u);
            EXPECT_EQ(m.Protect, static_cast<DWORD>(PAGE_READWRITE)) << TextureSpecAt(i).name;
        }
    }
    EXPECT_EQ(TextureTexelCount(TextureSpecAt(2)), 15u * 10 + 7 + 1);  // rows of 2^3 + 2^1
    EXPECT_EQ(TextureTexelCount(TextureSpecAt(3)), 35u);
}

TEST(RefStepping, PerspectiveRowStep) {
    RefQuadState s = {0x400000, 0x100000, 0x80000};
    RefStepQuadRow(s, 0x1000, 0x800, 0x400, 2, false);
    EXPECT_EQ(s.L, 0x682000u);
    EXPECT_EQ(s.dL, 0x102800u);
    EXPECT_EQ(s.eL, 0x81400u);
    s = {0x400000, 0x100000, 0x80000};
    RefStepQuadRow(s, 0x1000, 0x800, 0x400, 2, true);
    EXPECT_EQ(s.L, 0x784800u);
    EXPECT_EQ(s.dL, 0x103800u);
    EXPECT_EQ(s.eL, 0x81c00u);
    // k = 2, A = 3: the halved term is 1, one unit under the two pixel steps.
    s = {0, 100, 0};
    RefStepQuadRow(s, 3, 0, 0, 2, false);
    EXPECT_EQ(s.L, (1u + 100) * 2);
    // k = -2, A = 3: the halved term is -5, a term of 10 where 9 is exact.
    s = {1000, 100, 0};
    RefStepQuadRow(s, 3, 0, 0, -2, false);
    EXPECT_EQ(s.L, 1000u + (-5 + 100) * static_cast<uint32_t>(-2));
    // k = -1: after dL += B, L += A - dL + eL, then dL -= A, eL += C - B.
    s = {5000, 300, 70};
    RefStepQuadRow(s, 9, 4, 2, -1, false);
    EXPECT_EQ(s.L, 5000u + 9 - 304 + 70);
    EXPECT_EQ(s.dL, 304u - 9);
    EXPECT_EQ(s.eL, 70u + 2 - 4);
    // k = 0 with the edge moving one pixel: the extra step after the B.
    s = {5000, 300, 70};
    RefStepQuadRow(s, 9, 4, 2, 0, true);
    EXPECT_EQ(s.L, 5000u + 70 + 304);
    EXPECT_EQ(s.dL, 304u + 9);
    EXPECT_EQ(s.eL, 72u + 4);
}

// An 8-bit index texture whose texel at (column, row) of a 16 x 16 grid is
// column + 16 * row, drawn by the colour-index texture features on single
// pixel spans: each pixel shows where its row's first pixel sampled.
struct IndexGrid {
    TextureSpec shape = {"grid", TEXADDR_POW2, 4, 0, 0, 0, ((16 - 1) << 21) | 0x1fffff, ((16 - 1) << 21) | 0x1fffff};
    TextureFixture fixture{shape, 1, 1};
    IndexGrid() {
        for (uint32_t i = 0; i < 256; ++i) fixture.SetTexel(i, i);
    }
};

TEST(RefStepping, SinglePixelSpansSampleTheRowsFirstPixel) {
    IndexGrid grid;
    g_dirtyShift = 5;
    for (uint32_t key : {0x300002u, 0x100002u}) {  // affine and perspective index textures
        CanvasShape shape;
        shape.width = 64;
        shape.height = 10;
        Canvas canvas(shape, 3);
        canvas.ctx()->texture = grid.fixture.texture();
        // The edge moves 1.5 columns a row: k = 1, and k + 1 on every other row.
        TrapCase c{"one pixel a row", 0, {{0, 1.5, 8}}, {{1, 1.5, 8}}, Grad(0, 0, 0, 0, 0, 0, 0, 0)};
        c.motion = kTexLinear;
        c.motion.u = 0;
        c.motion.v = 0;
        c.motion.uStepX = 0x200000;  // one column a pixel
        c.motion.uStepY = 0;
        c.motion.vStepX = 0;
        c.motion.vStepY = 0x200000;  // one row a row
        c.motion.dudx = 0x200000;
        c.motion.dudy = 0;
        c.motion.dvdx = 0;
        c.motion.dvdy = 0x200000;
        Chains chains(c);
        RefTrapezoids(Features(key), kFormat8, canvas.ctx(), chains.left.data(), chains.right.data(), &chains.grad);
        for (int row = 0; row < 8; ++row) {
            const int x = row * 3 / 2;  // floor(1.5 row)
            // Affine: u follows the exact edge, 1.5 columns a row, so the
            // column is floor(1.5 row) too; perspective follows the pixels.
            EXPECT_EQ(canvas.Pixel(x, row), x + 16 * row) << std::hex << key << " row " << row;
        }
    }
}

// Depth one unit a pixel and nothing a row from column 10: under the k
// scheme the first pixel's depth is its column less 10, whatever the
// slope; the flat routines follow the exact edge instead, from 10.5 by
// 1.5 units a row where the first pixel moves 1 or 2.
TEST(RefStepping, DepthAtTheFirstPixelOrAtTheExactEdge) {
    g_dirtyShift = 5;
    for (double slope : {1.5, -1.5, 0.5, -0.5, 3.25, -3.25}) {
        for (uint32_t key : {0x9u, 0x20000au, 0xau}) {  // SsZ, TxZ, PTxZ: the k scheme
            CanvasShape shape;
            shape.width = 80;
            shape.height = 12;
            shape.depthFill = 0xffff;
            Canvas canvas(shape, 5);
            canvas.ctx()->texture = SharedTexture(0, 2).texture();
            TrapCase c{"slope", 0, {{40.5, slope, 10, 0x100u << 12}}, {{79, 0, 10}}, Grad(0x1000, 0, 0, 0, 0, 0, 0, 0)};
            Chains chains(c);
            RefTrapezoids(Features(key), kFormat565, canvas.ctx(), chains.left.data(), chains.right.data(),
                          &chains.grad);
            for (int row = 0; row < 10; ++row) {
                const int xl = static_cast<int>(floor(40.5 + slope * row));
                EXPECT_EQ(canvas.Depth(xl, row), 0x100 + xl - 40) << std::hex << key << " slope " << slope << " row " << row;
            }
        }
    }
    CanvasShape shape;
    shape.width = 40;
    shape.height = 10;
    shape.depthFill = 0xffff;
    Canvas canvas(shape, 5);
    TrapCase c{"flat", 0, {{10.5, 1.5, 8, 0x100u << 12}}, {{39, 0, 8}}, Grad(0x1000, 0, 0, 0, 0, 0, 0, 0)};
    Chains chains(c);
    RefTrapezoids(Features(DEV_DEPTH), kFormat32Shift0, canvas.ctx(), chains.left.data(), chains.right.data(),
                  &chains.grad);
    for (int row = 0; row < 8; ++row) {
        const int xl = static_cast<int>(floor(10.5 + 1.5 * row));
        EXPECT_EQ(canvas.Depth(xl, row), 0x100 + row * 3 / 2) << row;
    }
}

// Keyed and depth-failing pixels write nothing, but every value steps past
// them; flat MR light with D draws as without; index texels ignore D.
TEST(RefStepping, KeyAndDepthSkipButStep) {
    IndexGrid grid;
    g_dirtyShift = 5;
    g_paletteBase = 0;
    CanvasShape shape;
    shape.width = 32;
    shape.height = 2;
    shape.depthFill = 0x100;
    Canvas canvas(shape, 4);
    DevContext* ctx = canvas.ctx();
    ctx->texture = grid.fixture.texture();
    ctx->colorKey = 3;  // the texel of column 3
    canvas.Depth(5, 0) = 0xff;
    TrapCase c{"row", 0, {{1, 0, 1, 0x100 << 12}}, {{9, 0, 1}}, Grad(0, 0, 0, 0, 0, 0, 0, 0)};
    c.motion = kTexLinear;
    c.motion.u = 1 << 21;
    c.motion.v = 0;
    c.motion.dudx = 0x200000;
    c.motion.dvdx = 0;
    Chains chains(c);
    const uint8_t before3 = canvas.Pixel(3, 0), before5 = canvas.Pixel(5, 0);
    RefTrapezoids(Features(0x30500a), kFormat8, ctx, chains.left.data(), chains.right.data(), &chains.grad);
    for (int x = 1; x < 9; ++x) {
        if (x == 3) {
            EXPECT_EQ(canvas.Pixel(x, 0), before3);
            EXPECT_EQ(canvas.Depth(x, 0), 0x100);
        } else if (x == 5) {
            EXPECT_EQ(canvas.Pixel(x, 0), before5);
            EXPECT_EQ(canvas.Depth(x, 0), 0xff);
        } else {
            EXPECT_EQ(canvas.Pixel(x, 0), x) << x;
        }
    }
    EXPECT_EQ(canvas.Dirty(0) & 1u, 1u);

    // The D letter changes nothing for index texels and flat MR light.
    for (uint32_t key : {0x300002u, 0x200006u, 0x6u}) {
        Canvas a(shape, 5), b(shape, 5);
        for (Canvas* k : {&a, &b}) {
            k->ctx()->texture = key & DEV_COLORINDEX ? grid.fixture.texture() : SharedTexture(0, 2).texture();
            k->ctx()->color = 0x5080c0f0;
        }
        RefTrapezoids(Features(key, 1), kFormat8, a.ctx(), chains.left.data(), chains.right.data(), &chains.grad);
        RefTrapezoids(Features(key | DEV_DITHER, 1), kFormat8, b.ctx(), chains.left.data(), chains.right.data(),
                      &chains.grad);
        EXPECT_EQ(a.Diff(b), "") << std::hex << key;
    }
}

// Smooth MR at full light and MM at full strength draw as the unlit
// routine; MS at full strength with no additive term too.
TEST(RefLighting, NeutralLightsDrawTheTexture) {
    g_dirtyShift = 5;
    g_paletteBase = 7;
    const struct { uint8_t mode; uint32_t c0, c1, c2; } lights[] = {
        {1, 0xff8000, 0xf80000, 0xfc0000}, {2, 0x1000000, 0x123, 0x456}, {3, 0x1000000, 0, 0x789}};
    for (const RefFormat* fmt : {&kFormat8, &kFormat565, &kFormat24Rgb, &kFormat32Shift16}) {
        for (const auto& l : lights) {
            for (uint32_t key : {0x7u, 0x200007u, 0x100fu}) {
                TrapCase c = TrapCases()[1];
                for (auto& e : c.left) {
                    e.ch0 = l.c0;
                    e.ch1 = l.c1;
                    e.ch2 = l.c2;
                }
                c.grad = Grad(0x1000, 0x800, 0, 0, 0, 0, 0, 0);
                Chains chains(c);
                CanvasShape shape = ShapeFor(c, fmt->bytesPerPixel);
                Canvas lit(shape, 8), unlit(shape, 8);
                uint8_t pattern[32] = {};
                PrepareContext(c, lit.ctx(), 2, pattern);
                PrepareContext(c, unlit.ctx(), 2, pattern);
                RefTrapezoids(Features(key, l.mode), *fmt, lit.ctx(), chains.left.data(), chains.right.data(),
                              &chains.grad);
                RefTrapezoids(Features(key & ~(DEV_MODULATE | DEV_SMOOTH)), *fmt, unlit.ctx(), chains.left.data(),
                              chains.right.data(), &chains.grad);
                EXPECT_EQ(lit.Diff(unlit), "") << fmt->name << " mode " << unsigned(l.mode) << " key " << std::hex << key;
            }
        }
    }
}

// A flat span of n pixels from column x0 of row y0 with a pattern of
// distinct bytes (byte 8 repeating byte 2 for 3-byte pixels), the first
// pixel's address at the given remainder mod 4 (rows have odd pitches).
struct FlatSpan {
    Canvas canvas;
    int x0 = 0, y0 = 0;
    uint8_t pattern[32];
    FlatSpan(const RefFormat& fmt, uint32_t addressMod4, int n) : canvas(Shape(fmt), 6) {
        RefApplyFormat(fmt);
        g_dirtyShift = 5;
        for (int i = 0; i < 16; ++i) {
            x0 = i % 4;
            y0 = i / 4;
            if (reinterpret_cast<uintptr_t>(canvas.PixelAddress(x0, y0)) % 4 == addressMod4) break;
        }
        EXPECT_EQ(reinterpret_cast<uintptr_t>(canvas.PixelAddress(x0, y0)) % 4, addressMod4);
        for (int i = 0; i < 32; ++i) pattern[i] = static_cast<uint8_t>(0x40 + i);
        pattern[8] = pattern[2];
        memcpy(canvas.ctx()->fillPattern, pattern, 32);
        TrapCase c{"span", static_cast<double>(y0), {{static_cast<double>(x0), 0, 1}},
                   {{static_cast<double>(x0 + n), 0, 1}}, {}};
        Chains chains(c);
        RefTrapezoids(Features(0), fmt, canvas.ctx(), chains.left.data(), chains.right.data(), nullptr);
    }
    static CanvasShape Shape(const RefFormat& fmt) {
        CanvasShape shape;
        shape.width = 40;
        shape.height = 4;
        shape.bytesPerPixel = fmt.bytesPerPixel;
        return shape;
    }
    // Pixel i's bytes as pattern offsets.
    std::vector<int> Offsets(int i, int bytes) {
        std::vector<int> o;
        for (int j = 0; j < bytes; ++j) o.push_back(canvas.PixelAddress(x0 + i, y0)[j] - 0x40);
        return o;
    }
};

TEST(RefFlatFill, SixteenBitGroups) {
    // 21 pixels at 2 mod 4: one single pixel, 16 by words, 4 by words, no tail.
    FlatSpan s(kFormat565, 2, 21);
    EXPECT_EQ(s.Offsets(0, 2), (std::vector<int>{0, 1}));
    for (int i = 1; i < 21; ++i)
        EXPECT_EQ(s.Offsets(i, 2), (i % 2 ? std::vector<int>{0, 1} : std::vector<int>{2, 3})) << i;
    // 3 pixels 4-aligned: three single pixels.
    FlatSpan t(kFormat565, 0, 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(t.Offsets(i, 2), (std::vector<int>{0, 1})) << i;
    // 1 pixel at 2 mod 4: one single store, the pixels around it untouched.
    FlatSpan u(kFormat565, 2, 1);
    EXPECT_EQ(u.Offsets(0, 2), (std::vector<int>{0, 1}));
    EXPECT_NE(u.canvas.PixelValue(u.x0 + 1, u.y0), 0x4140u);
}

TEST(RefFlatFill, TwentyFourBitGroups) {
    // 20 pixels at 1 mod 4: one single pixel, a group of 12, two groups of 3, one single.
    FlatSpan s(kFormat24Bgr, 1, 20);
    EXPECT_EQ(s.Offsets(0, 3), (std::vector<int>{0, 1, 2}));
    auto at = [](int o) { return o == 8 ? 2 : o; };  // byte 8 holds byte 2's value
    for (int i = 1; i < 13; ++i) {
        const int o = 3 * (i - 1);
        EXPECT_EQ(s.Offsets(i, 3), (std::vector<int>{at(o % 12), at((o + 1) % 12), at((o + 2) % 12)})) << i;
    }
    for (int i = 13; i < 19; ++i) {
        const int o = 3 * ((i - 13) % 3);
        EXPECT_EQ(s.Offsets(i, 3), (std::vector<int>{o, o + 1, at(o + 2)})) << i;
    }
    EXPECT_EQ(s.Offsets(19, 3), (std::vector<int>{0, 1, 2}));
    // 3 pixels 4-aligned: one group of 3; 12 pixels: one group of 12.
    FlatSpan t(kFormat24Rgb, 0, 3);
    EXPECT_EQ(t.Offsets(1, 3), (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(t.Offsets(2, 3), (std::vector<int>{6, 7, 2}));
    FlatSpan u(kFormat24Rgb, 0, 12);
    EXPECT_EQ(u.Offsets(11, 3), (std::vector<int>{9, 10, 11}));
}

TEST(RefFlatFill, ThirtyTwoBitPixelsAreThePattern) {
    for (uint32_t mod : {0u, 1u}) {
        FlatSpan s(kFormat32Shift16, mod, 21);
        for (int i = 0; i < 21; ++i) EXPECT_EQ(s.Offsets(i, 4), (std::vector<int>{0, 1, 2, 3})) << i;
    }
}

TEST(RefCanvas, GuardBytesAndDecoding) {
    CanvasShape shape;
    shape.width = 10;
    shape.height = 3;
    shape.bytesPerPixel = 3;
    shape.align = 1;
    shape.bottomUp = true;
    Canvas a(shape, 2), b(shape, 2);
    EXPECT_EQ(a.Diff(b), "");
    EXPECT_EQ(reinterpret_cast<uintptr_t>(a.PixelAddress(0, 2)) % 4, 1u);  // bottom row first in memory
    a.PixelAddress(0, 2)[-1] ^= 1;
    EXPECT_NE(a.Diff(b).find("guard"), std::string::npos) << a.Diff(b);
    b.CopyFrom(a);
    EXPECT_EQ(a.Diff(b), "");
    a.SetPixelValue(4, 1, 0x123456);
    EXPECT_EQ(a.PixelValue(4, 1), 0x123456u);
    EXPECT_NE(a.Diff(b).find("row 1, pixel 4"), std::string::npos) << a.Diff(b);
    RefFeatures f;
    EXPECT_FALSE(RefDecode(0x7, 4, &f));
    ASSERT_TRUE(RefDecode(0x20500f, 3, &f));
    EXPECT_EQ(RefSuffix(f), "TxTrMSSsZD");
    ASSERT_TRUE(RefDecode(0x4005, 0, &f));  // untextured: modulate and key ignored
    EXPECT_EQ(RefSuffix(f), "Ss");
}

}  // namespace
