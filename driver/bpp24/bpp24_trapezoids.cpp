// The 24-bit trapezoid rasterizers: each one the shared walk for one state
// key and lighting mode with the packed 24-bit pixel format, flattened into
// a routine of its own.
#include "bpp24/bpp24_trapezoids.h"
#include "bpp24/pixel24.h"

#define DEV_FAMILY_NN 24
DEV_FAMILY_TRAPEZOIDS_DEFINE(raster::Pixel24, BPP24_TRAP_VARIANTS, BPP24_TRAP_ALIASES)

#define BPP24_TRAP_NAME(sfx, key, light) "BPP24_DevTrapezoids" #sfx " ",

extern "C" {
const char* const g_bpp24TrapNames[kBpp24TrapRoutineCount] = {BPP24_TRAP_VARIANTS(BPP24_TRAP_NAME)};
}
