// The 24-bit trapezoid rasterizers: each one the shared walk for one state
// key and lighting mode with the packed 24-bit pixel format, flattened into
// a routine of its own.
#include "bpp24/bpp24_trapezoids.h"
#include "bpp24/pixel24.h"

#define BPP24_TRAP_DEFINE(sfx, key, light)                                                 \
    extern "C" __attribute__((flatten)) uint32_t DEVPROC BPP24_DevTrapezoids##sfx(         \
        DevContext* ctx, DevTrapEdge* left, DevTrapEdge* right, DevTrapGradients* grad) {  \
        return raster::DevTrapWalk<raster::Pixel24, key, light>(ctx, left, right, grad);   \
    }
BPP24_TRAP_VARIANTS(BPP24_TRAP_DEFINE)

#define BPP24_TRAP_ROW(sfx, key, light) {key, light, BPP24_DevTrapezoids##sfx, "BPP24_DevTrapezoids" #sfx},
#define BPP24_TRAP_NAME(sfx, key, light) "BPP24_DevTrapezoids" #sfx " ",

extern "C" {
const DevTrapVariant g_bpp24TrapVariants[] = {
    BPP24_TRAP_VARIANTS(BPP24_TRAP_ROW)
    BPP24_TRAP_ALIASES(BPP24_TRAP_ROW)
};
const uint32_t g_bpp24TrapVariantCount = sizeof(g_bpp24TrapVariants) / sizeof(g_bpp24TrapVariants[0]);

const char* const g_bpp24TrapNames[kBpp24TrapRoutineCount] = {BPP24_TRAP_VARIANTS(BPP24_TRAP_NAME)};
}
