// The 8-bit trapezoid rasterizers: each one the shared walk for one state key
// with the 8-bit pixel format, flattened into a routine of its own.
#include "bpp08/bpp08_trapezoids.h"
#include "bpp08/pixel8.h"

#define DEV_FAMILY_NN 08
DEV_FAMILY_TRAPEZOIDS_DEFINE(raster::Pixel8, BPP08_TRAP_VARIANTS, BPP08_TRAP_ALIASES)
