// The constant record of the packed 24-bit family: its key masks (no dithered or colour-index keys), its
// service routines and its variant table. Routines the family does not
// have yet stay null and leave their slots empty.
#include "select.h"
#include "bpp24/bpp24_trapezoids.h"
#include "bpp24/services24.h"

extern "C" {
const DevFamily g_bpp24Family = {
    .texturedKeyMask = DEV_KEY_MASK_TEXTURED,
    .untexturedKeyMask = DEV_KEY_MASK_UNTEXTURED,
    .clear = BPP24_DevClear,
    .setColor = BPP24_DevSetColor,
    .lineGeneric = BPP24_DevLineGeneric,
    .trapezoidsGeneric = BPP24_DevTrapezoidsGeneric,
    .present = BPP24_DevPresent,
    .presentTranslated = BPP24_DevPresent,
    .variants = g_bpp24TrapVariants,
    .variantCount = kBpp24TrapVariantCount,
};
}

void BPP24_DevSelectProcs(DevContext* ctx) { DevSelectFamily(ctx, &g_bpp24Family); }
