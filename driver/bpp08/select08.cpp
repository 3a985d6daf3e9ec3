// Procedure selection of the palette-display family.
#include "select.h"
#include "bpp08/bpp08_trapezoids.h"

void BPP08_DevSelectProcs(DevContext* ctx)
{
    DevFamily family = {};
    family.texturedKeyMask = 0x30500f;
    family.untexturedKeyMask = 0x10100b;
    // Service routines of this family not built yet stay empty.
    family.clear = 0;
    family.setColor = 0;
    family.lineGeneric = 0;
    family.trapezoidsGeneric = 0;
    family.present = 0;
    family.presentTranslated = 0;
    family.variants = g_bpp08TrapVariants;
    family.variantCount = g_bpp08TrapVariantCount;
    // The family's dithered untextured lines are not built yet.
    family.lines = 0;
    family.lineCount = 0;
    DevSelectFamily(ctx, &family);
}
