// The worked values the 8-bit untextured routines must reproduce (the
// comparison with the reference is in family_tests.cpp).
#include "canvas.h"
#include "frame/globals.h"
#include "frame/select.h"
#include "trap_cases.h"

#include <gtest/gtest.h>

#include <math.h>
#include <string.h>

#include <string>

namespace {

const DevTrapVariant& Variant(const char* name) {
    const DevFamily& f = g_bpp08Family;
    for (uint32_t i = 0; i < f.variantCount; ++i)
        if (std::string(f.variants[i].name) == name) return f.variants[i];
    ADD_FAILURE() << "no variant " << name;
    return f.variants[0];
}

void SetPattern(DevContext* ctx, uint32_t even, uint32_t odd) {
    memcpy(ctx->fillPattern, &even, 4);
    memcpy(ctx->fillPattern + 8, &odd, 4);
}

// One row, one span: the pixel bytes the routines must produce.
TEST(RasterTrap, ColourFormationWorkedValues) {
    const uint32_t white = 0xffffff;  // 255.99 in 8.16
    const struct {
        const char* routine;
        uint32_t base;
        int x, y;
        uint32_t c0, c1, c2;
        uint8_t want;
    } cases[] = {
        {"BPP08_DevTrapezoidsSs", 10, 0, 0, white, white, white, 0xc5},
        {"BPP08_DevTrapezoidsSs", 10, 0, 0, 0, 0, 0, 10},
        {"BPP08_DevTrapezoidsSs", 0xf0, 0, 0, 48 << 16, 0, 0, 0x10},   // red level 1, wrapped
        {"BPP08_DevTrapezoidsSsD", 10, 3, 0, white, white, white, 10 + 0xdf},
        {"BPP08_DevTrapezoidsSsD", 10, 2, 1, white, white, white, 10 + 0xbb},
        {"BPP08_DevTrapezoidsSsID", 10, 2, 2, 0x7999a, 0, 0, 9},        // 7.6 + 1.5
        {"BPP08_DevTrapezoidsSsI", 10, 2, 2, 0x7999a, 0, 0, 7},
        {"BPP08_DevTrapezoidsSsI", 10, 5, 3, 0xffff0000u, 0, 0, 0xff},   // no clamp
    };
    for (const auto& t : cases) {
        CanvasShape shape;
        Canvas canvas(shape, 7);
        g_dirtyShift = 5;
        g_paletteBase = t.base;
        TrapCase c{"one pixel", static_cast<double>(t.y), {{static_cast<double>(t.x), 0, 1, 0, t.c0, t.c1, t.c2}},
                   {{t.x + 1.0, 0, 1}}, Grad(0, 0, 0, 0, 0, 0, 0, 0)};
        Chains chains(c);
        Variant(t.routine).proc(canvas.ctx(), chains.left.data(), chains.right.data(), &c.grad);
        EXPECT_EQ(canvas.Pixel(t.x, t.y), t.want) << t.routine << " at " << t.x << "," << t.y;
    }
}

// Flat fills: single bytes take byte 0 of the pattern (without dither) or
// the byte of their address (with dither); aligned words store the word.
TEST(RasterTrap, FlatFillStoresByAddress) {
    for (const char* routine : {"BPP08_DevTrapezoidsFs", "BPP08_DevTrapezoidsFsD"}) {
        for (int y : {4, 5}) {
            CanvasShape shape;
            Canvas canvas(shape, 9);
            SetPattern(canvas.ctx(), 0x44332211, 0x88776655);
            g_dirtyShift = 5;
            const uintptr_t rowStart = reinterpret_cast<uintptr_t>(&canvas.Pixel(0, y));
            const int x0 = static_cast<int>((5 - rowStart % 4) % 4);  // first address 1 mod 4
            ASSERT_EQ(reinterpret_cast<uintptr_t>(&canvas.Pixel(x0, y)) % 4, 1u);
            TrapCase c{"37 pixels", static_cast<double>(y), {{static_cast<double>(x0), 0, 1}},
                       {{x0 + 37.0, 0, 1}}, {}};
            Chains chains(c);
            Variant(routine).proc(canvas.ctx(), chains.left.data(), chains.right.data(), nullptr);
            const bool dither = std::string(routine).back() == 'D';
            const uint32_t word = dither && (y & 1) ? 0x88776655 : 0x44332211;
            for (int i = 0; i < 37; ++i) {
                uint8_t* p = &canvas.Pixel(x0 + i, y);
                const uint32_t a = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p) % 4);
                const bool byWord = i >= 3 && i < 35;  // 3 singles, 2 x 16, 2 singles
                const uint8_t want = static_cast<uint8_t>(word >> (8 * (byWord || dither ? a : 0)));
                EXPECT_EQ(*p, want) << routine << " row " << y << " pixel " << i;
            }
        }
    }
}

// With a per-column step of 1.0 and no row term, the left-end value always
// equals the integer left column, whatever the slope.
TEST(RasterTrap, LeftEndValueBelongsToTheFirstPixel) {
    for (double slope : {1.5, -1.5, 0.5, -0.5, 3.25, -3.25}) {
        for (const char* routine : {"BPP08_DevTrapezoidsSsI", "BPP08_DevTrapezoidsSsIZ"}) {
            CanvasShape shape;
            shape.depthFill = 0xffff;
            Canvas canvas(shape, 5);
            g_dirtyShift = 5;
            const double x0 = 60.25;
            TrapCase c{"slope", 0, {{x0, slope, 12, 0, Fx(60.25) & 0xffff0000u}}, {{x0 + 50, 0, 12}},
                       Grad(0, 0, 0x10000, 0, 0, 0, 0, 0)};
            Chains chains(c);
            Variant(routine).proc(canvas.ctx(), chains.left.data(), chains.right.data(), &c.grad);
            for (int row = 0; row < 12; ++row) {
                const int xl = static_cast<int>(floor(x0 + slope * row));
                EXPECT_EQ(canvas.Pixel(xl, row), static_cast<uint8_t>(xl)) << routine << " slope " << slope << " row " << row;
            }
        }
    }
}

// Depth: equal passes and is rewritten, greater fails, and the values go on
// stepping past a failing pixel. Flat depth steps by the exact edge product.
TEST(RasterTrap, DepthTestAndFlatDepthRowStep) {
    CanvasShape shape;
    shape.depthFill = 0x100;
    Canvas canvas(shape, 11);
    g_dirtyShift = 5;
    canvas.Depth(12, 0) = 0x0ff;  // fails: the span's z16 there is 0x100
    TrapCase c{"depth", 0, {{10, 0, 1, 0x100 << 12, 0x10000}}, {{16, 0, 1}}, Grad(0, 0, 0x10000, 0, 0, 0, 0, 0)};
    Chains chains(c);
    Variant("BPP08_DevTrapezoidsSsIZ").proc(canvas.ctx(), chains.left.data(), chains.right.data(), &c.grad);
    for (int x = 10; x < 16; ++x) {
        if (x == 12) {
            EXPECT_NE(canvas.Pixel(x, 0), 3) << x;
            EXPECT_EQ(canvas.Depth(x, 0), 0x0ff);
        } else {
            EXPECT_EQ(canvas.Pixel(x, 0), x - 9) << x;
            EXPECT_EQ(canvas.Depth(x, 0), 0x100) << x;
        }
    }

    // FsZ with dzdx 0x3000 (3 units) and a left step of 1.75: the first
    // pixel's depth moves by floor(0x3000 * 1.75) >> 12 = 5 units a row
    // (plus the row term of 2), never alternating.
    CanvasShape flat;
    flat.depthFill = 0xffff;
    Canvas f(flat, 13);
    TrapCase d{"flat depth", 0, {{100, 1.75, 8, 0x1000 << 12}}, {{140, 0, 8}}, Grad(0x3000, 0x2000, 0, 0, 0, 0, 0, 0)};
    Chains dc(d);
    Variant("BPP08_DevTrapezoidsFsZ").proc(f.ctx(), dc.left.data(), dc.right.data(), &d.grad);
    for (int row = 0; row < 8; ++row) {
        const int xl = static_cast<int>(floor(100 + 1.75 * row));
        const uint32_t z = (0x1000u << 12) + row * ((0x3000u * 7 / 4) + 0x2000);
        EXPECT_EQ(f.Depth(xl, row), (z >> 12) & 0xffff) << row;
    }
}

}  // namespace
