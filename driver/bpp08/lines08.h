// The 8-bit family's own line routines, for the untextured dithered RGB
// states, and their table for the selector. Every other state keeps the
// family's generic line forwarder.
#pragma once

#include "frame/select.h"

// The family's list, written once: X(suffix, key) defines routine
// BPP08_DevLine<suffix> for that state key. Fs flat, Ss smooth colour,
// Z depth test and write, D the dithered state (the flat line itself
// draws the undithered colour).
#define BPP08_LINE_VARIANTS(X)      \
    X(FsD, DEV_DITHER)              \
    X(FsZD, DEV_DITHER | DEV_DEPTH) \
    X(SsD, DEV_DITHER | DEV_SMOOTH) \
    X(SsZD, DEV_DITHER | DEV_SMOOTH | DEV_DEPTH)

#define BPP08_LINE_DECLARE(sfx, key) \
    uint32_t DEVPROC BPP08_DevLine##sfx(DevContext* ctx, DevLineRecord* line, uint32_t pass);

#define BPP08_LINE_COUNT(sfx, key) +1
enum { kBpp08LineVariantCount = 0 BPP08_LINE_VARIANTS(BPP08_LINE_COUNT) };

extern "C" {
BPP08_LINE_VARIANTS(BPP08_LINE_DECLARE)

extern const DevLineVariant g_bpp08LineVariants[];
}
