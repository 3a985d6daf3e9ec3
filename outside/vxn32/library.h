// The rendering library's side of the driver interface: the driver module
// it loads, the context record it owns for each window, its base procedure
// table, and the trapezoid set-up that turns projected polygons into the
// driver's edge chains. vxn32.dll is built on it, and so is the test harness
// that plays the library for the driver tests.
#pragma once

#include "frame/records.h"
#include "bpp16/trapezoid.h"
#include "pixelformat.h"

#include <windows.h>
#include <string>
#include <vector>

namespace vxnlib {

// ---- the driver module ----

struct DriverExports {
    DevInitializeExport initialize = nullptr;
    DevTerminateExport terminate = nullptr;
    DevBufferCreateExport bufferCreate = nullptr;
    DevBufferResizeExport bufferResize = nullptr;
    DevBufferDeleteExport bufferDelete = nullptr;
    DevBufferNotifyExport bufferNotify = nullptr;
    DevContextCreateExport contextCreate = nullptr;
    DevContextDeleteExport contextDelete = nullptr;
    DevContextSwitchExport contextSwitch = nullptr;
    DevContextValidateExport contextValidate = nullptr;
    bool complete() const;
};

// The ten exports of a loaded module, by name (null where one is missing).
DriverExports ExportsOf(HMODULE module);

// The program's folder with a trailing backslash.
std::string ProgramFolder();

// ---- records ----

// A display's description as the driver expects it: size, depth, masks and
// component ranges (8-bit displays have no masks; the palette cube starts at
// paletteBase).
DeviceInfo DeviceFor(uint16_t width, uint16_t height, uint16_t bitsPerPixel, uint32_t red, uint32_t green,
                     uint32_t blue, uint16_t paletteBase = 0);
// The screen's description, read from the screen device context.
DeviceInfo DisplayDevice();

// The library's context record: the driver's 624 bytes first, then the
// clip lists and what the library's own routines need.
struct LibContext {
    DevContext dev;
    DevRect16 clips[DEV_MAX_CLIP_RECTS];
    DevRect16 clipsCopy[DEV_MAX_CLIP_RECTS];
    PixelFormat format;       // of the back buffer
    uint16_t* depthMemory;    // the depth buffer the library supplies on the GDI path
    uint8_t translate8[256];  // 8-bit direct path: cube index to display entry
    uint16_t translate16[65536];
};

inline LibContext* Lib(DevContext* c) { return reinterpret_cast<LibContext*>(c); }

// A zero-filled context record with its clip lists, drawing into the back
// buffer, with the library's base table.
LibContext* NewContext();
void FreeContext(LibContext* c);

// ---- the base procedure table ----

// Routines for every state and 8-, 16-, 24- and 32-bit back buffers that
// draw what the driver's routine of the same state draws.
DevProcTable* BaseTable();

// The base trapezoid routine for a record of any layout, drawing in format
// f (the table's slot 16 takes f from the library's own record).
uint32_t BaseTrapezoidsWith(const PixelFormat& f, DevContext* ctx, DevTrapEdge* left, DevTrapEdge* right,
                            DevTrapGradients* grad);

// The routine of slot that a frame calls: the driver's, else the base one.
inline DevProc SlotOf(DevContext* c, int slot) {
    DevProc p = c->procs ? c->procs->slot[slot] : nullptr;
    return p ? p : BaseTable()->slot[slot];
}

// ---- trapezoid set-up ----

// A projected vertex: pixel position, depth (0 near .. 1 far), 1/w, the
// texture coordinates (0..1 across the texture) times 1/w, and the light
// intensity (0..1): all linear across the screen.
struct ScreenVertex {
    float x, y, depth, invW, uw, vw, light;
};

// What one polygon is drawn with.
struct SetupState {
    bool textured, perspective, lit, smooth;
    uint32_t textureWidth, textureHeight;  // texels per row, rows
    uint32_t lightMode;                    // DEV_LIGHT_*
    int clip[4];                           // x0, y0, x1, y1 of the drawing area (x1, y1 exclusive)
};

// Cuts a convex polygon into cells, each one call of slot 16 with its left
// and right chains and gradients. Calls draw(left, right, gradients) per cell.
template <class Draw>
void SetupPolygon(const SetupState& s, const ScreenVertex* v, int n, Draw draw);

// One cell's trapezoid records, for SetupPolygon's caller.
struct Trapezoid {
    DevTrapEdge left[20];
    DevTrapEdge right[20];
    DevTrapGradients grad;
};

// Fills t for the part of polygon v (n vertices, already inside the cell);
// false when it covers no pixel row.
bool BuildTrapezoid(const SetupState& s, const ScreenVertex* v, int n, Trapezoid* t);

// Clips polygon in (n vertices) to x0 <= x < x1, y0 <= y < y1 into out
// (room for n + 4); returns the vertex count.
int ClipPolygon(const ScreenVertex* in, int n, float x0, float y0, float x1, float y1, ScreenVertex* out);

enum { kCell = 128, kMaxPolygon = 24 };

template <class Draw>
void SetupPolygon(const SetupState& s, const ScreenVertex* v, int n, Draw draw) {
    if (n < 3 || n > kMaxPolygon - 8) return;
    float minX = v[0].x, maxX = v[0].x, minY = v[0].y, maxY = v[0].y;
    for (int i = 1; i < n; ++i) {
        if (v[i].x < minX) minX = v[i].x;
        if (v[i].x > maxX) maxX = v[i].x;
        if (v[i].y < minY) minY = v[i].y;
        if (v[i].y > maxY) maxY = v[i].y;
    }
    int cx0 = s.clip[0], cy0 = s.clip[1];
    int gx0 = minX < cx0 ? cx0 : cx0 + (static_cast<int>(minX) - cx0) / kCell * kCell;
    int gy0 = minY < cy0 ? cy0 : cy0 + (static_cast<int>(minY) - cy0) / kCell * kCell;
    Trapezoid t;
    for (int y = gy0; y < s.clip[3] && y <= maxY; y += kCell) {
        int y1 = y + kCell < s.clip[3] ? y + kCell : s.clip[3];
        for (int x = gx0; x < s.clip[2] && x <= maxX; x += kCell) {
            int x1 = x + kCell < s.clip[2] ? x + kCell : s.clip[2];
            ScreenVertex cell[kMaxPolygon];
            int m = ClipPolygon(v, n, static_cast<float>(x), static_cast<float>(y), static_cast<float>(x1),
                                static_cast<float>(y1), cell);
            if (m >= 3 && BuildTrapezoid(s, cell, m, &t)) draw(t.left, t.right, &t.grad);
        }
    }
}

}  // namespace vxnlib
