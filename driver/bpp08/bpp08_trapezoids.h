// The 8-bit family's trapezoid rasterizers and their variant table.
#pragma once

#include "bpp16/trapvariant.h"

// The family's list, written once: X(suffix, key, lightMode) defines routine
// BPP08_DevTrapezoids<suffix> for that state key. ALIAS(suffix, key,
// lightMode) adds a further key for an existing routine.
#define BPP08_TRAP_VARIANTS(X)   \
    X(Fs, 0x000000, 0)           \
    X(FsZ, 0x000008, 0)          \
    X(FsD, 0x001000, 0)          \
    X(FsZD, 0x001008, 0)         \
    X(Ss, 0x000001, 0)           \
    X(SsZ, 0x000009, 0)          \
    X(SsD, 0x001001, 0)          \
    X(SsZD, 0x001009, 0)         \
    X(FsI, 0x100000, 0)          \
    X(FsIZ, 0x100008, 0)         \
    X(FsID, 0x101000, 0)         \
    X(FsIZD, 0x101008, 0)        \
    X(SsI, 0x100001, 0)          \
    X(SsIZ, 0x100009, 0)         \
    X(SsID, 0x101001, 0)         \
    X(SsIZD, 0x101009, 0)

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
