// Worked pixels of the 8-bit textured routines: one texel under every
// pixel of a 4 x 2 block (every dither offset once), drawn by the routines
// themselves from the family's table.
#include "canvas.h"
#include "frame/globals.h"
#include "frame/select.h"
#include "textures.h"
#include "trap_cases.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const DevTrapVariant* Routine(const std::string& name) {
    const DevFamily& f = g_bpp08Family;
    for (uint32_t i = 0; i < f.variantCount; ++i)
        if (name == f.variants[i].name) return &f.variants[i];
    return nullptr;
}

// Dither offset k of column x on buffer row y.
int DitherK(int x, int y) { return (x & 1) + 2 * (((x >> 1) & 1) ^ (y & 1)); }

struct Light {
    uint32_t c0, c1, c2;  // the light channels of the left record
    uint32_t color;       // flat light
};
const Light kNoLight = {0, 0, 0, 0};

// The routine's pixels for columns 4..7 of rows 2 and 3, the only texel
// being t, palette base b; cells outside the block must stay as they were.
struct Block {
    uint8_t px[2][4];
};

Block Draw(const char* name, uint32_t t, uint32_t b, const Light& light = kNoLight) {
    Block out{};
    const DevTrapVariant* v = Routine(name);
    EXPECT_NE(v, nullptr) << name;
    if (!v) return out;
    const bool index = std::string(name).find('I', 19) != std::string::npos;
    static const TextureSpec oneTexel = {"one texel", TEXADDR_POW2, 0, 0, 1, 1, 0, 0};
    TextureFixture tex(oneTexel, index ? 1 : 2, 1);
    tex.SetTexel(0, t);

    CanvasShape shape;
    shape.width = 12;
    shape.height = 6;
    shape.depthFill = 0xffff;
    Canvas canvas(shape, 77);
    const uint8_t before = canvas.Pixel(3, 2), after = canvas.Pixel(8, 3);
    TrapCase c{"block", 2, {{4, 0, 2, 0, light.c0, light.c1, light.c2}}, {{8, 0, 2}},
               Grad(0, 0, 0, 0, 0, 0, 0, 0)};
    Chains chains(c);
    DevContext* ctx = canvas.ctx();
    ctx->texture = tex.texture();
    ctx->colorKey = 0xffffffff;
    ctx->color = light.color;
    g_dirtyShift = 5;
    g_paletteBase = b;
    EXPECT_EQ(v->proc(ctx, chains.left.data(), chains.right.data(), &chains.grad), 1u);
    for (int r = 0; r < 2; ++r)
        for (int i = 0; i < 4; ++i) out.px[r][i] = canvas.Pixel(4 + i, 2 + r);
    EXPECT_EQ(canvas.Pixel(3, 2), before) << name;
    EXPECT_EQ(canvas.Pixel(8, 3), after) << name;
    return out;
}

void ExpectAll(const Block& b, uint8_t want, const std::string& what) {
    for (int r = 0; r < 2; ++r)
        for (int i = 0; i < 4; ++i) EXPECT_EQ(b.px[r][i], want) << what << " at column " << 4 + i << " row " << 2 + r;
}

// Without dither the texel's top bits form the index, plus the base (in
// the byte); textures with and without depth, colour key or perspective
// convert alike.
TEST(Texel8, PlainConversion) {
    const struct {
        uint32_t t, base;
        uint8_t want;
    } cases[] = {
        {0x7fff, 10, 10 + 0xdf}, {0xffff, 10, 10 + 0xdf}, {0x001f, 10, 10 + 0xc0}, {0x03e0, 10, 10 + 0x1c},
        {0x7c00, 10, 10 + 0x03}, {0x0010, 10, 10 + 0x80}, {0x4210, 10, 10 + 0x92}, {0x7fff, 0x40, 0x1f},
        {0x0007, 0, 0x00},  // red below 8 is level 0
    };
    for (const char* name : {"BPP08_DevTrapezoidsTx", "BPP08_DevTrapezoidsPTxTrZ"})
        for (const auto& k : cases)
            ExpectAll(Draw(name, k.t, k.base), k.want, std::string(name) + " texel " + std::to_string(k.t));
}

// With dither each channel takes its offset before it is scaled.
TEST(Texel8, DitheredConversion) {
    const struct {
        uint32_t t;
        uint8_t atK0, atK1, atK2, atK3;
    } cases[] = {
        {0x7fff, 0xbb, 0xdf, 0xdf, 0xdf},
        {0x001f, 0xa0, 0xc0, 0xc0, 0xc0},
        {0x4210, 0x6d, 0x6d, 0x6d, 0x72},
    };
    for (const char* name : {"BPP08_DevTrapezoidsTxD", "BPP08_DevTrapezoidsPTxZD"}) {
        for (const auto& k : cases) {
            const Block b = Draw(name, k.t, 10);
            const uint8_t want[4] = {k.atK0, k.atK1, k.atK2, k.atK3};
            for (int r = 0; r < 2; ++r)
                for (int i = 0; i < 4; ++i)
                    EXPECT_EQ(b.px[r][i], 10 + want[DitherK(4 + i, 2 + r)])
                        << name << " texel " << k.t << " column " << 4 + i << " row " << 2 + r;
        }
    }
}

// Index texels go to the pixel as they are: no base, no dither.
TEST(Texel8, IndexTexelsStoredUnchanged) {
    for (const char* name : {"BPP08_DevTrapezoidsTxI", "BPP08_DevTrapezoidsTxID", "BPP08_DevTrapezoidsPTxTrIZD"})
        for (uint32_t t : {0u, 0x5au, 0xffu})
            ExpectAll(Draw(name, t, 0x33), static_cast<uint8_t>(t), std::string(name) + " texel " + std::to_string(t));
}

// The light changes the texel before its conversion; flat-light MR converts
// without dither even with the dither bit, smooth light dithers.
TEST(Texel8, LitTexels) {
    const uint32_t t20 = 20 | 20 << 5 | 20 << 10, t31 = 0x7fff;
    const Light half = {0x800000, 0x800000, 0x800000, 0x00808080};  // level 128: less 15
    const uint32_t lit5 = 5 | 5 << 5 | 5 << 10;
    const uint8_t plain5 = static_cast<uint8_t>(10 + (((lit5 & 0x18) << 3) | ((lit5 >> 5) & 0x1c) | ((lit5 >> 13) & 3)));
    ExpectAll(Draw("BPP08_DevTrapezoidsTxMRFs", t20, 10, half), plain5, "flat MR at 128");
    ExpectAll(Draw("BPP08_DevTrapezoidsTxMRFsD", t20, 10, half), plain5, "flat MR at 128, dither bit");
    ExpectAll(Draw("BPP08_DevTrapezoidsPTxMRSs", t20, 10, half), plain5, "smooth MR at 128");
    ExpectAll(Draw("BPP08_DevTrapezoidsTxMRFsD", t31, 10, {0, 0, 0, 0xffffffff}), 10 + 0xdf, "flat MR white");
    // 0x7fff at k = 0 dithers to 0xbb: smooth light at full strength keeps it.
    const Block smoothD = Draw("BPP08_DevTrapezoidsTxMRSsD", t31, 10, {0xff0000, 0xff0000, 0xff0000, 0});
    EXPECT_EQ(smoothD.px[0][0], 10 + 0xbb);
    EXPECT_EQ(smoothD.px[0][1], 10 + 0xdf);
    // MM at 0x00ff0000 turns red and blue 31 into 30, which keep their top
    // bits; at half strength 31 becomes 15, red level 2 and blue 1.
    ExpectAll(Draw("BPP08_DevTrapezoidsTxMMSs", 0x7c1f, 10, {0xff0000, 0, 0, 0}), 10 + 0xc3, "MM just below full");
    ExpectAll(Draw("BPP08_DevTrapezoidsTxMMSs", 0x7c1f, 10, {0x800000, 0, 0, 0}), 10 + 0x41, "MM half: 31 to 15");
    // MS: S = 8.0 adds one to every channel (red 7 becomes 8: level 2;
    // green and blue 1 stay below their first level).
    ExpectAll(Draw("BPP08_DevTrapezoidsPTxMSSsZ", 0x0007, 10, {0x1000000, 0x80000, 0, 0}), 10 + 0x40, "MS plus one");
    ExpectAll(Draw("BPP08_DevTrapezoidsPTxMSSsZ", 0, 10, {0x1000000, 0xf80000, 0, 0}), 10 + 0xdf, "MS saturating");
}

}  // namespace
