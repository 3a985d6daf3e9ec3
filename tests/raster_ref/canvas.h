// A DevContext over a colour buffer of 1 to 4 bytes per pixel, a 16-bit
// depth buffer and DirtyMask A, each with guard space around it, filled
// with a repeatable noise so that any stray or missing write shows when two
// canvases are compared.
#pragma once

#include "frame/records.h"
#include "bpp16/trapezoid.h"

#include <stdint.h>
#include <string>
#include <vector>

struct CanvasShape {
    int width = 1040;
    int height = 40;
    uint32_t bytesPerPixel = 1;
    uint32_t align = 0;      // first pixel's address mod 4
    bool bottomUp = false;   // negative pitches
    int depthFill = -1;      // every depth value, or -1 for noise
};

class Canvas {
public:
    static constexpr int kGuard = 64;  // bytes before and after each buffer

    Canvas(const CanvasShape& shape, uint32_t seed);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Takes the buffer contents of a canvas of the same shape (guards
    // included); the context keeps pointing at this canvas's own buffers.
    void CopyFrom(const Canvas& other);
    // The same for the depth buffer and DirtyMask A of a canvas of the same
    // size in pixels and any colour format.
    void CopyDepthAndDirtyFrom(const Canvas& other);

    DevContext* ctx() { return &ctx_; }
    const CanvasShape& shape() const { return shape_; }
    int pitch() const { return ctx_.back.pitch; }
    uint8_t* PixelAddress(int x, int y);
    uint8_t& Pixel(int x, int y) { return *PixelAddress(x, y); }
    // The pixel's bytes as a little-endian number.
    uint32_t PixelValue(int x, int y);
    void SetPixelValue(int x, int y, uint32_t value);
    uint16_t& Depth(int x, int y);
    uint32_t& Dirty(int y) { return dirty_[kDirtyGuard + y]; }

    // Empty when equal, else where the first difference lies.
    std::string Diff(const Canvas& other) const;
    std::string DiffDepthAndDirty(const Canvas& other) const;

private:
    static constexpr int kDirtyGuard = 4;
    CanvasShape shape_;
    DevContext ctx_;
    size_t colorStart_ = 0;  // offset of the top memory row in color_
    size_t depthStart_ = 0;
    std::vector<uint8_t> color_;
    std::vector<uint8_t> depth_;
    std::vector<uint32_t> dirty_;
};

// A repeatable noise (test inputs only).
struct Noise {
    uint32_t s;
    uint32_t Next() {
        s = s * 1664525u + 1013904223u;
        return s >> 8;
    }
};

// A 16.16 value from a real number (test inputs only).
uint32_t Fx(double v);

// Runs a trapezoid routine over the one span [x0, x1) of row y, with every
// value still (no gradients) and u = v = 0; returns what the routine did.
uint32_t DrawSpan(DevTrapezoidsProc proc, Canvas& c, int y, int x0, int x1, uint32_t ch0 = 0,
                  uint32_t ch1 = 0, uint32_t ch2 = 0);
