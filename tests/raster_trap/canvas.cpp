#include "canvas.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

namespace {

struct Noise {
    uint32_t s;
    uint32_t Next() {
        s = s * 1664525u + 1013904223u;
        return s >> 8;
    }
};

template <class T>
std::string FirstDiff(const char* what, const std::vector<T>& a, const std::vector<T>& b) {
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) {
            char text[128];
            snprintf(text, sizeof text, "%s differs at element %u: %u vs %u", what,
                     static_cast<unsigned>(i), static_cast<unsigned>(a[i]), static_cast<unsigned>(b[i]));
            return text;
        }
    }
    return "";
}

}  // namespace

uint32_t Fx(double v) { return static_cast<uint32_t>(static_cast<int32_t>(llround(v * 65536.0))); }

Canvas::Canvas(const CanvasShape& shape, uint32_t seed) {
    memset(&ctx_, 0, sizeof ctx_);
    Noise noise{seed};
    const int pitch = shape.width + 5;  // odd: rows start at every alignment
    const int depthPitch = 2 * (shape.width + 3);

    color_.resize(2 * kGuard + 4 + static_cast<size_t>(pitch) * shape.height);
    for (auto& b : color_) b = static_cast<uint8_t>(noise.Next());
    depth_.resize(2 * kGuard + static_cast<size_t>(depthPitch) * shape.height);
    for (size_t i = 0; i + 1 < depth_.size(); i += 2) {
        uint32_t d = shape.depthFill >= 0 ? static_cast<uint32_t>(shape.depthFill) : noise.Next();
        depth_[i] = static_cast<uint8_t>(d);
        depth_[i + 1] = static_cast<uint8_t>(d >> 8);
    }
    dirty_.resize(2 * kDirtyGuard + shape.height);
    for (auto& w : dirty_) w = noise.Next() & noise.Next() & noise.Next();

    // Start at the wanted alignment (vector storage is at least 8-aligned).
    uint8_t* colorStart = color_.data() + kGuard;
    while (reinterpret_cast<uintptr_t>(colorStart) % 4 != shape.align) ++colorStart;
    uint8_t* depthStart = depth_.data() + kGuard;
    uint8_t* row0 = colorStart;
    uint8_t* depthRow0 = depthStart;
    if (shape.bottomUp) {
        row0 += static_cast<size_t>(pitch) * (shape.height - 1);
        depthRow0 += static_cast<size_t>(depthPitch) * (shape.height - 1);
    }
    ctx_.back.bits = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(row0));
    ctx_.back.width = static_cast<uint16_t>(shape.width);
    ctx_.back.height = static_cast<uint16_t>(shape.height);
    ctx_.back.bitsPerPixel = 8;
    ctx_.back.pitch = static_cast<int16_t>(shape.bottomUp ? -pitch : pitch);
    ctx_.depth.bits = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(depthRow0));
    ctx_.depth.width = static_cast<uint16_t>(shape.width);
    ctx_.depth.height = static_cast<uint16_t>(shape.height);
    ctx_.depth.bitsPerPixel = 16;
    ctx_.depth.pitch = static_cast<int16_t>(shape.bottomUp ? -depthPitch : depthPitch);
    ctx_.drawBuffer = &ctx_.back;
    ctx_.dirtyRows = static_cast<uint32_t>(shape.height);
    ctx_.dirtyA = dirty_.data() + kDirtyGuard;
}

uint8_t& Canvas::Pixel(int x, int y) {
    return reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(ctx_.back.bits))[y * ctx_.back.pitch + x];
}

uint16_t& Canvas::Depth(int x, int y) {
    uint8_t* row = reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(ctx_.depth.bits)) + y * ctx_.depth.pitch;
    return reinterpret_cast<uint16_t*>(row)[x];
}

std::string Canvas::Diff(const Canvas& other) const {
    std::string d = FirstDiff("colour byte", color_, other.color_);
    if (d.empty()) d = FirstDiff("depth byte", depth_, other.depth_);
    if (d.empty()) d = FirstDiff("dirty word", dirty_, other.dirty_);
    return d;
}
