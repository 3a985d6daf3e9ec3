// The display's colour masks as the stand-ins report them: a 16-bit
// display's come from a compatible bitmap (5-5-5 when it names none),
// deeper displays are red-green-blue from the top byte down.
#pragma once

#include <windows.h>
#include <string.h>

inline void ScreenColorMasks(HDC screen, int bits, DWORD masks[3]) {
    masks[0] = masks[1] = masks[2] = 0;
    if (bits == 16) {
        struct {
            BITMAPINFOHEADER h;
            DWORD m[3];
        } bi = {};
        bi.h.biSize = sizeof bi.h;
        HBITMAP b = CreateCompatibleBitmap(screen, 1, 1);
        // The first call fills the header, the second the masks.
        GetDIBits(screen, b, 0, 1, nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
        GetDIBits(screen, b, 0, 1, nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
        DeleteObject(b);
        if (bi.h.biCompression == BI_BITFIELDS)
            memcpy(masks, bi.m, 3 * sizeof(DWORD));
        else
            masks[0] = 0x7c00, masks[1] = 0x3e0, masks[2] = 0x1f;
    } else if (bits > 16) {
        masks[0] = 0xff0000, masks[1] = 0xff00, masks[2] = 0xff;
    }
}
