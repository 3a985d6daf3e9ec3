#include "formats.h"

const RefFormat kFormat8 = {"8-bit", 1, 0, 0, 0, 0, 0, 0};
const RefFormat kFormat565 = {"5-6-5", 2, 0xf800, 0x07e0, 0x001f, 31, 63, 31};
const RefFormat kFormat555 = {"5-5-5", 2, 0x7c00, 0x03e0, 0x001f, 31, 31, 31};
const RefFormat kFormat24Bgr = {"24-bit red 0xff0000", 3, 0xff0000, 0x00ff00, 0x0000ff, 255, 255, 255};
const RefFormat kFormat24Rgb = {"24-bit red 0xff", 3, 0x0000ff, 0x00ff00, 0xff0000, 255, 255, 255};
const RefFormat kFormat32Shift16 = {"32-bit shifts 16/8/0", 4, 0xff0000, 0x00ff00, 0x0000ff, 255, 255, 255};
const RefFormat kFormat32Shift0 = {"32-bit shifts 0/8/16", 4, 0x0000ff, 0x00ff00, 0xff0000, 255, 255, 255};

uint32_t RefLowBit(uint32_t mask) {
    for (uint32_t b = 0; b < 32; ++b)
        if (mask & (1u << b)) return b;
    return 0;
}

uint32_t RefFieldWidth(uint32_t mask) {
    uint32_t n = 0;
    for (uint32_t b = RefLowBit(mask); b < 32 && (mask & (1u << b)); ++b) ++n;
    return n;
}

DeviceInfo RefDeviceInfo(const RefFormat& f) {
    DeviceInfo d = {};
    d.width = 640;
    d.height = 480;
    d.bytesPerPixel = static_cast<uint16_t>(f.bytesPerPixel);
    d.bitsPerPixel = static_cast<uint16_t>(f.bytesPerPixel == 2 ? 16 : 8 * f.bytesPerPixel);
    d.redMask = f.redMask;
    d.greenMask = f.greenMask;
    d.blueMask = f.blueMask;
    d.redMax = f.redMax;
    d.greenMax = f.greenMax;
    d.blueMax = f.blueMax;
    return d;
}

namespace {

// Ones counted from bit 0 of a component maximum: the bits of the channel.
uint32_t MaxBits(uint32_t max) {
    uint32_t n = 0;
    while (n < 8 && (max & (1u << n))) ++n;
    return n;
}

void Compose(uint32_t mask, uint32_t max, uint32_t* outMask, uint32_t* outShift) {
    const uint32_t n = MaxBits(max);
    *outMask = n ? ((1u << n) - 1) << (24 - n) : 0;  // top n bits of the 8-bit level
    *outShift = 24 - n - RefLowBit(mask);             // lowest kept bit onto the field's
}

}  // namespace

void RefApplyFormat(const RefFormat& f) {
    g_bytesPerPixel = f.bytesPerPixel;
    g_bitsPerPixel = f.bytesPerPixel == 2 ? 16 : 8 * f.bytesPerPixel;
    g_colorMasks = {f.redMask, f.greenMask, f.blueMask};
    if (f.bytesPerPixel == 1) {
        g_texelShift16 = {0, 0, 0};
        return;
    }
    Compose(f.redMask, f.redMax, &g_pixelCompose16.redMask, &g_pixelCompose16.redShift);
    Compose(f.greenMask, f.greenMax, &g_pixelCompose16.greenMask, &g_pixelCompose16.greenShift);
    Compose(f.blueMask, f.blueMax, &g_pixelCompose16.blueMask, &g_pixelCompose16.blueShift);
    const uint32_t masks[3] = {f.redMask, f.greenMask, f.blueMask};
    uint32_t top[3];
    for (int j = 0; j < 3; ++j) top[j] = RefLowBit(masks[j]) + RefFieldWidth(masks[j]);
    g_texelShift16 = {24 - top[0], 24 - top[1], 24 - top[2]};
    g_colorShift32 = {static_cast<uint16_t>(RefLowBit(f.redMask)), static_cast<uint16_t>(RefLowBit(f.greenMask)),
                      static_cast<uint16_t>(RefLowBit(f.blueMask))};
    if (f.bytesPerPixel == 3) {
        g_byteMasks24 = {};
        for (uint32_t j = 0; j < 3; ++j) {
            const uint32_t k = RefLowBit(masks[j]) / 8;
            g_byteMasks24.mask[k] = 0xffu << (8 * j);
            g_byteMasks24.shift[k] = 8 * j;
        }
    }
}
