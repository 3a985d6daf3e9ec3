#include "trap_cases.h"

#include <math.h>
#include <algorithm>
#include <string.h>

const TexMotion kTexMoving = {0x00123456, 0x00345678, 0x00a00000, 0x01400000,
                              0x00180000, 0x00090000, 0xfff40000, 0x00200000,
                              0x00140000, 0xfffa0000, 0x00110000, 0x001c0000,
                              0x00000801, 0xfffffc01, 0x00000333, 0xfffff801, 0x00000421, 0xfffffeef};
const TexMotion kTexScaled = {0x00012345, 0x001f0000, 0x00050000, 0x000c0000,
                              0x00008000, 0x00003000, 0x00002000, 0x00010000,
                              0x00007000, 0xfffff000, 0x00001000, 0x00011000,
                              0x00000011, 0xffffffef, 0x00000007, 0x00000013, 0x00000005, 0xfffffff1};
const TexMotion kTexWrap = {0xffe00000, 0xfff00001, 0x00400000, 0xffc00000,
                            0x00300000, 0x7fff0000, 0x00280000, 0x80010000,
                            0x00300000, 0x00280000, 0x7ffe0000, 0x80020000,
                            0x01000001, 0x7f000003, 0x80000005, 0xff000001, 0x00ff0003, 0x7fffffff};
const TexMotion kTexOddA = {0x00200000, 0x00100000, 0x00300000, 0x00100000,
                            0x00100000, 0x00080000, 0x00040000, 0x00180000,
                            0x00100000, 0x00040000, 0x00080000, 0x00180000,
                            3, 0x800, 0x400, 0xfffffffd, 0xfffff800, 0x401};
const TexMotion kTexHalvedTerm = {0x001fffff, 0x00400000, 0, 0,
                                  0, 0, 0, 0,
                                  0, 0, 0, 0,
                                  1, 0, 0, 0xffffffff, 0, 0};
const TexMotion kTexLinear = {0x00100000, 0x00300000, 0x00200000, 0x00600000,
                              0x00140000, 0x00220000, 0xfff00000, 0x000c0000,
                              0x00140000, 0xfff00000, 0x00220000, 0x000c0000,
                              0, 0, 0, 0, 0, 0};

namespace {

DevTrapEdge Edge(const EdgeSpec& s) {
    DevTrapEdge e;
    // Words the routines must not read hold noise.
    memset(&e, 0xcd, sizeof e);
    e.x = Fx(s.x);
    e.dxdy = Fx(s.dxdy);
    e.rowCount = s.rows;
    e.z = s.z;
    e.ch0 = s.ch0;
    e.ch1 = s.ch1;
    e.ch2 = s.ch2;
    return e;
}

// Smooth gradients that make every channel and depth move on both axes.
const DevTrapGradients kMoving = Grad(0x2345, -0x1234u, 0x23456, -0x14567u, 0x9876, 0x31234, -0x8765u, 0x41111);
const DevTrapGradients kFlatZ = Grad(0x1000, 0x1000, 0, 0, 0, 0, 0, 0);
const DevTrapGradients kStill = Grad(0x1000, 0x800, 0, 0, 0, 0, 0, 0);

TrapCase With(TrapCase c, const char* name, int texture, const TexMotion& motion) {
    c.name = name;
    c.texture = texture;
    c.motion = motion;
    return c;
}

TrapCase WithKey(TrapCase c, const char* name, uint32_t key) {
    c.name = name;
    c.colorKey = key;
    return c;
}

TrapCase WithColor(TrapCase c, const char* name, uint32_t color) {
    c.name = name;
    c.color = color;
    return c;
}

}  // namespace

Chains::Chains(const TrapCase& c) {
    const TexMotion& m = c.motion;
    uint32_t u = m.u, v = m.v;
    for (const auto& s : c.left) {
        DevTrapEdge e = Edge(s);
        e.u = u;
        e.v = v;
        e.uStepX = m.uStepX;
        e.uStepY = m.uStepY;
        e.vStepX = m.vStepX;
        e.vStepY = m.vStepY;
        left.push_back(e);
        u += m.recordU;
        v += m.recordV;
    }
    for (const auto& s : c.right) right.push_back(Edge(s));
    left[0].y = Fx(c.y);
    grad = c.grad;
    grad.dudx = m.dudx;
    grad.dvdx = m.dvdx;
    grad.dudy = m.dudy;
    grad.dvdy = m.dvdy;
    grad.d2udx2 = m.d2udx2;
    grad.d2udxdy = m.d2udxdy;
    grad.d2udy2 = m.d2udy2;
    grad.d2vdx2 = m.d2vdx2;
    grad.d2vdxdy = m.d2vdxdy;
    grad.d2vdy2 = m.d2vdy2;
}

DevTrapGradients Grad(uint32_t dzdx, uint32_t dzdy, uint32_t dc0dx, uint32_t dc1dx, uint32_t dc2dx,
                      uint32_t dc0dy, uint32_t dc1dy, uint32_t dc2dy) {
    DevTrapGradients g;
    memset(&g, 0xcd, sizeof g);
    g.dzdx = dzdx;
    g.dzdy = dzdy;
    g.dch0dx = dc0dx;
    g.dch1dx = dc1dx;
    g.dch2dx = dc2dx;
    g.dch0dy = dc0dy;
    g.dch1dy = dc1dy;
    g.dch2dy = dc2dy;
    return g;
}

CanvasShape ShapeFor(const TrapCase& c, uint32_t bytesPerPixel) {
    int rows = 0, maxX = 1;
    for (const auto& s : c.left) {
        rows += s.rows;
        for (int i = 0; i <= s.rows; ++i) maxX = std::max(maxX, static_cast<int>(floor(s.x + s.dxdy * i)));
    }
    for (const auto& s : c.right)
        for (int i = 0; i <= s.rows; ++i) maxX = std::max(maxX, static_cast<int>(floor(s.x + s.dxdy * i)));
    CanvasShape shape;
    shape.width = maxX + 2;
    shape.height = static_cast<int>(floor(c.y)) + rows + 1;
    shape.bytesPerPixel = bytesPerPixel;
    shape.depthFill = c.depthFill;
    return shape;
}

void PrepareContext(const TrapCase& c, DevContext* ctx, uint32_t texelBytes, const uint8_t pattern[32]) {
    ctx->texture = SharedTexture(c.texture, texelBytes).texture();
    ctx->colorKey = c.colorKey;
    ctx->color = c.color;
    memcpy(ctx->fillPattern, pattern, 32);
}

const std::vector<TrapCase>& TrapCases() {
    const uint32_t z0 = 0x7ff0000, c = 0x500000;
    const TrapCase base = {"base", 3, {{4.5, 0.5, 6, z0, 0x400000, 0x900000, 0xc00000}}, {{40, 1.5, 6}}, kMoving};
    auto Lit = [&](const char* name, uint32_t c0, uint32_t c1, uint32_t c2, const DevTrapGradients& g) {
        TrapCase t = base;
        t.name = name;
        t.left = {{6.25, 0.75, 5, z0, c0, c1, c2}, {9.5, -1.25, 4, z0, c0, c1, c2}};
        t.right = {{48, 0.5, 9}};
        t.grad = g;
        return t;
    };
    static const std::vector<TrapCase> cases = {
        {"both first records empty", 3, {{5, 1, 0, z0, c, c, c}}, {{20, 1, 0}}, kMoving},
        {"left records of 3 and 5 rows against one of 8", 2.5,
         {{4.5, 0.5, 3, z0, c, 0x200000, 0x800000}, {10.25, -0.5, 5, z0 + 0x50000, 0x900000, c, c}},
         {{60, 1, 8}}, kMoving},
        {"zero-count records inside both chains", 1,
         {{30, 0.25, 4, z0, c, c, c}, {0, 0, 0}, {40.5, -0.75, 6, z0, 0xa00000, 0x100000, c}},
         {{90, 0.5, 2}, {0, 0, 0}, {92, -1, 8}}, kMoving},
        {"chains of unequal record counts", 0,
         {{100.3, 1.5, 6, z0, c, c, c}, {110.7, -1.5, 6, z0, 0xc00000, 0x300000, 0x100000}},
         {{180.9, -0.5, 5}, {170, 0.5, 3}, {171, 0, 1}, {172.5, 2, 3}}, kMoving},
        {"slopes 3.25, -3.25 and 0", 4,
         {{300, 3.25, 5, z0, c, c, c}, {330.5, -3.25, 5, z0 - 0x30000, 0x100000, 0xe00000, 0x700000}},
         {{400, 0, 10}}, kMoving},
        {"crossing edges give empty and reversed rows", 6,
         {{500, 4, 12, z0, 0x100000, 0x800000, 0xf00000}}, {{520, -4, 12}}, kMoving},
        {"spans ending on block boundaries", 0,
         {{0, 32, 8, z0, c, c, c}}, {{32, 32, 8}}, kMoving},
        {"column 0 to the right edge", 10,
         {{0, 0, 3, z0, 0, 0, 0}}, {{1040, 0, 3}}, Grad(0x31, 0x777, 0x3f00, 0x3800, 0x3400, 0, 0, 0)},
        {"column 0 to the right edge, narrow blocks", 13,
         {{0, 0, 2, z0, 0, 0, 0}}, {{1040, 0, 2}}, kMoving, 4},
        {"blocks past 31", 20,
         {{600, 0.5, 4, z0, c, c, c}}, {{700, 1, 4}}, kMoving, 4},
        {"every start alignment and span length", 8,
         {{7, 1, 24, z0, c, 0x600000, 0x200000}}, {{9, 2.25, 24}}, kMoving, 6},
        {"long spans", 30,
         {{1.5, 0.25, 6, z0, 0x10000, 0x20000, 0x30000}}, {{1000.75, -3, 6}}, Grad(0x777, 0x1111, 0x3000, 0x2800, 0x2000, 0x100, 0x200, 0x300), 7},
        {"equal depth", 16,
         {{10, 0, 4, (0x4000 - 5) << 12, c, c, c}}, {{40, 0, 4}}, kFlatZ, 5, 10, 0x4000},
        {"values wrapping past 2^32", 24,
         {{50, -3.25, 5, 0xfffff000u, 0xfff80000u, 0x7fff0000, 0xffff0000u}}, {{120, 1.5, 5}},
         Grad(0x7fffffff, 0x80000001u, 0x12345, 0x7654321, -0x1000u, -0x7000000u, 0x40000000, 0x1000), 5},
        {"palette base wraps", 33,
         {{2, 0.5, 5, z0, 0xff0000, 0xff0000, 0xff0000}}, {{200, -0.5, 5}}, kMoving, 5, 0xf0},

        // Textures: every addressing mode and fixture, keys, coordinates.
        With(base, "power of two, masks repeating 8 x 4 of 32 x 16", 1, kTexMoving),
        With(base, "rows of 2^3 + 2^1", 2, kTexMoving),
        With(base, "scaled 7 x 5, small steps", 3, kTexScaled),
        With(base, "scaled 7 x 5, large steps", 3, kTexMoving),
        With(base, "row shift 35", 4, kTexMoving),
        With(base, "row shifts 33 and 36", 5, kTexOddA),
        With(base, "scaled 100 x 50 under mode 7", 6, kTexScaled),
        With(base, "masks with a gap, no second differences", 7, kTexLinear),
        With(base, "scaled 3000 x 2, the column product wrapping", 8, kTexMoving),
        With(base, "u and v past 2^32, power of two", 0, kTexWrap),
        With(base, "u and v past 2^32, rows of 2^3 + 2^1", 2, kTexWrap),
        With(base, "u and v past 2^32, scaled", 6, kTexWrap),
        {"edges leaning -0.5, 0.25 and 2.5, k + 1 rows", 1,
         {{20, -0.5, 5, z0, c, c, c}, {18.5, 0.25, 4, z0, c, c, c}, {19, 2.5, 4, z0, c, c, c}},
         {{60, 0, 13}}, kMoving, 5, 10, -1, 0, kTexOddA},
        {"edge moving 2 a row, second differences of 3", 0,
         {{2, 2, 6, z0, c, c, c}}, {{40, 2, 6}}, kMoving, 5, 10, -1, 1, kTexOddA},
        {"halved term rounding at a texel edge, k = 2", 1,
         {{2, 2, 6, z0, c, c, c}}, {{8, 2, 6}}, kMoving, 5, 10, -1, 0, kTexHalvedTerm},
        {"halved term rounding at a texel edge, k = -2", 1,
         {{30, -2, 6, z0, c, c, c}}, {{36, -2, 6}}, kMoving, 5, 10, -1, 0, kTexHalvedTerm},
        WithKey(base, "key with bit 15", kKeyTexelBit15),
        WithKey(base, "key with a bit above 15", 0x10000 | kKeyTexel),
        WithKey(base, "key above 255", kKeyTexel9Bits),
        WithKey(base, "key 0", 0),
        WithColor(base, "flat light white, alpha 0", 0x00ffffff),
        WithColor(base, "flat light black, alpha 0xff", 0xff000000),
        WithColor(base, "flat light red only", 0x000000ff),
        WithColor(base, "flat light levels 7, 8, 128", 0x33800807),

        // Lights: levels at the ends of their ranges, above full strength, saturation.
        Lit("full light", 0xff0000, 0xff0000, 0xff0000, kStill),
        Lit("no light", 0x70000, 0x70000, 0x70000, kStill),
        Lit("light levels 128 and 248", 0x800000, 0xf80000, 0x7fffff, kStill),
        Lit("intensity at full strength", 0x1000000, 0, 0x800000, kStill),
        Lit("intensity above full strength", 0x1080000, 0x80000, 0, Grad(0x1000, 0x800, 0x40000, 0x10000, 0, 0x20000, 0, 0)),
        Lit("intensity below zero", 0x20000, 0x100000, 0, Grad(0x1000, 0x800, -0x30000u, 0, 0, -0x8000u, 0, 0)),
        Lit("additive term saturating", 0x1000000, 0xe00000, 0, Grad(0x1000, 0x800, 0x10000, 0x30000, 0, 0x8000, 0x20000, 0)),
        Lit("additive term wrapping past 2^32", 0x1000000, 0xfff00000u, 0, Grad(0x1000, 0x800, 0x1000, 0x20000, 0, 0, 0x4000, 0)),
        Lit("lights stepping", 0x100000, 0xf00000, 0x800000, kMoving),
    };
    return cases;
}
