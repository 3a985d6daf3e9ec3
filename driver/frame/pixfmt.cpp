// Pixel-format tables of the 16/24/32-bit families and the 8-bit zoom-2
// doubling tables.
#include "frame/services.h"

namespace {
// Lowest set bit L, and the top bit H of the run of set bits starting at L.
// A zero mask counts as bit 0 for both, so the search always ends.
struct MaskBits {
    uint32_t low, high;
};

MaskBits Bits(uint32_t m) {
    MaskBits r = {0, 0};
    if (!m) return r;
    while (!(m & (1u << r.low))) ++r.low;
    r.high = r.low;
    while (r.high < 31 && (m & (1u << (r.high + 1)))) ++r.high;
    return r;
}

// Consecutive set bits of the range word's low byte, from bit 0.
uint32_t RangeBits(uint32_t range) {
    uint32_t n = 0;
    while (n < 8 && (range & (1u << n))) ++n;
    return n;
}

void Compose(uint32_t mask, uint32_t range, uint32_t* outMask, uint32_t* outShift) {
    uint32_t n = RangeBits(range);
    uint32_t low = Bits(mask & 0xffffff).low;
    *outMask = n ? (((1u << n) - 1) << (24 - n)) : 0;
    *outShift = 24 - n - low;
}

void DoubleTables() {
    for (uint32_t i = 0; i < 256; ++i) g_double8.single[i] = static_cast<uint16_t>(i * 0x0101);
    for (uint32_t i = 0; i < 65536; ++i) {
        uint32_t p0 = i & 0xff, p1 = i >> 8;
        g_double8.pair[i] = p0 | p0 << 8 | p1 << 16 | p1 << 24;
    }
}
}  // namespace

extern "C" {

uint32_t PixelFormatTables(const DeviceInfo* info) {
    g_colorMasks.red = info->redMask;
    g_colorMasks.green = info->greenMask;
    g_colorMasks.blue = info->blueMask;

    const uint32_t masks[3] = {info->redMask, info->greenMask, info->blueMask};
    MaskBits b[3];
    for (int k = 0; k < 3; ++k) b[k] = Bits(masks[k]);

    switch (info->bitsPerPixel) {
    case 4:
        g_texelShift16 = {0, 0, 0};
        g_colorShift32 = {1, 3, 5};
        break;
    case 16:
    case 24:
    case 32:
        g_texelShift16 = {24 - (b[0].high + 1), 24 - (b[1].high + 1), 24 - (b[2].high + 1)};
        g_colorShift32 = {static_cast<uint16_t>(b[0].low), static_cast<uint16_t>(b[1].low),
                          static_cast<uint16_t>(b[2].low)};
        break;
    default:  // 8 and anything else
        g_texelShift16 = {0, 0, 0};
        g_colorShift32 = {5, 2, 0};
        break;
    }

    if (info->bitsPerPixel == 24) {
        for (uint32_t k = 0; k < 3; ++k) {
            uint32_t low = b[k].low;
            if (!masks[k] || (low != 0 && low != 8 && low != 16)) continue;
            g_byteMasks24.mask[low / 8] = 0xffu << (8 * k);
            g_byteMasks24.shift[low / 8] = 8 * k;
        }
    }
    return 1;
}

void DirectPixelFormatInit(const DeviceInfo* info) {
    if (!g_dciOpen) LfbMap();
    if (g_bytesPerPixel > 1) {
        Compose(info->redMask, info->redMax, &g_pixelCompose16.redMask, &g_pixelCompose16.redShift);
        Compose(info->greenMask, info->greenMax, &g_pixelCompose16.greenMask, &g_pixelCompose16.greenShift);
        Compose(info->blueMask, info->blueMax, &g_pixelCompose16.blueMask, &g_pixelCompose16.blueShift);
    }
    PixelFormatTables(info);
    DoubleTables();
}

}  // extern "C"
