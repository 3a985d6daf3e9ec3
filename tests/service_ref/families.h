// The families whose service routines and lines are compared with the
// reference, listed once in families.cpp for every program that checks them.
#pragma once

#include "canvas.h"
#include "frame/select.h"

#include <ostream>
#include <string>
#include <vector>

namespace svcref {

enum : uint32_t {
    kServices = 0x1,  // setColor, clear, present (and presentTranslated), both forwarders
    kLines = 0x2,     // the family's own line routines (8-bit: keys 0x1000, 0x1001, 0x1008, 0x1009)
};

struct ServiceFamily {
    const char* name;
    const DevFamily* family;
    uint32_t bytesPerPixel;
    uint32_t has;  // kServices, kLines
};

// The families that have all of `what`.
std::vector<ServiceFamily> Families(uint32_t what);
// The family a display of this many bytes per pixel is drawn by, or null.
const DevFamily* FamilyOfDepth(uint32_t bytesPerPixel);
// The displays a family of this many bytes per pixel is tested on.
std::vector<Display> DisplaysFor(uint32_t bytesPerPixel);
std::string DisplayName(const Display& d);
// Test output names a family by its name.
inline void PrintTo(const ServiceFamily& f, std::ostream* os) { *os << f.name; }

}  // namespace svcref
