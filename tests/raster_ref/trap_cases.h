// The table of trapezoids every rasterizer variant is checked on.
#pragma once

#include "canvas.h"
#include "textures.h"

#include <vector>

struct EdgeSpec {
    double x;
    double dxdy;
    int32_t rows;
    uint32_t z = 0;
    uint32_t ch0 = 0, ch1 = 0, ch2 = 0;  // colour, or the light of lit textures
};

// The texture coordinates of a case: where the first left record starts,
// how far each later left record starts from the one before, the
// perspective first differences of every left record, and the gradients.
struct TexMotion {
    uint32_t u, v;
    uint32_t recordU, recordV;
    uint32_t uStepX, uStepY, vStepX, vStepY;
    uint32_t dudx, dvdx, dudy, dvdy;
    uint32_t d2udx2, d2udxdy, d2udy2, d2vdx2, d2vdxdy, d2vdy2;
};

extern const TexMotion kTexMoving;   // a few texels a pixel, every second difference odd
extern const TexMotion kTexScaled;   // small fractions of the whole texture a pixel
extern const TexMotion kTexWrap;     // u and v pass 2^32 within the spans
extern const TexMotion kTexOddA;     // second differences of 3 and -3 (the halved term rounds)
extern const TexMotion kTexLinear;
extern const TexMotion kTexHalvedTerm;  // at texel edges, where the halved term's rounding shows   // no second differences

struct TrapCase {
    const char* name;
    double y;
    std::vector<EdgeSpec> left;
    std::vector<EdgeSpec> right;
    DevTrapGradients grad;
    uint32_t dirtyShift = 5;
    uint32_t paletteBase = 10;
    int depthFill = -1;
    int texture = 0;                  // TextureSpecAt index
    TexMotion motion = kTexMoving;
    uint32_t colorKey = kKeyTexel;
    uint32_t color = 0x5a80c0f8;      // flat light of MR, alpha byte included
};

// Chains as the rendering library lays them out, and the gradients with
// the case's texture terms.
struct Chains {
    std::vector<DevTrapEdge> left, right;
    DevTrapGradients grad;
    explicit Chains(const TrapCase& c);
};

DevTrapGradients Grad(uint32_t dzdx, uint32_t dzdy, uint32_t dc0dx, uint32_t dc1dx, uint32_t dc2dx,
                      uint32_t dc0dy, uint32_t dc1dy, uint32_t dc2dy);

// A canvas just large enough for the case's spans.
CanvasShape ShapeFor(const TrapCase& c, uint32_t bytesPerPixel);

// Puts the case's texture, colour key, flat light and patterns into a context.
void PrepareContext(const TrapCase& c, DevContext* ctx, uint32_t texelBytes, const uint8_t pattern[32]);

const std::vector<TrapCase>& TrapCases();
