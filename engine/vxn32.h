// vxn32.dll, the rendering library: the functions the engine imports.
// Standard calling convention, exported by undecorated name. Handles are
// 32-bit integers, 0 meaning none.
#pragma once
#include <windows.h>

extern "C" {
// A render context drawing into dc's window; 0 on failure.
int WINAPI VnrCreateRC(HDC dc, int flags);
int WINAPI VnrDeleteRC(int rc);
// Drawing state: id 55 names the texture of the polygons that follow;
// 56, 57, 58, 59 the drawing rectangle's left, top, right and bottom.
int WINAPI VnrSetState(int rc, int id, int value);
int WINAPI VnrClearBuffers(int rc, int buffers);
int WINAPI VnrSwapBuffers(int rc, int flags);
// A texture of width x height 32-bit texels (powers of two, at most 1024).
int WINAPI VnrNewTexture(int rc, int kind, int bits, int width, int height);
// Copies width x height texels 0x01BBGGRR, row 0 first, pitch bytes apart,
// into texture; the caller may free its buffer at once.
int WINAPI VnrLoadTexture(int rc, int kind, int bits, int level, int width, int height,
                          unsigned short pitch, int texture, int face, const void* texels);
int WINAPI VnrFreeTexture(int rc, int texture);
}
