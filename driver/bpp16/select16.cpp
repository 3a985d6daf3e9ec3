// Procedure selection of the 16-bit family. Key masks: 0x20400f textured,
// 0xb untextured (no dithered or colour-index keys). The family's service
// routines and rasterizers fill the record as they are built; until then
// only the shared decision steps and the copy-rectangle slot apply.
#include "select.h"

void BPP16_DevSelectProcs(DevContext* ctx)
{
    DevFamily family = {};
    family.texturedKeyMask = 0x20400f;
    family.untexturedKeyMask = 0xb;
    DevSelectFamily(ctx, &family);
}
