// The 24-bit family's trapezoid rasterizers and their variant table.
#pragma once

#include "bpp16/family.h"
#include "bpp16/trapvariants44.h"

// The family's list is the one the 16-, 24- and 32-bit families share
// (bpp16/trapvariants44.h): X(suffix, key, lightMode) defines routine
// BPP24_DevTrapezoids<suffix>, ALIAS adds a further key for one.
#define BPP24_TRAP_VARIANTS(X) DEV_TRAP44_VARIANTS(X)
#define BPP24_TRAP_ALIASES(ALIAS) DEV_TRAP44_ALIASES(ALIAS)

#define DEV_FAMILY_NN 24
DEV_FAMILY_TRAPEZOIDS_DECLARE(BPP24_TRAP_VARIANTS, BPP24_TRAP_ALIASES)
#undef DEV_FAMILY_NN

extern "C" {
// The driver's name table: the 44 routine names in the order of the list
// above (the variant numbers 0 to 43), each followed by one blank.
extern const char* const g_bpp24TrapNames[kBpp24TrapRoutineCount];
}
