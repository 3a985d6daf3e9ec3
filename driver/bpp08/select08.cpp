// The constant record of the palette-display family: the form every family
// shares (bpp16/family.h) with keys that also hold dither and colour index,
// the present through the library's translation tables and the family's own
// line routines.
#include "frame/select.h"
#include "bpp08/bpp08_trapezoids.h"
#include "bpp08/lines08.h"
#include "bpp08/services08.h"

#define DEV_FAMILY_NN 08
DEV_FAMILY_SELECTOR(.texturedKeyMask = DEV_KEY_MASK_TEXTURED | DEV_KEY_MASK_PALETTE,
                    .untexturedKeyMask = DEV_KEY_MASK_UNTEXTURED | DEV_KEY_MASK_PALETTE,
                    .presentTranslated = BPP08_DevPresentTranslated, .lines = g_bpp08LineVariants,
                    .lineCount = kBpp08LineVariantCount)
