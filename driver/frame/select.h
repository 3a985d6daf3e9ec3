// The procedure selection that every rasterizer family shares: front-buffer
// guard, the family's defaults, rejection of states the driver does not
// draw, the present, and the look-up of the state key in the family's
// variant table. Each family supplies its routines and its table.
#pragma once

#include "frame/records.h"
#include "bpp16/trapvariant.h"

#ifdef __cplusplus
extern "C" {
#endif

// The state bits a family's keys are made of: key = state & the textured
// mask when DEV_TEXTURE is set, else state & the untextured one. Colour
// key, lighting and affine addressing count only with a texture. The
// untextured mask has DEV_TEXTURE too, which is clear wherever it applies.
// The palette family's keys also hold dither and colour index.
enum {
    DEV_KEY_MASK_TEXTURED = DEV_SMOOTH | DEV_TEXTURE | DEV_MODULATE | DEV_DEPTH | DEV_COLORKEY | DEV_AFFINE,
    DEV_KEY_MASK_UNTEXTURED = DEV_SMOOTH | DEV_TEXTURE | DEV_DEPTH,
    DEV_KEY_MASK_PALETTE = DEV_DITHER | DEV_COLORINDEX
};

// A line routine of the family's own for one state key; every other key
// keeps the generic line forwarder.
struct DevLineVariant {
    uint32_t key;
    DevLineProc proc;
    const char* name;
};

// One family's constant record: the service routines it installs, its
// routine tables and its key masks. A null routine leaves its slot empty.
// The fields up to variantCount every family fills in the same form
// (bpp16/family.h); the rest each family gives itself.
struct DevFamily {
    DevClearProc clear = nullptr;
    DevSetColorProc setColor = nullptr;
    DevLineProc lineGeneric = nullptr;
    DevTrapezoidsProc trapezoidsGeneric = nullptr;
    DevPresentProc present = nullptr;
    const DevTrapVariant* variants = nullptr;  // trapezoid rasterizers by key
    uint32_t variantCount = 0;
    uint32_t texturedKeyMask = 0;                // key = state & this with DEV_TEXTURE
    uint32_t untexturedKeyMask = 0;              // key = state & this without it
    DevPresentProc presentTranslated = nullptr;  // with DevContext.translate (families
                                                 // without a translated form give present)
    const DevLineVariant* lines = nullptr;       // line routines by key
    uint32_t lineCount = 0;
};

// The four families, one constant record each.
extern const DevFamily g_bpp08Family;
extern const DevFamily g_bpp16Family;
extern const DevFamily g_bpp24Family;
extern const DevFamily g_bpp32Family;

// Key of a state for a family's table.
uint32_t DevSelectKey(const DevFamily* family, uint32_t state);
// Fills the context's procedure table for the family.
void DevSelectFamily(DevContext* ctx, const DevFamily* family);

// The family selectors (one per display depth), called by validation.
void BPP08_DevSelectProcs(DevContext* ctx);
void BPP16_DevSelectProcs(DevContext* ctx);
void BPP24_DevSelectProcs(DevContext* ctx);
void BPP32_DevSelectProcs(DevContext* ctx);

#ifdef __cplusplus
}  // extern "C"
#endif
