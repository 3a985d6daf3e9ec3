// A slow reference of the trapezoid rasterizers of every family, one pixel
// at a time, written from the rules alone. It shares no code with the
// driver's routines: the walk, the stepping of every value, the texel
// fetch, the lighting and the pixel of each format are spelled out here.
#pragma once

#include "formats.h"
#include "frame/globals.h"
#include "bpp16/trapezoid.h"

#include <stdint.h>
#include <string>

// What one routine does, decoded from its state key and lighting mode.
struct RefFeatures {
    enum Texture { kUntextured, kAffine, kPerspective };
    enum Light { kUnlit, kLightMRFlat, kLightMRSmooth, kLightMM, kLightMS };
    Texture texture = kUntextured;
    Light light = kUnlit;
    bool smooth = false;    // untextured: Gouraud colour instead of the fill pattern
    bool colorKey = false;  // textured only
    bool depth = false;
    bool dither = false;    // 8-bit only
    bool index = false;     // 8-bit colour-index mode (index texels when textured)
};

// False when the key and mode name no drawable combination (a lit key
// with a lighting mode other than 1, 2 or 3).
bool RefDecode(uint32_t key, uint8_t lightMode, RefFeatures* out);
// The routine-name suffix the features stand for ("PTxTrMRFsZD", ...).
std::string RefSuffix(const RefFeatures& f);

// Draws as the routine with these features does on a display of format
// fmt: colour, depth and DirtyMask A of ctx. Reads the globals the routines
// read (g_dirtyShift, g_paletteBase) and nothing of the pixel-format tables:
// the pixel comes from fmt's masks directly.
uint32_t RefTrapezoids(const RefFeatures& f, const RefFormat& fmt, DevContext* ctx, const DevTrapEdge* left,
                       const DevTrapEdge* right, const DevTrapGradients* g);

// The untextured 8-bit routine for `key`.
uint32_t RefTrapezoids8(uint32_t key, DevContext* ctx, const DevTrapEdge* left, const DevTrapEdge* right,
                        const DevTrapGradients* g);

// The single conversions, for worked values.
// The 15-bit lit word of texel t under light; ch are the current light
// channels (smooth lights), color the context colour (flat MR).
uint32_t RefLitWord(RefFeatures::Light light, uint32_t t, const uint32_t ch[3], uint32_t color);
// 8-bit palette index of a colour texel (or lit word): plain, or dithered
// at column x of buffer row y.
uint8_t RefTexel8(uint32_t t, bool dither, uint32_t x, uint32_t y, uint32_t paletteBase);
// Pixel value (little-endian bytes) of a 15-bit colour on a 2-, 3- or 4-byte format.
uint32_t RefTexelPixel(const RefFormat& fmt, uint32_t w);
// Pixel value of three 8.16 channels on a 2-, 3- or 4-byte format.
uint32_t RefChannelPixel(const RefFormat& fmt, uint32_t ch0, uint32_t ch1, uint32_t ch2);
// Index of the texel at (u, v), before multiplying by the texel size.
uint32_t RefTexelIndex(const DevTexture* t, uint32_t u, uint32_t v);
// One row end of the perspective stepping of one coordinate: the value,
// per-pixel and per-row differences at the row's first pixel, moved to the
// next row's first pixel (k or, when movedKPlus1, k + 1 columns on).
struct RefQuadState {
    uint32_t L, dL, eL;
};
void RefStepQuadRow(RefQuadState& s, uint32_t A, uint32_t B, uint32_t C, int32_t k, bool movedKPlus1);
