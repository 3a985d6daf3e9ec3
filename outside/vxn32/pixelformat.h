// The back buffer's pixel format as the rendering library sees it: bytes per
// pixel and the display's colour masks, with the tables each family derives
// from them, so the library's own routines form the same pixels as the
// driver's.
#pragma once

#include <stdint.h>

namespace vxnlib {

struct PixelFormat {
    uint32_t bytes = 4;                            // 1..4
    uint32_t masks[3] = {0xff0000, 0xff00, 0xff};  // red, green, blue
    uint32_t paletteBase = 0;                      // 8-bit colour cube's first entry
    // 16 bits: composition of 8.16 channels and of 15-bit colours.
    uint32_t composeMask[3] = {}, composeShift[3] = {};
    uint32_t texelShift[3] = {};
    // 24 bits: the component of each byte of a pixel, lowest address first.
    uint32_t byteMask[3] = {}, byteShift[3] = {};
    // 32 bits: the lowest bit of each component.
    uint32_t shift32[3] = {};

    void Init(uint32_t bytesPerPixel, uint32_t red, uint32_t green, uint32_t blue, uint32_t base);

    // The pixel of 8-bit levels r, g, b, as the display shows it (for tests
    // and the palette): packed into the low bytes per the masks.
    uint32_t FromRgb(uint32_t r, uint32_t g, uint32_t b) const;
};

// The colour of an 8-bit cube index (index minus the palette base).
void CubeColour(uint32_t index, uint8_t* r, uint8_t* g, uint8_t* b);

inline uint32_t LowestBit(uint32_t m) {
    uint32_t n = 0;
    if (!m) return 0;
    while (!(m & 1)) {
        m >>= 1;
        ++n;
    }
    return n;
}

inline uint32_t HighestBit(uint32_t m) {
    uint32_t n = 0;
    while (m >>= 1) ++n;
    return n;
}

}  // namespace vxnlib
