// The fixture of the service-routine tests: a DevContext with its
// DriverBlock, back buffer, depth buffer, DirtyMask A and B, a screen
// surface standing for the frame buffer, the two clip-rectangle arrays and a
// recording base procedure table, for any bytes per pixel and zoom 1 or 2.
// Every block has guard bytes around it and starts from a repeatable noise,
// so two canvases made from the same shape and seed are equal byte for byte
// and any stray or missing write shows when they are compared.
#pragma once

#include "frame/globals.h"
#include "bpp16/trapezoid.h"

#include <stdint.h>
#include <string>
#include <vector>

namespace svcref {

// Repeatable noise (xorshift32).
class Noise {
public:
    explicit Noise(uint32_t seed) : s_(seed ? seed : 0x9e3779b9u) {}
    uint32_t Next() {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 17;
        s_ ^= s_ << 5;
        return s_;
    }
    uint32_t Below(uint32_t n) { return n ? Next() % n : 0; }
    void Fill(void* p, size_t bytes);
private:
    uint32_t s_;
};

// A block of memory with guard bytes before and after it. The first byte
// lies `align` bytes past a 64-byte boundary.
class Guarded {
public:
    static constexpr size_t kGuard = 64;
    Guarded() = default;
    Guarded(size_t bytes, uint32_t align, uint32_t seed);
    uint8_t* data() { return data_; }
    const uint8_t* data() const { return data_; }
    size_t size() const { return size_; }
    // Empty when both guards still hold their pattern, else what changed.
    std::string GuardDamage(const char* name) const;
private:
    std::vector<uint8_t> raw_;
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
    uint32_t seed_ = 0;
};

// The display the canvas stands for: bytes per pixel, colour masks and
// component ranges, palette base, the screen surface's geometry.
struct Display {
    uint32_t bytesPerPixel = 1;
    uint32_t redMask = 0, greenMask = 0, blueMask = 0;
    uint32_t redMax = 0, greenMax = 0, blueMax = 0;
    uint8_t paletteBase = 10;
};
Display Display8(uint8_t paletteBase = 10);
Display Display565();
Display Display555();
Display Display24(bool redHigh);   // redHigh: red 0xff0000 (bytes blue, green, red)
Display Display32(bool redHigh);   // redHigh: shifts 16, 8, 0; else 0, 8, 16
// DeviceInfo of the display (for the frame's pixel-format tables).
DeviceInfo DeviceOf(const Display& d);

struct CanvasSpec {
    Display display;
    uint16_t width = 100, height = 12;   // window size
    int16_t winX = 5, winY = 3;          // window position on the screen
    bool zoom2 = false;
    bool bottomUp = false;               // back and depth buffers with negative pitches
    uint32_t backAlign = 0;              // back buffer's first byte past a 64-byte boundary
    uint32_t dirtyShift = 5;
    uint32_t screenWidth = 0, screenHeight = 0, screenPitch = 0;  // 0: just room for the window
    uint8_t* frameBuffer = nullptr;      // a surface of someone else's (the DCI stand-in's), or null
    uint32_t frameAlign = 0;             // own surface: first byte past a 64-byte boundary
};

// One call that reached the base procedure table.
struct BaseCall {
    int slot;
    std::vector<uint32_t> args;  // after the context
    bool operator==(const BaseCall& o) const { return slot == o.slot && args == o.args; }
};

// What the clip-change callback saw when it was called.
struct ClipChangeCall {
    uint32_t clipCount, clipCountCopy, changeFlags;
    bool operator==(const ClipChangeCall& o) const {
        return clipCount == o.clipCount && clipCountCopy == o.clipCountCopy && changeFlags == o.changeFlags;
    }
};

// Values of the module globals a canvas runs under. The reference reads
// them from here; RunWithGlobals puts them into the driver's globals for a
// routine under test and reads g_repaintAll back.
struct Globals {
    uint32_t dirtyShift = 5;
    uint32_t repaintAll = 0;
    uint32_t dciWin95 = 0;
    uint32_t screenWidth = 0, screenHeight = 0, screenPitch = 0;
};

class Canvas {
public:
    Canvas(const CanvasSpec& shape, uint32_t seed);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    DevContext* ctx() { return ctx_; }
    const CanvasSpec& shape() const { return spec_; }
    const Display& display() const { return spec_.display; }
    uint32_t bpp() const { return spec_.display.bytesPerPixel; }
    Globals globals;

    // Back-buffer and window geometry.
    uint32_t backWidth() const { return backW_; }
    uint32_t backHeight() const { return backH_; }
    uint32_t rows() const { return backH_; }
    uint8_t* BackPixel(int x, int y);
    uint16_t* DepthAt(int x, int y);
    uint8_t* ScreenAt(int x, int y);         // screen coordinates
    uint8_t* WindowAt(int x, int y) { return ScreenAt(spec_.winX + x, spec_.winY + y); }
    uint32_t& A(int y) { return ctx_->dirtyA[y]; }
    uint32_t& B(int y) { return ctx_->dirtyB[y]; }
    uint8_t* screen() { return screen_; }
    size_t screenBytes() const { return screenBytes_; }

    // Fills DirtyMask A and B with noise; about one row in four stays 0
    // in both, one in eight is all ones.
    void NoiseMasks(uint32_t seed);
    void SetMasks(uint32_t a, uint32_t b);
    // Translation tables for the 8-bit translated present (shared, fixed).
    void UseTranslation();
    // Clip rectangles (window-relative) the library hands the present.
    void SetClipRects(const std::vector<DevRect16>& rects);
    // Records clip-change calls (default); null leaves the callback empty.
    void SetClipCallback(bool present);

    // The base table's log and answer.
    std::vector<BaseCall> baseCalls;
    uint32_t baseResult = 1;
    std::vector<ClipChangeCall> clipCalls;

    // Everything a routine may write, compared byte for byte: empty when
    // equal, else the first differences.
    std::string Diff(const Canvas& other);
    // Guards of every block and the pointer fields of the context.
    std::string Damage();

    static Canvas* Of(DevContext* ctx);

private:
    CanvasSpec spec_;
    uint32_t backW_, backH_, depthW_;
    Guarded ctxMem_, blockMem_, backMem_, depthMem_, aMem_, bMem_, screenMem_, clipMem_, clipCopyMem_;
    DevContext* ctx_;
    DriverBlock* block_;
    uint8_t* screen_;
    size_t screenBytes_;
    std::vector<uint8_t> pointersAtStart_;
    DevProcTable base_;
};

// Runs fn with the canvas's globals in the driver's globals; afterwards the
// canvas's repaintAll is what the routine left in g_repaintAll.
template <class Fn>
auto RunWithGlobals(Canvas& c, Fn fn) -> decltype(fn());
void PutGlobals(const Canvas& c);
void TakeGlobals(Canvas& c);

template <class Fn>
auto RunWithGlobals(Canvas& c, Fn fn) -> decltype(fn())
{
    PutGlobals(c);
    auto r = fn();
    TakeGlobals(c);
    return r;
}

// Bytes of the context that hold pointers (the two canvases' differ).
extern const uint32_t kContextPointerOffsets[];
extern const size_t kContextPointerCount;

}  // namespace svcref
