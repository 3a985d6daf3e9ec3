// Test-only exports of the rendering stand-in (not part of the library's
// real interface). The geometry stand-in draws through them.
#pragma once
#include <windows.h>
#include <stdint.h>

extern "C" {

// A projected vertex: client pixel position, 1/z of its camera depth, and
// texture coordinates.
struct StandinVertex {
    float x, y, invZ, u, v;
};

// Appends one line to the call trace (the file named by VISTARO_TRACE).
void WINAPI VnrStandinTrace(const char* line);

// The stand-in's own copy of a loaded texture (0x01BBGGRR, row 0 first),
// or null for an unknown or freed handle.
const uint32_t* WINAPI VnrStandinTexels(int texture, int* width, int* height);

// Fills a convex polygon into rc's back buffer, with rc's current texture
// (state 55) when textured, scaled by intensity (0 to 1).
int WINAPI VnrStandinDrawPolygon(int rc, int count, const StandinVertex* vertices, int textured,
                                 float intensity);
}
