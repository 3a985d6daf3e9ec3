// The display formats the rasterizers are checked on, described as a device
// describes itself (bytes per pixel, component masks and maxima), and how
// one becomes the driver's pixel-format tables.
#pragma once

#include "frame/globals.h"

#include <stdint.h>

struct RefFormat {
    const char* name;
    uint32_t bytesPerPixel;  // 1, 2, 3 or 4
    uint32_t redMask, greenMask, blueMask;
    uint32_t redMax, greenMax, blueMax;
};

extern const RefFormat kFormat8;         // palette indices
extern const RefFormat kFormat565;       // red 0xf800, green 0x7e0, blue 0x1f
extern const RefFormat kFormat555;       // red 0x7c00, green 0x3e0, blue 0x1f
extern const RefFormat kFormat24Bgr;     // red 0xff0000: blue, green, red in memory
extern const RefFormat kFormat24Rgb;     // red 0xff: red, green, blue in memory
extern const RefFormat kFormat32Shift16; // red at bit 16, green 8, blue 0
extern const RefFormat kFormat32Shift0;  // red at bit 0, green 8, blue 16

// The device description the frame is initialised from.
DeviceInfo RefDeviceInfo(const RefFormat& f);

// Fills g_bytesPerPixel, g_bitsPerPixel and the pixel-format tables
// (g_colorMasks, g_pixelCompose16, g_texelShift16, g_byteMasks24,
// g_colorShift32) the way the frame fills them for this device.
void RefApplyFormat(const RefFormat& f);

// Lowest set bit of a mask, and the number of set bits from there up.
uint32_t RefLowBit(uint32_t mask);
uint32_t RefFieldWidth(uint32_t mask);
