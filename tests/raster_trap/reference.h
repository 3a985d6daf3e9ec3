// A slow reference of the trapezoid rasterizers, one pixel at a time, for
// any feature key of the untextured 8-bit family. It shares no code with the
// driver's routines.
#pragma once

#include "frame/driver.h"
#include "bpp16/trapezoid.h"

// Draws as the routine for `key` does: colour, depth and DirtyMask A of ctx.
uint32_t RefTrapezoids8(uint32_t key, DevContext* ctx, const DevTrapEdge* left,
                        const DevTrapEdge* right, const DevTrapGradients* g);
