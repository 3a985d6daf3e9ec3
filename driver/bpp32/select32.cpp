// Procedure selection of the 32-bit family. The variant table gets a row
// per trapezoid rasterizer of the family as they are built (key masks
// 0x20400f textured, 0xb untextured; no dithered or colour-index keys).
#include "select.h"

void BPP32_DevSelectProcs(DevContext* ctx)
{
    DevFamily family = {};
    family.texturedKeyMask = 0x20400f;
    family.untexturedKeyMask = 0xb;
    // Service routines of this family not built yet stay empty.
    family.clear = 0;
    family.setColor = 0;
    family.lineGeneric = 0;
    family.trapezoidsGeneric = 0;
    family.present = 0;
    family.presentTranslated = family.present;  // no translated form
    family.variants = 0;
    family.variantCount = 0;
    family.lines = 0;  // the family has no line routine of its own
    family.lineCount = 0;
    DevSelectFamily(ctx, &family);
}
