// The constant record of the 16-bit family: its key masks (no dithered or colour-index keys), its
// service routines and its variant table. Routines the family does not
// have yet stay null and leave their slots empty.
#include "select.h"
#include "bpp16/bpp16_trapezoids.h"
#include "bpp16/services16.h"

extern "C" {
const DevFamily g_bpp16Family = {
    .texturedKeyMask = DEV_KEY_MASK_TEXTURED,
    .untexturedKeyMask = DEV_KEY_MASK_UNTEXTURED,
    .clear = BPP16_DevClear,
    .setColor = BPP16_DevSetColor,
    .lineGeneric = BPP16_DevLineGeneric,
    .trapezoidsGeneric = BPP16_DevTrapezoidsGeneric,
    .present = BPP16_DevPresent,
    .presentTranslated = BPP16_DevPresent,
    .variants = g_bpp16TrapVariants,
    .variantCount = kBpp16TrapVariantCount,
};
}

void BPP16_DevSelectProcs(DevContext* ctx) { DevSelectFamily(ctx, &g_bpp16Family); }
