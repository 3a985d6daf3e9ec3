// The 8-bit family's trapezoid rasterizers and their variant table.
#pragma once

#include "bpp16/trapvariant.h"

// The family's list, written once: X(suffix, key, lightMode) defines routine
// BPP08_DevTrapezoids<suffix> for that state key. ALIAS(suffix, key,
// lightMode) adds a further key for an existing routine.
//
// Suffix letters, in this order (see bpp16/trapwalk.h for the lanes each
// feature picks):
//   Fs   flat colour (or flat light after MR)     Ss   smooth colour / light
//   Tx   affine texture (DEV_AFFINE)               PTx  perspective texture
//   Tr   colour key (DEV_COLORKEY)                 MR/MM/MS  texture lighting
//   I    colour index (DEV_COLORINDEX)             Z    depth (DEV_DEPTH)
//   D    dither (DEV_DITHER)
#define BPP08_TRAP_VARIANTS(X)                                        \
    X(Fs, 0, 0)                                                       \
    X(FsZ, DEV_DEPTH, 0)                                              \
    X(FsD, DEV_DITHER, 0)                                             \
    X(FsZD, DEV_DEPTH | DEV_DITHER, 0)                                \
    X(Ss, DEV_SMOOTH, 0)                                              \
    X(SsZ, DEV_SMOOTH | DEV_DEPTH, 0)                                 \
    X(SsD, DEV_SMOOTH | DEV_DITHER, 0)                                \
    X(SsZD, DEV_SMOOTH | DEV_DEPTH | DEV_DITHER, 0)                   \
    X(FsI, DEV_COLORINDEX, 0)                                         \
    X(FsIZ, DEV_COLORINDEX | DEV_DEPTH, 0)                            \
    X(FsID, DEV_COLORINDEX | DEV_DITHER, 0)                           \
    X(FsIZD, DEV_COLORINDEX | DEV_DEPTH | DEV_DITHER, 0)              \
    X(SsI, DEV_COLORINDEX | DEV_SMOOTH, 0)                            \
    X(SsIZ, DEV_COLORINDEX | DEV_SMOOTH | DEV_DEPTH, 0)               \
    X(SsID, DEV_COLORINDEX | DEV_SMOOTH | DEV_DITHER, 0)              \
    X(SsIZD, DEV_COLORINDEX | DEV_SMOOTH | DEV_DEPTH | DEV_DITHER, 0)

#define BPP08_TRAP_ALIASES(ALIAS)

#define BPP08_TRAP_DECLARE(sfx, key, light)                                              \
    uint32_t DEVPROC BPP08_DevTrapezoids##sfx(DevContext* ctx, DevTrapEdge* left,        \
                                              DevTrapEdge* right, DevTrapGradients* grad);

#define BPP08_TRAP_COUNT(sfx, key, light) +1
enum { kBpp08TrapVariantCount = 0 BPP08_TRAP_VARIANTS(BPP08_TRAP_COUNT) BPP08_TRAP_ALIASES(BPP08_TRAP_COUNT) };

extern "C" {
BPP08_TRAP_VARIANTS(BPP08_TRAP_DECLARE)

extern const DevTrapVariant g_bpp08TrapVariants[];
extern const uint32_t g_bpp08TrapVariantCount;
}
