#include "trap_cases.h"

#include <string.h>

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

}  // namespace

Chains::Chains(const TrapCase& c) {
    for (const auto& s : c.left) left.push_back(Edge(s));
    for (const auto& s : c.right) right.push_back(Edge(s));
    left[0].y = Fx(c.y);
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

const std::vector<TrapCase>& TrapCases() {
    const uint32_t z0 = 0x7ff0000, c = 0x500000;
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
    };
    return cases;
}
