// Module globals shared by the frame and the rasterizer families. They are
// per process: only the attach count and the platform id are system-wide.
#include "frame/globals.h"

extern "C" {
uint32_t g_directMode;
uint32_t g_dciOpen;
uint32_t g_dciWin95;
uint32_t g_frameBuffer;
uint32_t g_bytesPerPixel;
uint32_t g_bitsPerPixel;
uint32_t g_screenWidth;
uint32_t g_screenHeight;
uint32_t g_screenPitch;
uint32_t g_depthStep;
uint32_t g_dirtyShift = 4;
uint32_t g_repaintAll;
uint32_t g_paletteBase;
DevColorMasks g_colorMasks;
DevTexelShift16 g_texelShift16;
DevPixelCompose16 g_pixelCompose16;
DevByteMasks24 g_byteMasks24;
DevColorShift32 g_colorShift32;
DevDouble8 g_double8;
uint32_t g_lfbBase;
uint32_t g_lfbSize;
}
