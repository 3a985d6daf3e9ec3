// The slow, obviously-correct reference of the families' service routines
// (set colour, clear, present, the trapezoid and line forwarders) and of the
// four 8-bit lines, written per pixel and per block straight from the rules.
// Each works on a Canvas as the routine under test works on its context, and
// reads the module globals from the canvas, never from the driver.
//
// Where the rules as first written go wrong, the reference follows the mended
// behaviour:
// - a block index past 31 stands for bit 31 (min(block, 31)), in the clear,
//   the present, the forwarder and the lines; no bit shifts by 32 or more;
// - a rectangle narrower than one block that straddles a block boundary
//   tests both blocks' bits, each part by its own block's bit;
// - an empty or inverted clear rectangle clears nothing (the bits asked for
//   are still reported and A still emptied);
// - the zoom-2 clear halves all four coordinates (arithmetic), as the present;
// - the undithered 8-bit pattern forms also write the word at +8 when the
//   output is the drawing or the clear pattern, so odd rows read the same
//   colour;
// - the present uses at most 40 clip rectangles, shows each only inside the
//   window, and calls the clip-change callback only when it is set;
// - the trapezoid forwarder marks a reversed row (xr < xl) from the smaller
//   to the larger end.
// Patterns are taken as the set-colour routines make them: the 16-bit
// pattern holds the same pixel in both halves and the depth clear value the
// same value in both halves (single stores use the low half).
#pragma once

#include "canvas.h"

#include <windows.h>
#include <vector>

namespace svcref {

// ---- colour formation ----

// 8-bit cube byte from scaled 8.16 channels and a dither offset.
uint8_t RefCube(uint32_t red, uint32_t green, uint32_t blue, uint32_t dither, uint8_t paletteBase);
// RGB ordered dither offset of column x, row y (8.16).
uint32_t RefDither(uint32_t x, uint32_t y);
// Device pixel of three 8-bit components for 2, 3 and 4 bytes per pixel:
// 16-bit the pixel, 24-bit the bytes in memory order (byte 0 lowest),
// 32-bit the pixel.
uint32_t RefPixel(const Display& d, uint32_t red, uint32_t green, uint32_t blue);

// ---- the service routines ----

uint32_t RefSetColor(Canvas& c, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t c3, uint32_t separate, void* out);
uint32_t RefClear(Canvas& c, uint32_t what);

// What the DCI stand-in is told to do during a present, and what the
// present's calls of it must add up to.
struct DciScript {
    bool accessRefused = false;
    bool changed = false;               // the window watch reports a change
    std::vector<RECT> screenRects;      // the provider's clip list, screen coordinates
    int reportedCount = 0;              // the count in the region header
    bool clipListFails = false;
    POINT clientOrigin = {0, 0};        // of the watched window
};
struct DciExpect {
    int begins = 0, granted = 0, ends = 0, statusQueries = 0, clipQueries = 0;
    RECT access = {0, 0, 0, 0};         // x, y, dx, dy of the begin
};
// translated: the 8-bit translated present. dci may be null when the
// canvas's globals do not ask for DCI.
uint32_t RefPresent(Canvas& c, bool translated, const DciScript* dci, DciExpect* expect);

uint32_t RefTrapezoidsGeneric(Canvas& c, DevTrapEdge* left, DevTrapEdge* right, DevTrapGradients* g);
uint32_t RefLineGeneric(Canvas& c, DevLineRecord* line, uint32_t pass);

// ---- the 8-bit lines ----

// The line record: two vertices of 26 words.
struct LineVertex {
    uint32_t x, y, z, ch0, ch1, ch2;   // 16.16, 16.16, depth, 8.16 x 3
    uint32_t unused6[7];
    uint32_t zStep, ch0Step, ch1Step, ch2Step;
    uint32_t unused17[9];
};
struct LineRecord {
    LineVertex v[2];
    DevLineRecord* get() { return reinterpret_cast<DevLineRecord*>(this); }
};
static_assert(sizeof(LineVertex) == 104, "");
static_assert(offsetof(LineVertex, zStep) == 52, "");

enum LineKind { kLineFsD, kLineFsZD, kLineSsD, kLineSsZD };
uint32_t RefLine8(Canvas& c, LineKind kind, const LineRecord& line);

// The DirtyMask bit of block k (bit 31 stands for every block from 31 on).
inline uint32_t BlockBit(uint32_t k) { return 1u << (k < 31 ? k : 31); }

}  // namespace svcref
