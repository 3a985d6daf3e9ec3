// The 32-bit family's trapezoid rasterizers and their variant table.
#pragma once

#include "bpp16/trapvariant.h"
#include "bpp16/trapvariants44.h"

// The family's list is the one the 16-, 24- and 32-bit families share
// (bpp16/trapvariants44.h): X(suffix, key, lightMode) defines routine
// BPP32_DevTrapezoids<suffix>, ALIAS adds a further key for one.
#define BPP32_TRAP_VARIANTS(X) DEV_TRAP44_VARIANTS(X)
#define BPP32_TRAP_ALIASES(ALIAS) DEV_TRAP44_ALIASES(ALIAS)

#define BPP32_TRAP_DECLARE(sfx, key, light)                                              \
    uint32_t DEVPROC BPP32_DevTrapezoids##sfx(DevContext* ctx, DevTrapEdge* left,        \
                                              DevTrapEdge* right, DevTrapGradients* grad);

#define BPP32_TRAP_COUNT(sfx, key, light) +1
enum { kBpp32TrapRoutineCount = 0 BPP32_TRAP_VARIANTS(BPP32_TRAP_COUNT),
       kBpp32TrapVariantCount = 0 BPP32_TRAP_VARIANTS(BPP32_TRAP_COUNT) BPP32_TRAP_ALIASES(BPP32_TRAP_COUNT) };

extern "C" {
BPP32_TRAP_VARIANTS(BPP32_TRAP_DECLARE)

extern const DevTrapVariant g_bpp32TrapVariants[];
extern const uint32_t g_bpp32TrapVariantCount;
}
