// The 32-bit family's service routines: set colour, clear, present and the
// forwarders, declared in the form every family shares (bpp16/family.h).
#pragma once

#include "frame/records.h"
#include "bpp16/family.h"

#define DEV_FAMILY_NN 32
DEV_FAMILY_SERVICES_DECLARE()
#undef DEV_FAMILY_NN
