// The 32-bit family's service routines: set colour, clear, present and the
// forwarders.
#pragma once

#include "frame/records.h"

extern "C" {
uint32_t DEVPROC BPP32_DevSetColor(DevContext* ctx, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t c3,
                                   uint32_t separate, void* out);
uint32_t DEVPROC BPP32_DevClear(DevContext* ctx, uint32_t what);
uint32_t DEVPROC BPP32_DevPresent(DevContext* ctx);
uint32_t DEVPROC BPP32_DevTrapezoidsGeneric(DevContext* ctx, DevTrapEdge* left, DevTrapEdge* right,
                                            DevTrapGradients* grad);
uint32_t DEVPROC BPP32_DevLineGeneric(DevContext* ctx, DevLineRecord* line, uint32_t pass);
}
