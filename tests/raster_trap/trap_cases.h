// The table of trapezoids every rasterizer variant is checked on.
#pragma once

#include "canvas.h"

#include <vector>

struct EdgeSpec {
    double x;
    double dxdy;
    int32_t rows;
    uint32_t z = 0;
    uint32_t ch0 = 0, ch1 = 0, ch2 = 0;
};

struct TrapCase {
    const char* name;
    double y;
    std::vector<EdgeSpec> left;
    std::vector<EdgeSpec> right;
    DevTrapGradients grad;
    uint32_t dirtyShift = 5;
    uint32_t paletteBase = 10;
    int depthFill = -1;
};

// Chains as the rendering library lays them out.
struct Chains {
    std::vector<DevTrapEdge> left, right;
    explicit Chains(const TrapCase& c);
};

DevTrapGradients Grad(uint32_t dzdx, uint32_t dzdy, uint32_t dc0dx, uint32_t dc1dx, uint32_t dc2dx,
                      uint32_t dc0dy, uint32_t dc1dy, uint32_t dc2dy);

const std::vector<TrapCase>& TrapCases();
