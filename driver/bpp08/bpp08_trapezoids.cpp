// The 8-bit trapezoid rasterizers: each one the shared walk for one state key
// with the 8-bit pixel format, flattened into a routine of its own.
#include "bpp08/bpp08_trapezoids.h"
#include "bpp08/pixel8.h"

#define BPP08_TRAP_DEFINE(sfx, key, light)                                                 \
    extern "C" __attribute__((flatten)) uint32_t DEVPROC BPP08_DevTrapezoids##sfx(         \
        DevContext* ctx, DevTrapEdge* left, DevTrapEdge* right, DevTrapGradients* grad) {  \
        return raster::DevTrapWalk<raster::Pixel8, key, light>(ctx, left, right, grad);    \
    }
BPP08_TRAP_VARIANTS(BPP08_TRAP_DEFINE)

#define BPP08_TRAP_ROW(sfx, key, light) {key, light, BPP08_DevTrapezoids##sfx, "BPP08_DevTrapezoids" #sfx},

extern "C" {
const DevTrapVariant g_bpp08TrapVariants[] = {
    BPP08_TRAP_VARIANTS(BPP08_TRAP_ROW)
    BPP08_TRAP_ALIASES(BPP08_TRAP_ROW)
};
const uint32_t g_bpp08TrapVariantCount = sizeof(g_bpp08TrapVariants) / sizeof(g_bpp08TrapVariants[0]);
}
