// The 16-bit trapezoid rasterizers: each one the shared walk for one state
// key and lighting mode with the 16-bit pixel format, flattened into a
// routine of its own.
#include "bpp16/bpp16_trapezoids.h"
#include "bpp16/pixel16.h"

#define BPP16_TRAP_DEFINE(sfx, key, light)                                                 \
    extern "C" __attribute__((flatten)) uint32_t DEVPROC BPP16_DevTrapezoids##sfx(         \
        DevContext* ctx, DevTrapEdge* left, DevTrapEdge* right, DevTrapGradients* grad) {  \
        return raster::DevTrapWalk<raster::Pixel16, key, light>(ctx, left, right, grad);   \
    }
BPP16_TRAP_VARIANTS(BPP16_TRAP_DEFINE)

#define BPP16_TRAP_ROW(sfx, key, light) {key, light, BPP16_DevTrapezoids##sfx, "BPP16_DevTrapezoids" #sfx},

extern "C" {
const DevTrapVariant g_bpp16TrapVariants[] = {
    BPP16_TRAP_VARIANTS(BPP16_TRAP_ROW)
    BPP16_TRAP_ALIASES(BPP16_TRAP_ROW)
};
const uint32_t g_bpp16TrapVariantCount = sizeof(g_bpp16TrapVariants) / sizeof(g_bpp16TrapVariants[0]);
}
