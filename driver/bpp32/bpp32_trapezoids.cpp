// The 32-bit trapezoid rasterizers: each one the shared walk for one state
// key and lighting mode with the 32-bit pixel format (twice where the usual
// layout has its own form), flattened into a routine of its own.
#include "bpp32/bpp32_trapezoids.h"
#include "bpp32/pixel32.h"

#define BPP32_TRAP_DEFINE(sfx, key, light)                                                 \
    extern "C" __attribute__((flatten)) uint32_t DEVPROC BPP32_DevTrapezoids##sfx(         \
        DevContext* ctx, DevTrapEdge* left, DevTrapEdge* right, DevTrapGradients* grad) {  \
        return raster::DevTrapWalk<raster::Pixel32, key, light>(ctx, left, right, grad);   \
    }
BPP32_TRAP_VARIANTS(BPP32_TRAP_DEFINE)

#define BPP32_TRAP_ROW(sfx, key, light) {key, light, BPP32_DevTrapezoids##sfx, "BPP32_DevTrapezoids" #sfx},

extern "C" {
const DevTrapVariant g_bpp32TrapVariants[] = {
    BPP32_TRAP_VARIANTS(BPP32_TRAP_ROW)
    BPP32_TRAP_ALIASES(BPP32_TRAP_ROW)
};
const uint32_t g_bpp32TrapVariantCount = sizeof(g_bpp32TrapVariants) / sizeof(g_bpp32TrapVariants[0]);
}
