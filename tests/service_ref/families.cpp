#include "families.h"

#include <stdio.h>

namespace svcref {

namespace {
const ServiceFamily kFamilies[] = {
    {"bpp08", &g_bpp08Family, 1, kServices | kLines},
    {"bpp16", &g_bpp16Family, 2, kServices},
    {"bpp24", &g_bpp24Family, 3, kServices},
    {"bpp32", &g_bpp32Family, 4, kServices},
};
}  // namespace

std::vector<ServiceFamily> Families(uint32_t what)
{
    std::vector<ServiceFamily> out;
    for (const ServiceFamily& f : kFamilies)
        if ((f.has & what) == what) out.push_back(f);
    return out;
}

const DevFamily* FamilyOfDepth(uint32_t bytesPerPixel)
{
    for (const ServiceFamily& f : kFamilies)
        if (f.bytesPerPixel == bytesPerPixel) return f.family;
    return nullptr;
}

std::vector<Display> DisplaysFor(uint32_t bytesPerPixel)
{
    switch (bytesPerPixel) {
    case 1: return {Display8(10), Display8(0xf0)};
    case 2: return {Display565(), Display555()};
    case 3: return {Display24(true), Display24(false)};
    case 4: return {Display32(true), Display32(false)};
    }
    return {};
}

std::string DisplayName(const Display& d)
{
    char text[64];
    if (d.bytesPerPixel == 1)
        snprintf(text, sizeof text, "8-bit, palette base %u", d.paletteBase);
    else
        snprintf(text, sizeof text, "%u-bit, masks %x %x %x", 8 * d.bytesPerPixel, d.redMask, d.greenMask,
                 d.blueMask);
    return text;
}

}  // namespace svcref
