// The 16-bit family's trapezoid rasterizers and their variant table.
#pragma once

#include "bpp16/family.h"
#include "bpp16/trapvariants44.h"

// The family's list is the one the 16-, 24- and 32-bit families share
// (bpp16/trapvariants44.h): X(suffix, key, lightMode) defines routine
// BPP16_DevTrapezoids<suffix>, ALIAS adds a further key for one.
#define BPP16_TRAP_VARIANTS(X) DEV_TRAP44_VARIANTS(X)
#define BPP16_TRAP_ALIASES(ALIAS) DEV_TRAP44_ALIASES(ALIAS)

#define DEV_FAMILY_NN 16
DEV_FAMILY_TRAPEZOIDS_DECLARE(BPP16_TRAP_VARIANTS, BPP16_TRAP_ALIASES)
#undef DEV_FAMILY_NN
