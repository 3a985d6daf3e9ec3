// vxn32.dll, the rendering library: the functions the engine imports.
// Standard calling convention, exported by undecorated name. Handles are
// 32-bit integers, 0 meaning none.
#pragma once
#include <windows.h>

// VnrSetState ids.
enum VnrStateId {
    VNR_ENABLE = 1,         // value: VNR_FEATURE_ bits switched on
    VNR_DISABLE = 2,        // value: VNR_FEATURE_ bits switched off
    VNR_DEPTH_COMPARE = 7,  // value: VNR_DEPTH_
    VNR_LIGHT_MODE = 8,     // value: VNR_LIGHT_
    VNR_DRAW_COLOR = 50,    // value: 0x00BBGGRR
    VNR_CLEAR_COLOR = 51,   // value: 0x00BBGGRR
    VNR_TEXTURE = 55,       // value: the texture of the polygons that follow
    VNR_RECT_LEFT = 56,     // 56 to 59: the drawing rectangle in client pixels
    VNR_RECT_TOP = 57,
    VNR_RECT_RIGHT = 58,
    VNR_RECT_BOTTOM = 59,
};

// Features that VNR_ENABLE and VNR_DISABLE switch.
enum VnrFeature {
    VNR_FEATURE_DEPTH = 0x1,  // depth test
    VNR_FEATURE_TEXTURE = 0x2,
    VNR_FEATURE_LIGHTING = 0x4,
    VNR_FEATURE_DITHER = 0x8,
    VNR_FEATURE_RECT = 0x100,  // drawing only inside the drawing rectangle
    VNR_FEATURE_COLORKEY = 0x200,
    VNR_FEATURE_PERSPECTIVE = 0x2000,  // perspective-correct texture; affine without it
};

// Values of VNR_DEPTH_COMPARE and VNR_LIGHT_MODE.
enum { VNR_DEPTH_LESS_EQUAL = 1 };
enum { VNR_LIGHT_MR = 1, VNR_LIGHT_MM = 2, VNR_LIGHT_MS = 3 };

extern "C" {
// A render context drawing into dc's window; 0 on failure.
int WINAPI VnrCreateRC(HDC dc, int flags);
int WINAPI VnrDeleteRC(int rc);
// Drawing state: sets state id to value.
int WINAPI VnrSetState(int rc, int id, int value);
int WINAPI VnrClearBuffers(int rc, int buffers);
int WINAPI VnrSwapBuffers(int rc, int flags);
// A texture of width x height 32-bit texels (powers of two, at most 1024).
int WINAPI VnrNewTexture(int rc, int kind, int bits, int width, int height);
// Copies width x height texels 0x01BBGGRR, row 0 first, pitch bytes apart,
// into texture; the caller may free its buffer at once.
int WINAPI VnrLoadTexture(int rc, int kind, int bits, int level, int width, int height, unsigned short pitch,
                          int texture, int face, const void* texels);
int WINAPI VnrFreeTexture(int rc, int texture);
}
