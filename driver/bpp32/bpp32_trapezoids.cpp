// The 32-bit trapezoid rasterizers: each one the shared walk for one state
// key and lighting mode with the 32-bit pixel format (twice where the usual
// layout has its own form), flattened into a routine of its own.
#include "bpp32/bpp32_trapezoids.h"
#include "bpp32/pixel32.h"

#define DEV_FAMILY_NN 32
DEV_FAMILY_TRAPEZOIDS_DEFINE(raster::Pixel32, BPP32_TRAP_VARIANTS, BPP32_TRAP_ALIASES)
