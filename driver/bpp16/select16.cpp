// The constant record of the 16-bit family: its key masks (no dithered or colour-index keys), its
// service routines and its variant table. Routines the family does not
// have yet stay null and leave their slots empty.
#include "select.h"

extern "C" {
const DevFamily g_bpp16Family = {
    .texturedKeyMask = 0x20400f,
    .untexturedKeyMask = 0xb,
};
}

void BPP16_DevSelectProcs(DevContext* ctx) { DevSelectFamily(ctx, &g_bpp16Family); }
