// The procedure selection that every rasterizer family shares: front-buffer
// guard, the family's defaults, rejection of states the driver does not
// draw, the present, and the look-up of the state key in the family's
// variant table. Each family supplies its routines and its table.
#pragma once

#include "paths.h"
#include "bpp16/trapvariant.h"

#ifdef __cplusplus
extern "C" {
#endif

// A line routine of the family's own for one state key; every other key
// keeps the generic line forwarder.
struct DevLineVariant {
    uint32_t key;
    DevLineProc proc;
};

struct DevFamily {
    uint32_t texturedKeyMask;    // key = state & this with DEV_TEXTURE
    uint32_t untexturedKeyMask;  // key = state & this without it
    // Routines the family installs; a null one leaves that slot empty.
    DevClearProc clear;
    DevSetColorProc setColor;
    DevLineProc lineGeneric;
    DevTrapezoidsProc trapezoidsGeneric;
    DevPresentProc present;
    DevPresentProc presentTranslated;  // with DevContext.translate (families without a
                                       // translated form give present again)
    const DevTrapVariant* variants;  // the family's trapezoid rasterizers by key
    uint32_t variantCount;
    const DevLineVariant* lines;
    uint32_t lineCount;
};

// Key of a state for a family's table.
uint32_t DevSelectKey(const DevFamily* family, uint32_t state);
// Fills the context's procedure table for the family.
void DevSelectFamily(DevContext* ctx, const DevFamily* family);

#ifdef __cplusplus
}  // extern "C"
#endif
