// The trapezoid interface records that the rendering library hands to
// procedure slot 16, and the line record of slot 17, shared by every pixel
// family. The library writes them;
// the rasterizers only read them. Layouts are fixed byte for byte.
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// One segment of one side of a trapezoid. A side is an array of these,
// 136 bytes apart. Right-side records carry only x, dxdy and rowCount.
struct DevTrapEdge {
    uint32_t x;            // 0: 16.16, edge x on the record's first row
    uint32_t y;            // 4: 16.16, first row; first left record only
    uint32_t z;            // 8: depth, 12 fraction bits, at the left end
    uint32_t ch0;          // 12: 8.16 red / colour index / MM, MS intensity
    uint32_t ch1;          // 16: 8.16 green / MS additive term
    uint32_t ch2;          // 20: 8.16 blue
    uint32_t unused6;      // 24
    uint32_t u;            // 28: 21 fraction bits, at the left end
    uint32_t v;            // 32
    uint32_t unused9[2];   // 36
    uint32_t dxdy;         // 44: 16.16, x change per row
    int32_t rowCount;      // 48: rows this record covers, not negative
    uint32_t unused13[9];  // 52
    uint32_t uStepX;       // 88: perspective: u step per pixel at the left end
    uint32_t uStepY;       // 92: u change per row at fixed x
    uint32_t vStepX;       // 96
    uint32_t vStepY;       // 100
    uint32_t unused26[8];  // 104
};

// Per-pixel and per-row increments, constant over one call.
struct DevTrapGradients {
    uint32_t dzdx;         // 0: signed, 12 fraction bits
    uint32_t dzdy;         // 4
    uint32_t dch0dx;       // 8: signed 8.16
    uint32_t dch1dx;       // 12
    uint32_t dch2dx;       // 16
    uint32_t unused5;      // 20
    uint32_t dudx;         // 24: affine texture, 21 fraction bits
    uint32_t dvdx;         // 28
    uint32_t unused8[2];   // 32
    uint32_t dch0dy;       // 40
    uint32_t dch1dy;       // 44
    uint32_t dch2dy;       // 48
    uint32_t unused13;     // 52
    uint32_t dudy;         // 56
    uint32_t dvdy;         // 60
    uint32_t unused16[2];  // 64
    uint32_t d2udx2;       // 72: perspective second differences
    uint32_t d2udxdy;      // 76
    uint32_t d2udy2;       // 80
    uint32_t d2vdx2;       // 84
    uint32_t d2vdxdy;      // 88
    uint32_t d2vdy2;       // 92
};

// The current texture, owned and filled by the rendering library and read
// here only. Texels are u16 (red bits 0-4, green 5-9, blue 10-14, bit 15 no
// colour) or, for colour-index textures, u8 palette indices.
enum { TEXADDR_POW2 = 0, TEXADDR_POW2_SUM = 1, TEXADDR_SCALED = 2 /* and any other value */ };

struct DevTexture {
    const void* texels;    // 0: texel 0 (row 0, column 0); rows without gaps
    uint8_t unused4[124];  // 4
    uint8_t rowShift;      // 128: a, log2 of the row length (taken modulo 32)
    uint8_t unused129[3];
    uint8_t rowShift2;  // 132: b, second term of the row length 2^a + 2^b
    uint8_t unused133[7];
    uint32_t addressMode;  // 140: TEXADDR_*
    uint32_t width;        // 144: texels per row (scaled mode)
    uint32_t height;       // 148: rows (scaled mode)
    uint32_t unused152;
    uint32_t uMask;  // 156: AND mask on u (power-of-two modes)
    uint32_t vMask;  // 160: AND mask on v
};

// One line segment for procedure slot 17: two vertex records, 104 bytes
// apart. Of the second vertex only x and y are read.
struct DevLineVertex {
    uint32_t x;            // 0: 16.16
    uint32_t y;            // 4: 16.16, buffer row
    uint32_t z;            // 8: depth, 12 fraction bits
    uint32_t ch0;          // 12: 8.16 red
    uint32_t ch1;          // 16: 8.16 green
    uint32_t ch2;          // 20: 8.16 blue
    uint32_t unused6[7];   // 24
    uint32_t zStep;        // 52: signed, z change per pixel along the line
    uint32_t ch0Step;      // 56: signed 8.16, per pixel along the line
    uint32_t ch1Step;      // 60
    uint32_t ch2Step;      // 64
    uint32_t unused17[9];  // 68
};

struct DevLineRecord {
    DevLineVertex vertex[2];
};

#ifdef __cplusplus
}  // extern "C"
#endif

static_assert(offsetof(DevTexture, rowShift) == 128, "");
static_assert(offsetof(DevTexture, rowShift2) == 132, "");
static_assert(offsetof(DevTexture, addressMode) == 140, "");
static_assert(offsetof(DevTexture, width) == 144, "");
static_assert(offsetof(DevTexture, height) == 148, "");
static_assert(offsetof(DevTexture, uMask) == 156, "");
static_assert(offsetof(DevTexture, vMask) == 160, "");

static_assert(sizeof(DevTrapEdge) == 136, "DevTrapEdge");
static_assert(offsetof(DevTrapEdge, y) == 4, "");
static_assert(offsetof(DevTrapEdge, z) == 8, "");
static_assert(offsetof(DevTrapEdge, ch0) == 12, "");
static_assert(offsetof(DevTrapEdge, ch1) == 16, "");
static_assert(offsetof(DevTrapEdge, ch2) == 20, "");
static_assert(offsetof(DevTrapEdge, u) == 28, "");
static_assert(offsetof(DevTrapEdge, v) == 32, "");
static_assert(offsetof(DevTrapEdge, dxdy) == 44, "");
static_assert(offsetof(DevTrapEdge, rowCount) == 48, "");
static_assert(offsetof(DevTrapEdge, uStepX) == 88, "");
static_assert(offsetof(DevTrapEdge, uStepY) == 92, "");
static_assert(offsetof(DevTrapEdge, vStepX) == 96, "");
static_assert(offsetof(DevTrapEdge, vStepY) == 100, "");

static_assert(sizeof(DevTrapGradients) == 96, "DevTrapGradients");
static_assert(offsetof(DevTrapGradients, dzdy) == 4, "");
static_assert(offsetof(DevTrapGradients, dch0dx) == 8, "");
static_assert(offsetof(DevTrapGradients, dch1dx) == 12, "");
static_assert(offsetof(DevTrapGradients, dch2dx) == 16, "");
static_assert(offsetof(DevTrapGradients, dudx) == 24, "");
static_assert(offsetof(DevTrapGradients, dvdx) == 28, "");
static_assert(offsetof(DevTrapGradients, dch0dy) == 40, "");
static_assert(offsetof(DevTrapGradients, dch1dy) == 44, "");
static_assert(offsetof(DevTrapGradients, dch2dy) == 48, "");
static_assert(offsetof(DevTrapGradients, dudy) == 56, "");
static_assert(offsetof(DevTrapGradients, dvdy) == 60, "");
static_assert(offsetof(DevTrapGradients, d2udx2) == 72, "");
static_assert(offsetof(DevTrapGradients, d2udxdy) == 76, "");
static_assert(offsetof(DevTrapGradients, d2udy2) == 80, "");
static_assert(offsetof(DevTrapGradients, d2vdx2) == 84, "");
static_assert(offsetof(DevTrapGradients, d2vdxdy) == 88, "");
static_assert(offsetof(DevTrapGradients, d2vdy2) == 92, "");

static_assert(sizeof(DevLineVertex) == 104, "DevLineVertex");
static_assert(sizeof(DevLineRecord) == 208, "DevLineRecord");
static_assert(offsetof(DevLineVertex, y) == 4, "");
static_assert(offsetof(DevLineVertex, z) == 8, "");
static_assert(offsetof(DevLineVertex, ch0) == 12, "");
static_assert(offsetof(DevLineVertex, ch1) == 16, "");
static_assert(offsetof(DevLineVertex, ch2) == 20, "");
static_assert(offsetof(DevLineVertex, zStep) == 52, "");
static_assert(offsetof(DevLineVertex, ch0Step) == 56, "");
static_assert(offsetof(DevLineVertex, ch1Step) == 60, "");
static_assert(offsetof(DevLineVertex, ch2Step) == 64, "");
static_assert(offsetof(DevLineRecord, vertex[1].x) == 104, "");
static_assert(offsetof(DevLineRecord, vertex[1].y) == 108, "");
