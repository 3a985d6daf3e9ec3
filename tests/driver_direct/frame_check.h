// Two whole frames on a created direct-path context, for the driver's
// objects linked into a test and for the module loaded by a Windows 95
// child alike: buffers, width class, validation, set colour, clear,
// trapezoids and present through the installed slots, every byte of the
// stand-in's surface checked.
#pragma once

#include "dcistandin.h"
#include "harness.h"

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

extern const Format k8, k565, k555, k24, k24rgb, k32;
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
// window whose client origin the clip list is relative to. The base
// table draws flat trapezoids where the family forwards them.
void TwoFrames(const drvtest::DriverExports& dev, drvtest::Context& context, drvtest::RecordingBase& base,
               const Format& f, const Geometry& g, HWND window);

}  // namespace frames
