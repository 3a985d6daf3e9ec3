#include "canvas.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

namespace {

template <class T>
size_t FirstDiffAt(const std::vector<T>& a, const std::vector<T>& b) {
    if (a.size() == b.size() && memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0) return a.size();
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return i;
    return a.size();
}

// Where element i of a buffer lies: in a guard, or at a row and column.
std::string Place(size_t i, size_t start, size_t rowBytes, int rows, bool bottomUp, uint32_t unit) {
    char text[96];
    if (i < start || i >= start + rowBytes * rows) {
        snprintf(text, sizeof text, "guard byte %d", static_cast<int>(i) - static_cast<int>(start));
        return text;
    }
    const size_t memRow = (i - start) / rowBytes;
    const int row = bottomUp ? rows - 1 - static_cast<int>(memRow) : static_cast<int>(memRow);
    const size_t col = (i - start) % rowBytes;
    snprintf(text, sizeof text, "row %d, pixel %u byte %u", row, static_cast<unsigned>(col / unit),
             static_cast<unsigned>(col % unit));
    return text;
}

}  // namespace

uint32_t Fx(double v) { return static_cast<uint32_t>(static_cast<int32_t>(llround(v * 65536.0))); }

uint32_t DrawSpan(DevTrapezoidsProc proc, Canvas& c, int y, int x0, int x1, uint32_t ch0, uint32_t ch1,
                  uint32_t ch2) {
    DevTrapEdge left, right;
    memset(&left, 0, sizeof left);
    memset(&right, 0, sizeof right);
    left.x = static_cast<uint32_t>(x0) << 16;
    left.y = static_cast<uint32_t>(y) << 16;
    left.rowCount = right.rowCount = 1;
    left.ch0 = ch0;
    left.ch1 = ch1;
    left.ch2 = ch2;
    right.x = static_cast<uint32_t>(x1) << 16;
    DevTrapGradients g;
    memset(&g, 0, sizeof g);
    return proc(c.ctx(), &left, &right, &g);
}

Canvas::Canvas(const CanvasShape& shape, uint32_t seed) : shape_(shape) {
    memset(&ctx_, 0, sizeof ctx_);
    Noise noise{seed};
    const int bpp = static_cast<int>(shape.bytesPerPixel);
    const int pitch = shape.width * bpp + 5;  // odd: rows start at every alignment
    const int depthPitch = 2 * (shape.width + 3);

    color_.resize(2 * kGuard + 4 + static_cast<size_t>(pitch) * shape.height);
    for (size_t i = 0; i < color_.size(); i += 3) {
        const uint32_t r = noise.Next();
        for (size_t j = 0; j < 3 && i + j < color_.size(); ++j) color_[i + j] = static_cast<uint8_t>(r >> (8 * j));
    }
    depth_.resize(2 * kGuard + static_cast<size_t>(depthPitch) * shape.height);
    for (size_t i = 0; i + 1 < depth_.size(); i += 2) {
        uint32_t d = shape.depthFill >= 0 ? static_cast<uint32_t>(shape.depthFill) : noise.Next();
        depth_[i] = static_cast<uint8_t>(d);
        depth_[i + 1] = static_cast<uint8_t>(d >> 8);
    }
    dirty_.resize(2 * kDirtyGuard + shape.height);
    for (auto& w : dirty_) w = noise.Next() & noise.Next() & noise.Next();

    // Start at the wanted alignment (vector storage is at least 8-aligned).
    colorStart_ = kGuard;
    while (reinterpret_cast<uintptr_t>(color_.data() + colorStart_) % 4 != shape.align) ++colorStart_;
    depthStart_ = kGuard;
    uint8_t* row0 = color_.data() + colorStart_;
    uint8_t* depthRow0 = depth_.data() + depthStart_;
    if (shape.bottomUp) {
        row0 += static_cast<size_t>(pitch) * (shape.height - 1);
        depthRow0 += static_cast<size_t>(depthPitch) * (shape.height - 1);
    }
    ctx_.back.bits = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(row0));
    ctx_.back.width = static_cast<uint16_t>(shape.width);
    ctx_.back.height = static_cast<uint16_t>(shape.height);
    ctx_.back.bitsPerPixel = static_cast<uint16_t>(bpp == 2 ? 16 : 8 * bpp);
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

void Canvas::CopyFrom(const Canvas& other) {
    memcpy(color_.data(), other.color_.data(), color_.size());
    memcpy(depth_.data(), other.depth_.data(), depth_.size());
    memcpy(dirty_.data(), other.dirty_.data(), dirty_.size() * sizeof(uint32_t));
}

void Canvas::CopyDepthAndDirtyFrom(const Canvas& other) {
    memcpy(depth_.data(), other.depth_.data(), depth_.size());
    memcpy(dirty_.data(), other.dirty_.data(), dirty_.size() * sizeof(uint32_t));
}

uint8_t* Canvas::PixelAddress(int x, int y) {
    return DevBufferBits(&ctx_.back) + y * ctx_.back.pitch + x * static_cast<int>(shape_.bytesPerPixel);
}

uint32_t Canvas::PixelValue(int x, int y) {
    const uint8_t* p = PixelAddress(x, y);
    uint32_t v = 0;
    for (uint32_t i = 0; i < shape_.bytesPerPixel; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
    return v;
}

void Canvas::SetPixelValue(int x, int y, uint32_t value) {
    uint8_t* p = PixelAddress(x, y);
    for (uint32_t i = 0; i < shape_.bytesPerPixel; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint16_t& Canvas::Depth(int x, int y) {
    uint8_t* row = DevBufferBits(&ctx_.depth) + y * ctx_.depth.pitch;
    return reinterpret_cast<uint16_t*>(row)[x];
}

std::string Canvas::Diff(const Canvas& other) const {
    char text[200];
    const int pitch = ctx_.back.pitch < 0 ? -ctx_.back.pitch : ctx_.back.pitch;
    const size_t i = FirstDiffAt(color_, other.color_);
    if (i < color_.size()) {
        snprintf(text, sizeof text, "colour differs at %s: %#x vs %#x",
                 Place(i, colorStart_, pitch, shape_.height, shape_.bottomUp, shape_.bytesPerPixel).c_str(),
                 color_[i], other.color_[i]);
        return text;
    }
    return DiffDepthAndDirty(other);
}

std::string Canvas::DiffDepthAndDirty(const Canvas& other) const {
    char text[200];
    const int depthPitch = ctx_.depth.pitch < 0 ? -ctx_.depth.pitch : ctx_.depth.pitch;
    size_t i = FirstDiffAt(depth_, other.depth_);
    if (i < depth_.size()) {
        snprintf(text, sizeof text, "depth differs at %s: %#x vs %#x",
                 Place(i, depthStart_, depthPitch, shape_.height, shape_.bottomUp, 2).c_str(), depth_[i],
                 other.depth_[i]);
        return text;
    }
    i = FirstDiffAt(dirty_, other.dirty_);
    if (i < dirty_.size()) {
        snprintf(text, sizeof text, "DirtyMask A differs at word %d: %#x vs %#x", static_cast<int>(i) - kDirtyGuard,
                 dirty_[i], other.dirty_[i]);
        return text;
    }
    return "";
}
