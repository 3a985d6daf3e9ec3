// The driver module's exports, device descriptions and the library's
// context records.
#include "library.h"
#include "screenmasks.h"

#include <stdlib.h>
#include <string.h>
#include <new>

namespace vxnlib {

bool DriverExports::complete() const {
    return initialize && terminate && bufferCreate && bufferResize && bufferDelete && bufferNotify && contextCreate &&
           contextDelete && contextSwitch && contextValidate;
}

DriverExports ExportsOf(HMODULE m) {
    DriverExports e;
    if (!m) return e;
    e.initialize = reinterpret_cast<decltype(e.initialize)>(GetProcAddress(m, "DevInitialize"));
    e.terminate = reinterpret_cast<decltype(e.terminate)>(GetProcAddress(m, "DevTerminate"));
    e.bufferCreate = reinterpret_cast<decltype(e.bufferCreate)>(GetProcAddress(m, "DevBufferCreate"));
    e.bufferResize = reinterpret_cast<decltype(e.bufferResize)>(GetProcAddress(m, "DevBufferResize"));
    e.bufferDelete = reinterpret_cast<decltype(e.bufferDelete)>(GetProcAddress(m, "DevBufferDelete"));
    e.bufferNotify = reinterpret_cast<decltype(e.bufferNotify)>(GetProcAddress(m, "DevBufferNotify"));
    e.contextCreate = reinterpret_cast<decltype(e.contextCreate)>(GetProcAddress(m, "DevContextCreate"));
    e.contextDelete = reinterpret_cast<decltype(e.contextDelete)>(GetProcAddress(m, "DevContextDelete"));
    e.contextSwitch = reinterpret_cast<decltype(e.contextSwitch)>(GetProcAddress(m, "DevContextSwitch"));
    e.contextValidate = reinterpret_cast<decltype(e.contextValidate)>(GetProcAddress(m, "DevContextValidate"));
    return e;
}

std::string ProgramFolder() {
    char buf[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    std::string s(buf, n);
    return s.substr(0, s.find_last_of("\\/") + 1);
}

DeviceInfo DeviceFor(uint16_t width, uint16_t height, uint16_t bitsPerPixel, uint32_t red, uint32_t green,
                     uint32_t blue, uint16_t paletteBase) {
    DeviceInfo d;
    memset(&d, 0, sizeof d);
    d.width = width;
    d.height = height;
    d.bitsPerPixel = bitsPerPixel;
    d.bytesPerPixel = static_cast<uint16_t>((bitsPerPixel + 7) / 8);
    d.paletteBase = paletteBase;
    d.redMask = red;
    d.greenMask = green;
    d.blueMask = blue;
    d.redMax = red >> LowestBit(red);
    d.greenMax = green >> LowestBit(green);
    d.blueMax = blue >> LowestBit(blue);
    return d;
}

DeviceInfo DisplayDevice() {
    HDC screen = GetDC(nullptr);
    const int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    const int width = GetDeviceCaps(screen, HORZRES), height = GetDeviceCaps(screen, VERTRES);
    // The masks of a compatible bitmap are the display's.
    DWORD masks[3];
    ScreenColorMasks(screen, bits, masks);
    ReleaseDC(nullptr, screen);
    return DeviceFor(static_cast<uint16_t>(width), static_cast<uint16_t>(height), static_cast<uint16_t>(bits), masks[0],
                     masks[1], masks[2], 0);
}

LibContext* NewContext() {
    void* p = _aligned_malloc(sizeof(LibContext), 16);
    if (!p) return nullptr;
    memset(p, 0, sizeof(LibContext));
    LibContext* c = static_cast<LibContext*>(p);
    new (&c->format) PixelFormat();
    c->dev.clipRects = c->clips;
    c->dev.clipRectsCopy = c->clipsCopy;
    c->dev.drawBuffer = &c->dev.back;
    c->dev.baseProcs = BaseTable();
    return c;
}

void FreeContext(LibContext* c) {
    if (!c) return;
    delete[] c->depthMemory;
    _aligned_free(c);
}

}  // namespace vxnlib
