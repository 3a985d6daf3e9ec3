// The 24-bit family's trapezoid rasterizers and their variant table.
#pragma once

#include "bpp16/trapvariant.h"
#include "bpp16/trapvariants44.h"

// The family's list is the one the 16-, 24- and 32-bit families share
// (bpp16/trapvariants44.h): X(suffix, key, lightMode) defines routine
// BPP24_DevTrapezoids<suffix>, ALIAS adds a further key for one.
#define BPP24_TRAP_VARIANTS(X) DEV_TRAP44_VARIANTS(X)
#define BPP24_TRAP_ALIASES(ALIAS) DEV_TRAP44_ALIASES(ALIAS)

#define BPP24_TRAP_DECLARE(sfx, key, light)                                              \
    uint32_t DEVPROC BPP24_DevTrapezoids##sfx(DevContext* ctx, DevTrapEdge* left,        \
                                              DevTrapEdge* right, DevTrapGradients* grad);

#define BPP24_TRAP_COUNT(sfx, key, light) +1
enum { kBpp24TrapRoutineCount = 0 BPP24_TRAP_VARIANTS(BPP24_TRAP_COUNT),
       kBpp24TrapVariantCount = 0 BPP24_TRAP_VARIANTS(BPP24_TRAP_COUNT) BPP24_TRAP_ALIASES(BPP24_TRAP_COUNT) };

extern "C" {
BPP24_TRAP_VARIANTS(BPP24_TRAP_DECLARE)

extern const DevTrapVariant g_bpp24TrapVariants[];
extern const uint32_t g_bpp24TrapVariantCount;

// The driver's name table: the 44 routine names in the order of the list
// above (the variant numbers 0 to 43), each followed by one blank.
extern const char* const g_bpp24TrapNames[kBpp24TrapRoutineCount];
}
