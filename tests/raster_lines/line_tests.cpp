// The 8-bit line routines on worked cases: which pixels a line covers, the
// DirtyMask bit of each, the depth test and the colours, compared with a
// canvas that starts from the same noise and gets exactly the expected
// writes, so that any stray write shows.
#include "bpp08/lines08.h"
#include "canvas.h"
#include "frame/globals.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

namespace {

struct Pt {
    int x, y;
};

const DevLineVariant& Line(const char* name) {
    for (uint32_t i = 0; i < kBpp08LineVariantCount; ++i)
        if (std::string(g_bpp08LineVariants[i].name) == name) return g_bpp08LineVariants[i];
    ADD_FAILURE() << "no line routine " << name;
    return g_bpp08LineVariants[0];
}

DevLineRecord Record(Pt a, Pt b) {
    DevLineRecord r;
    memset(&r, 0, sizeof r);
    // Fractions are dropped: only the integer pixel counts.
    r.vertex[0].x = Fx(a.x + 0.75);
    r.vertex[0].y = Fx(a.y + 0.5);
    r.vertex[1].x = Fx(b.x + 0.25);
    r.vertex[1].y = Fx(b.y + 0.99);
    // Words the routines do not read.
    r.vertex[1].z = 0xdead;
    r.vertex[1].zStep = 0xdead;
    r.vertex[1].ch0Step = 0xdead;
    return r;
}

void SetPattern(DevContext* ctx, uint32_t even, uint32_t odd) {
    memcpy(ctx->fillPattern, &even, 4);
    memcpy(ctx->fillPattern + 8, &odd, 4);
}

uint32_t Block(int x, uint32_t s) {
    const uint32_t k = static_cast<uint32_t>(x) >> s;
    return k > 31 ? 31 : k;
}

struct GeometryCase {
    const char* name;
    Pt from, to;
    std::vector<Pt> pixels;  // in drawing order
};

const GeometryCase kGeometry[] = {
    {"point", {2, 3}, {2, 3}, {{2, 3}}},
    {"shallow, minor steps after even columns", {0, 0}, {10, 5},
     {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 3}, {6, 3}, {7, 4}, {8, 4}, {9, 5}, {10, 5}}},
    {"nearly diagonal, the lone x step in the middle", {0, 0}, {10, 9},
     {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 5}, {7, 6}, {8, 7}, {9, 8}, {10, 9}}},
    {"diagonal walked leftwards and upwards", {10, 10}, {0, 0},
     {{10, 10}, {9, 9}, {8, 8}, {7, 7}, {6, 6}, {5, 5}, {4, 4}, {3, 3}, {2, 2}, {1, 1}, {0, 0}}},
    {"steep, leftwards", {5, 20}, {3, 26}, {{5, 20}, {5, 21}, {4, 22}, {4, 23}, {4, 24}, {3, 25}, {3, 26}}},
    {"steep, upwards", {3, 26}, {5, 20}, {{3, 26}, {3, 25}, {4, 24}, {4, 23}, {4, 22}, {5, 21}, {5, 20}}},
    {"horizontal leftwards", {1030, 7}, {1025, 7}, {{1030, 7}, {1029, 7}, {1028, 7}, {1027, 7}, {1026, 7}, {1025, 7}}},
    {"vertical", {600, 39}, {600, 36}, {{600, 39}, {600, 38}, {600, 37}, {600, 36}}},
};

// Every routine covers the same pixels; with every depth test passing, the
// flat lines write byte 0 of the even-row pattern word on every row and
// column, the smooth lines the dithered cube index of their colour.
TEST(RasterLines, EveryRoutineCoversTheBresenhamPixels) {
    for (const GeometryCase& c : kGeometry) {
        for (uint32_t i = 0; i < kBpp08LineVariantCount; ++i) {
            const DevLineVariant& v = g_bpp08LineVariants[i];
            const bool smooth = v.key & DEV_SMOOTH, depth = v.key & DEV_DEPTH;
            for (bool bottomUp : {false, true}) {
                for (uint32_t s : {4u, 5u, 7u}) {
                    CanvasShape shape;
                    shape.bottomUp = bottomUp;
                    shape.depthFill = 0x1234;
                    Canvas fast(shape, 21), want(shape, 21);
                    for (Canvas* k : {&fast, &want}) {
                        SetPattern(k->ctx(), 0x44332211, 0x88776655);
                        for (const Pt& p : c.pixels) k->Dirty(p.y) = 0;
                    }
                    g_dirtyShift = s;
                    g_paletteBase = 0x30;
                    DevLineRecord r = Record(c.from, c.to);
                    r.vertex[0].z = 0x1234u << 12 | 0xfff;  // equal to the stored depth: drawn
                    r.vertex[0].ch0 = r.vertex[0].ch1 = r.vertex[0].ch2 = 0x100000;  // 16.0

                    EXPECT_EQ(v.proc(fast.ctx(), &r, 0x5eed), 1u);
                    for (const Pt& p : c.pixels) {
                        // 16.0 scaled is 12.0 (red) or 14.0; red and green reach level 1
                        // where the dither offset is 24.0, blue never.
                        const uint32_t d = (((p.x & 3) ^ ((p.y & 1) << 1))) * 8;
                        const uint8_t colour = smooth ? static_cast<uint8_t>(0x30 + (12 + d >= 32 ? 0x20 : 0) +
                                                                             (14 + d >= 32 ? 0x04 : 0))
                                                      : 0x11;
                        want.Pixel(p.x, p.y) = colour;
                        if (depth) want.Depth(p.x, p.y) = 0x1234;
                        want.Dirty(p.y) |= 1u << Block(p.x, s);
                    }
                    EXPECT_EQ(fast.Diff(want), "") << v.name << ", " << c.name << ", s " << s
                                                   << (bottomUp ? ", bottom-up" : "");
                }
            }
        }
    }
}

// One bit per drawn pixel, of its own block; block 31 stands for every
// column right of it, so a column past 32 blocks never wraps to a low bit.
TEST(RasterLines, DirtyBitOfEachPixel) {
    const struct {
        uint32_t shift;
        Pt from, to;
        uint32_t want;
    } cases[] = {
        {5, {30, 4}, {33, 4}, 0x3},
        {5, {992, 4}, {1000, 4}, 0x80000000},
        {4, {505, 4}, {515, 4}, 0x80000000},   // blocks 31 and 32
        {4, {600, 4}, {600, 4}, 0x80000000},   // block 37, not bit 5
        {4, {1039, 4}, {1024, 4}, 0x80000000}, // block 64 and up, not bit 0
        {7, {0, 4}, {1039, 4}, 0x1ff},
        {0x105, {30, 4}, {33, 4}, 0x3},        // only the low byte counts
    };
    for (const auto& t : cases) {
        for (uint32_t i = 0; i < kBpp08LineVariantCount; ++i) {
            const DevLineVariant& v = g_bpp08LineVariants[i];
            CanvasShape shape;
            shape.depthFill = 0xffff;
            Canvas canvas(shape, 3);
            canvas.Dirty(4) = 0;
            const uint32_t above = canvas.Dirty(3), below = canvas.Dirty(5);
            g_dirtyShift = t.shift;
            DevLineRecord r = Record(t.from, t.to);
            v.proc(canvas.ctx(), &r, 0);
            EXPECT_EQ(canvas.Dirty(4), t.want) << v.name << " " << t.from.x << ".." << t.to.x << " s " << t.shift;
            EXPECT_EQ(canvas.Dirty(3), above);
            EXPECT_EQ(canvas.Dirty(5), below);
        }
    }
}

// Depth lines: a pixel equal to the stored depth is drawn and rewritten, a
// greater one leaves colour, depth and its block's bit alone, and z and the
// colour go on stepping past it.
TEST(RasterLines, DepthTestPerPixel) {
    for (const char* name : {"BPP08_DevLineFsZD", "BPP08_DevLineSsZD"}) {
        CanvasShape shape;
        shape.depthFill = 0xffff;
        Canvas fast(shape, 5), want(shape, 5);
        for (Canvas* k : {&fast, &want}) {
            SetPattern(k->ctx(), 0x44332211, 0x88776655);
            k->Dirty(1) = 0;
            k->Depth(14, 1) = 201;  // equal: drawn
            k->Depth(16, 1) = 202;  // 203 > 202: not drawn
        }
        g_dirtyShift = 4;
        g_paletteBase = 10;
        DevLineRecord r = Record({13, 1}, {17, 1});
        r.vertex[0].z = 200u << 12 | 0x7ff;
        r.vertex[0].zStep = 1u << 12;
        r.vertex[0].ch0Step = 0x2aaaab;  // red 32.0 (one level) a pixel once scaled
        const bool smooth = std::string(name) == "BPP08_DevLineSsZD";
        const uint8_t red[] = {0x00, 0x20, 0x40, 0x60, 0x80};
        EXPECT_EQ(Line(name).proc(fast.ctx(), &r, 0), 1u);
        for (int i = 0; i < 5; ++i) {
            if (13 + i == 16) continue;
            // Odd row: d = 24, 0, 8, 16, 24 at x = 13 .. 17, never a level more.
            want.Pixel(13 + i, 1) = smooth ? static_cast<uint8_t>(10 + red[i]) : 0x11;
            want.Depth(13 + i, 1) = static_cast<uint16_t>(200 + i);
        }
        want.Dirty(1) = 0x1 | 0x2;  // 13..15 in block 0, 17 in block 1
        EXPECT_EQ(fast.Diff(want), "") << name;

        // With 17 failing too, block 1 stays unmarked.
        Canvas again(shape, 5);
        SetPattern(again.ctx(), 0x44332211, 0x88776655);
        again.Dirty(1) = 0;
        again.Depth(16, 1) = 202;
        again.Depth(17, 1) = 203;  // 204 > 203
        Line(name).proc(again.ctx(), &r, 0);
        EXPECT_EQ(again.Dirty(1), 0x1u) << name;
    }
}

// Smooth lines: channels and steps scaled once (red by 6/8, green and blue
// by 7/8), the ordered dither of each pixel's column and row, the palette
// base added in 8 bits.
TEST(RasterLines, SmoothColourPerPixel) {
    const uint32_t white = 0xffffff;  // 255.99
    const struct {
        const char* what;
        uint32_t base;
        Pt from, to;
        uint32_t c[3], step[3];
        std::vector<uint8_t> want;  // along the line
    } cases[] = {
        {"white, even row", 10, {0, 0}, {3, 0}, {white, white, white}, {0, 0, 0}, {0xc5, 0xe9, 0xe9, 0xe9}},
        {"white, odd row", 10, {0, 1}, {3, 1}, {white, white, white}, {0, 0, 0}, {0xe9, 0xe9, 0xc5, 0xe9}},
        {"a level of each channel a pixel", 10, {0, 0}, {3, 0}, {0, 0, 0}, {0x2aaaab, 0x249249, 0x492492},
         {0x0a, 0x0a + 0x25, 0x0a + 0x4a, 0x0a + 0x6f}},
        // Red 8.0 once scaled: at column 3 the offset 24.0 lifts it a level.
        {"walking left, the dither follows the column", 10, {3, 0}, {0, 0}, {0xaaaab, 0, 0}, {0x2aaaab, 0, 0},
         {0x0a + 0x20, 0x0a + 0x20, 0x0a + 0x40, 0x0a + 0x60}},
        {"palette base wraps", 0xf0, {0, 0}, {0, 0}, {48 << 16, 0, 0}, {0, 0, 0}, {0x10}},
        // 362.67 scales to 272.0: its level bits are those of 16.0.
        {"no clamp: red past 255 wraps its bits", 0, {0, 0}, {0, 0}, {0x16aaaab, 0, 0}, {0, 0, 0}, {0x00}},
    };
    for (const auto& t : cases) {
        for (const char* name : {"BPP08_DevLineSsD", "BPP08_DevLineSsZD"}) {
            CanvasShape shape;
            shape.depthFill = 0xffff;
            Canvas canvas(shape, 8);
            g_dirtyShift = 5;
            g_paletteBase = t.base;
            DevLineRecord r = Record(t.from, t.to);
            r.vertex[0].ch0 = t.c[0];
            r.vertex[0].ch1 = t.c[1];
            r.vertex[0].ch2 = t.c[2];
            r.vertex[0].ch0Step = t.step[0];
            r.vertex[0].ch1Step = t.step[1];
            r.vertex[0].ch2Step = t.step[2];
            Line(name).proc(canvas.ctx(), &r, 0);
            const int sx = t.to.x < t.from.x ? -1 : 1;
            for (size_t i = 0; i < t.want.size(); ++i)
                EXPECT_EQ(canvas.Pixel(t.from.x + sx * static_cast<int>(i), t.from.y), t.want[i])
                    << name << ", " << t.what << ", pixel " << i;
        }
    }
}

}  // namespace
