// The constant record of the palette-display family: its key masks, its
// service routines and its variant table. Routines the family does not
// have yet stay null and leave their slots empty.
#include "select.h"
#include "bpp08/bpp08_trapezoids.h"
#include "bpp08/lines08.h"
#include "bpp08/services08.h"

extern "C" {
const DevFamily g_bpp08Family = {
    .texturedKeyMask = DEV_KEY_MASK_TEXTURED | DEV_KEY_MASK_PALETTE,
    .untexturedKeyMask = DEV_KEY_MASK_UNTEXTURED | DEV_KEY_MASK_PALETTE,
    .clear = BPP08_DevClear,
    .setColor = BPP08_DevSetColor,
    .lineGeneric = BPP08_DevLineGeneric,
    .trapezoidsGeneric = BPP08_DevTrapezoidsGeneric,
    .present = BPP08_DevPresent,
    .presentTranslated = BPP08_DevPresentTranslated,
    .variants = g_bpp08TrapVariants,
    .variantCount = kBpp08TrapVariantCount,
    .lines = g_bpp08LineVariants,
    .lineCount = kBpp08LineVariantCount,
};
}

void BPP08_DevSelectProcs(DevContext* ctx) { DevSelectFamily(ctx, &g_bpp08Family); }
