// The constant record of the 16-bit family: the form every family shares
// (bpp16/family.h) with the plain key masks (no dithered or colour-index
// keys) and no translated present of its own.
#include "frame/select.h"
#include "bpp16/bpp16_trapezoids.h"
#include "bpp16/services16.h"

#define DEV_FAMILY_NN 16
DEV_FAMILY_SELECTOR(.texturedKeyMask = DEV_KEY_MASK_TEXTURED, .untexturedKeyMask = DEV_KEY_MASK_UNTEXTURED,
                    .presentTranslated = BPP16_DevPresent)
