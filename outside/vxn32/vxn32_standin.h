// Test-only exports of the rendering stand-in (not part of the library's
// real interface). The geometry stand-in draws through them.
#pragma once
#include <windows.h>
#include <stdint.h>

extern "C" {

// A projected vertex: client pixel position, depth in the view volume
// (0 on the near plane, 1 on the far one), 1/z of its camera depth, and
// texture coordinates (0..1 across the texture).
struct StandinVertex {
    float x, y, depth, invZ, u, v;
};

// Appends one line to the call trace (the file named by VISTARO_TRACE).
void WINAPI VnrStandinTrace(const char* line);

// The stand-in's own copy of a loaded texture (0x01BBGGRR, row 0 first),
// or null for an unknown or freed handle.
const uint32_t* WINAPI VnrStandinTexels(int texture, int* width, int* height);

// Draws a convex polygon through the driver's trapezoid slot, with rc's
// current texture (state 55) when the state is textured, lit with
// intensity (0 to 1) when the state asks for light.
int WINAPI VnrStandinDrawPolygon(int rc, int count, const StandinVertex* vertices, int textured, float intensity);
// Seconds spent so far in each step of the frames: clearing (with the
// colours and the window check), the trapezoid set-up, the driver's
// trapezoid routines, and presenting.
struct StandinFrameTimes {
    double clear, setup, raster, present;
    int frames;
};
void WINAPI VnrStandinTimes(StandinFrameTimes* out, int reset);

// The driver context record behind rc (its buffers, dirty masks and
// procedure table), or null when rc draws through no driver.
struct DevContext* WINAPI VnrStandinDevContext(int rc);
}
