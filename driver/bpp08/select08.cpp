// Procedure selection of the palette-display family. Its service routines
// and dithered lines fill the record as they are built; unset ones leave
// their slots empty.
#include "select.h"
#include "bpp08/bpp08_trapezoids.h"

void BPP08_DevSelectProcs(DevContext* ctx)
{
    DevFamily family = {};
    family.texturedKeyMask = 0x30500f;
    family.untexturedKeyMask = 0x10100b;
    family.variants = g_bpp08TrapVariants;
    family.variantCount = g_bpp08TrapVariantCount;
    DevSelectFamily(ctx, &family);
}
