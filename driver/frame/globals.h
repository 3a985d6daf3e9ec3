// rastrel.vxn: the module globals that the frame fills and the rasterizer
// families read, and the pixel-format and zoom tables among them.
//
//   g_pixelCompose16: ch0/ch1/ch2 = red/green/blue; read the named fields,
//     never the word order (the two descriptions list the words differently).
//   g_byteMasks24: "mask and shift of byte k" = mask[k], shift[k].
#pragma once

#include "frame/records.h"

#ifdef __cplusplus
extern "C" {
#endif

// Pixel-format tables (filled by DirectPixelFormatInit).
struct DevColorMasks {
    uint32_t red, green, blue;
};
struct DevTexelShift16 {
    uint32_t red, green, blue;
};
struct DevColorShift32 {
    uint16_t red, green, blue;
};
// pixel = sum over channels of (value & mask) >> shift, values 8.16 fixed point.
struct DevPixelCompose16 {
    uint32_t greenShift, greenMask;
    uint32_t blueShift, blueMask;
    uint32_t redShift, redMask;
};
// Per byte position k of a 3-byte pixel (k = 0 at the lowest address).
struct DevByteMasks24 {
    uint32_t mask[3];
    uint32_t shift[3];
};
// Zoom-2 doubling: single[i] = i * 0x0101; pair[p0 | p1 << 8] = bytes p0 p0 p1 p1.
struct DevDouble8 {
    uint16_t single[256];
    uint32_t pair[65536];
};

extern uint32_t g_directMode;     // 1 direct path, 0 GDI path
extern uint32_t g_dciOpen;        // 1 while the DCI provider opened at init is open
extern uint32_t g_dciWin95;       // 1: presents bracket with DCI access and watch clips
extern uint32_t g_frameBuffer;    // linear address of the frame buffer, 0 none
extern uint32_t g_bytesPerPixel;  // 1..4, chooses the family
extern uint32_t g_bitsPerPixel;
extern uint32_t g_screenWidth;
extern uint32_t g_screenHeight;
extern uint32_t g_screenPitch;
extern uint32_t g_depthStep;    // 2
extern uint32_t g_dirtyShift;   // initial 4; readers use the low byte
extern uint32_t g_repaintAll;   // initial 0
extern uint32_t g_paletteBase;  // low byte used by the 8-bit family
extern DevColorMasks g_colorMasks;
extern DevTexelShift16 g_texelShift16;
extern DevPixelCompose16 g_pixelCompose16;
extern DevByteMasks24 g_byteMasks24;
extern DevColorShift32 g_colorShift32;
extern DevDouble8 g_double8;
extern uint32_t g_lfbBase;  // physical base from vxn.ini
extern uint32_t g_lfbSize;

#ifdef __cplusplus
}  // extern "C"
#endif

static_assert(sizeof(DevPixelCompose16) == 24, "");
static_assert(offsetof(DevPixelCompose16, greenShift) == 0, "");
static_assert(offsetof(DevPixelCompose16, greenMask) == 4, "");
static_assert(offsetof(DevPixelCompose16, blueShift) == 8, "");
static_assert(offsetof(DevPixelCompose16, blueMask) == 12, "");
static_assert(offsetof(DevPixelCompose16, redShift) == 16, "");
static_assert(offsetof(DevPixelCompose16, redMask) == 20, "");
static_assert(sizeof(DevByteMasks24) == 24, "");
static_assert(offsetof(DevByteMasks24, shift) == 12, "");
static_assert(sizeof(DevColorShift32) == 6, "");
static_assert(sizeof(DevDouble8) == 512 + 4 * 65536, "");
static_assert(offsetof(DevDouble8, pair) == 512, "");
