// The 8-bit family's service routines: set colour, clear, the presents
// (plain and through the library's translation tables) and the forwarders,
// declared in the form every family shares (bpp16/family.h) but for the
// translated present, which only this family has.
#pragma once

#include "frame/records.h"
#include "bpp16/family.h"

#define DEV_FAMILY_NN 08
DEV_FAMILY_SERVICES_DECLARE()
#undef DEV_FAMILY_NN

extern "C" {
uint32_t DEVPROC BPP08_DevPresentTranslated(DevContext* ctx);
}
