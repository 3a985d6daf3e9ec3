// Two whole frames on a created direct-path context, for the driver's
// objects linked into a test and for the module loaded by a Windows 95
// child alike: buffers, width class, validation, set colour, clear,
// trapezoids of every kind the family draws and present through the
// installed slots. The trapezoid reference draws the same trapezoids into a
// reference back buffer and the service reference's present puts them on a
// reference screen; every byte of the stand-in's surface is checked
// against it, and the back buffer, depth buffer and masks after every
// trapezoid.
#pragma once

#include "dcistandin.h"
#include "harness.h"
#include "symbols.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace frames {

struct Format {
    const char* name;
    int bits;
    DWORD masks[3];
    std::vector<uint8_t> clear;  // device pixel of the clear colour 0x336699, memory order
    std::vector<uint8_t> fill;   // of the flat colour 0xffffff
    bool zoom = false;
    bool translate = false;
};

extern const Format k8, k565, k555, k24, k24rgb, k32, k32rgb;
Format Zoomed(Format f, const char* name);
Format Translated8();
// Every format above, with zoom 2 and translation where they apply.
std::vector<Format> AllFormats();
std::string FormatName(const ::testing::TestParamInfo<Format>& i);

// The surface, and the window on it in screen pixels.
struct Geometry {
    int screenW = 1000, screenH = 700;
    int winX = 100, winY = 50, winW = 300, winH = 200;
};

DciStandInConfig SurfaceFor(const Format& f, const Geometry& g);
DeviceInfo DeviceFor(const Format& f, const Geometry& g);

// From the buffer create to the second present; `window` is the real
// window whose client origin the clip list is relative to; `installed`
// names the routines of the code behind `dev`. After every validation
// slot 16 must hold the family's variant for the state (by name) and slots
// 19, 20, 21 the family's clear, present and set colour. The base table
// draws flat trapezoids where the family forwards them.
void TwoFrames(const drvtest::DriverExports& dev, drvtest::Context& context, drvtest::RecordingBase& base,
               const Format& f, const Geometry& g, HWND window, const ModuleSymbols& installed);

// This program's own routines by name (the family records it links).
const ModuleSymbols& ProgramSymbols();

// How many states a frame of this depth draws: every trapezoid kind of the
// family.
int StatesDrawn(int bits);
// The routine each of those states must be drawn by, in drawing order.
std::vector<std::string> RoutinesDrawn(int bits);

}  // namespace frames
