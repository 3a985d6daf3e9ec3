// The constant record of the packed 24-bit family: the form every family shares
// (bpp16/family.h) with the plain key masks (no dithered or colour-index
// keys) and no translated present of its own.
#include "frame/select.h"
#include "bpp24/bpp24_trapezoids.h"
#include "bpp24/services24.h"

#define DEV_FAMILY_NN 24
DEV_FAMILY_SELECTOR(.texturedKeyMask = DEV_KEY_MASK_TEXTURED, .untexturedKeyMask = DEV_KEY_MASK_UNTEXTURED,
                    .presentTranslated = BPP24_DevPresent)
