// A DevContext over an 8-bit back buffer, a depth buffer and DirtyMask A,
// each with guard space around it, filled with a repeatable noise so that
// any stray or missing write shows when two canvases are compared.
#pragma once

#include "frame/driver.h"
#include "bpp16/trapezoid.h"

#include <stdint.h>
#include <string>
#include <vector>

struct CanvasShape {
    int width = 1040;
    int height = 40;
    uint32_t align = 0;      // first pixel's address mod 4
    bool bottomUp = false;   // negative pitches
    int depthFill = -1;      // every depth value, or -1 for noise
};

class Canvas {
public:
    static constexpr int kGuard = 64;  // bytes before and after each buffer

    explicit Canvas(const CanvasShape& shape, uint32_t seed);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    DevContext* ctx() { return &ctx_; }
    int pitch() const { return ctx_.back.pitch; }
    uint8_t& Pixel(int x, int y);
    uint16_t& Depth(int x, int y);
    uint32_t& Dirty(int y) { return dirty_[kDirtyGuard + y]; }

    // Empty when equal, else where the first difference lies.
    std::string Diff(const Canvas& other) const;

private:
    static constexpr int kDirtyGuard = 4;
    DevContext ctx_;
    std::vector<uint8_t> color_;
    std::vector<uint8_t> depth_;
    std::vector<uint32_t> dirty_;
};

// A 16.16 value from a real number (test inputs only).
uint32_t Fx(double v);
