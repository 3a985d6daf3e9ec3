// The 16-bit trapezoid rasterizers: each one the shared walk for one state
// key and lighting mode with the 16-bit pixel format, flattened into a
// routine of its own.
#include "bpp16/bpp16_trapezoids.h"
#include "bpp16/pixel16.h"

#define DEV_FAMILY_NN 16
DEV_FAMILY_TRAPEZOIDS_DEFINE(raster::Pixel16, BPP16_TRAP_VARIANTS, BPP16_TRAP_ALIASES)
