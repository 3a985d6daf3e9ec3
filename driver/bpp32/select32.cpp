// The constant record of the 32-bit family: its key masks (no dithered or colour-index keys), its
// service routines and its variant table. Routines the family does not
// have yet stay null and leave their slots empty.
#include "select.h"
#include "bpp32/bpp32_trapezoids.h"
#include "bpp32/services32.h"

extern "C" {
const DevFamily g_bpp32Family = {
    .texturedKeyMask = DEV_KEY_MASK_TEXTURED,
    .untexturedKeyMask = DEV_KEY_MASK_UNTEXTURED,
    .clear = BPP32_DevClear,
    .setColor = BPP32_DevSetColor,
    .lineGeneric = BPP32_DevLineGeneric,
    .trapezoidsGeneric = BPP32_DevTrapezoidsGeneric,
    .present = BPP32_DevPresent,
    .presentTranslated = BPP32_DevPresent,
    .variants = g_bpp32TrapVariants,
    .variantCount = kBpp32TrapVariantCount,
};
}

void BPP32_DevSelectProcs(DevContext* ctx) { DevSelectFamily(ctx, &g_bpp32Family); }
