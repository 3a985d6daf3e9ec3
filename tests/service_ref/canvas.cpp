#include "canvas.h"

#include "frame/services.h"

#include <algorithm>
#include <stdio.h>
#include <string.h>

namespace svcref {

void Noise::Fill(void* p, size_t bytes)
{
    uint8_t* b = static_cast<uint8_t*>(p);
    for (size_t i = 0; i < bytes; ++i) b[i] = static_cast<uint8_t>(Next() >> 11);
}

Guarded::Guarded(size_t bytes, uint32_t align, uint32_t seed)
    : raw_(bytes + 2 * kGuard + 128), size_(bytes), seed_(seed)
{
    uintptr_t p = reinterpret_cast<uintptr_t>(raw_.data()) + kGuard;
    p = (p + 63) & ~static_cast<uintptr_t>(63);
    data_ = reinterpret_cast<uint8_t*>(p + (align & 63));
    Noise guard(seed ^ 0x5a5a1234u);
    guard.Fill(data_ - kGuard, kGuard);
    guard.Fill(data_ + size_, kGuard);
    Noise(seed).Fill(data_, size_);
}

std::string Guarded::GuardDamage(const char* name) const
{
    if (!data_) return "";
    uint8_t expect[2 * kGuard];
    Noise guard(seed_ ^ 0x5a5a1234u);
    guard.Fill(expect, 2 * kGuard);
    std::string out;
    char line[96];
    for (size_t i = 0; i < kGuard; ++i) {
        if (data_[-static_cast<ptrdiff_t>(kGuard) + static_cast<ptrdiff_t>(i)] != expect[i]) {
            snprintf(line, sizeof line, "%s: guard byte %d before the block written\n", name,
                     static_cast<int>(kGuard - i));
            return line;
        }
        if (data_[size_ + i] != expect[kGuard + i]) {
            snprintf(line, sizeof line, "%s: guard byte %d after the block written\n", name, static_cast<int>(i));
            return line;
        }
    }
    return out;
}

Display Display8(uint8_t paletteBase)
{
    Display d;
    d.bytesPerPixel = 1;
    d.paletteBase = paletteBase;
    return d;
}

Display Display565()
{
    Display d;
    d.bytesPerPixel = 2;
    d.redMask = 0xf800, d.greenMask = 0x7e0, d.blueMask = 0x1f;
    d.redMax = 31, d.greenMax = 63, d.blueMax = 31;
    return d;
}

Display Display555()
{
    Display d;
    d.bytesPerPixel = 2;
    d.redMask = 0x7c00, d.greenMask = 0x3e0, d.blueMask = 0x1f;
    d.redMax = d.greenMax = d.blueMax = 31;
    return d;
}

static Display Display8Bits(uint32_t bytes, bool redHigh)
{
    Display d;
    d.bytesPerPixel = bytes;
    d.redMask = redHigh ? 0xff0000 : 0xff;
    d.greenMask = 0xff00;
    d.blueMask = redHigh ? 0xff : 0xff0000;
    d.redMax = d.greenMax = d.blueMax = 255;
    return d;
}

Display Display24(bool redHigh) { return Display8Bits(3, redHigh); }
Display Display32(bool redHigh) { return Display8Bits(4, redHigh); }

DeviceInfo DeviceOf(const Display& d)
{
    DeviceInfo info;
    memset(&info, 0, sizeof info);
    info.width = 640;
    info.height = 480;
    info.bitsPerPixel = static_cast<uint16_t>(8 * d.bytesPerPixel);
    info.bytesPerPixel = static_cast<uint16_t>(d.bytesPerPixel);
    info.paletteBase = d.paletteBase;
    info.redMask = d.redMask, info.greenMask = d.greenMask, info.blueMask = d.blueMask;
    info.redMax = d.redMax, info.greenMax = d.greenMax, info.blueMax = d.blueMax;
    return info;
}

const uint32_t kContextPointerOffsets[] = {
    0,   4,   228, 236, 316, 320, 328, 328 + 64, 328 + 68, 404, 404 + 64, 404 + 68, 480, 480 + 64, 480 + 68,
    556, 560, 576, 596, 600, 604, 612, 616,
};
const size_t kContextPointerCount = sizeof kContextPointerOffsets / sizeof kContextPointerOffsets[0];

// ---- the recording base table and clip callback ----

static std::vector<Canvas*>& Live()
{
    static std::vector<Canvas*> live;
    return live;
}

Canvas* Canvas::Of(DevContext* ctx)
{
    for (Canvas* c : Live())
        if (c->ctx() == ctx) return c;
    return nullptr;
}

static uint32_t Record(DevContext* ctx, int slot, std::vector<uint32_t> args)
{
    Canvas* c = Canvas::Of(ctx);
    if (!c) return 0xdeadu;  // a context that is not a canvas: the test sees the wrong answer
    c->baseCalls.push_back(BaseCall{slot, std::move(args)});
    return c->baseResult;
}

static uint32_t P(const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }

static uint32_t DEVPROC BaseCopyRect(DevContext* ctx, uint32_t a1, uint32_t a2, uint32_t a3, uint32_t a4,
                                     uint32_t a5, uint32_t a6, uint32_t a7, uint32_t a8, uint32_t a9,
                                     uint32_t a10, uint32_t a11)
{
    return Record(ctx, DEV_SLOT_COPYRECT, {a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11});
}
static uint32_t DEVPROC BaseTrapezoids(DevContext* ctx, DevTrapEdge* l, DevTrapEdge* r, DevTrapGradients* g)
{
    return Record(ctx, DEV_SLOT_TRAPEZOIDS, {P(l), P(r), P(g)});
}
static uint32_t DEVPROC BaseLine(DevContext* ctx, DevLineRecord* line, uint32_t pass)
{
    return Record(ctx, DEV_SLOT_LINE, {P(line), pass});
}
static uint32_t DEVPROC BaseClear(DevContext* ctx, uint32_t what) { return Record(ctx, DEV_SLOT_CLEAR, {what}); }
static uint32_t DEVPROC BasePresent(DevContext* ctx) { return Record(ctx, DEV_SLOT_PRESENT, {}); }
static uint32_t DEVPROC BaseSetColor(DevContext* ctx, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t c3,
                                     uint32_t separate, void* out)
{
    return Record(ctx, DEV_SLOT_SETCOLOR, {c0, c1, c2, c3, separate, P(out)});
}

static void DEVPROC ClipChanged(DevContext* ctx)
{
    Canvas* c = Canvas::Of(ctx);
    if (c) c->clipCalls.push_back(ClipChangeCall{ctx->clipCount, ctx->clipCountCopy, ctx->changeFlags});
}

// ---- the canvas ----

Canvas::Canvas(const CanvasSpec& shape, uint32_t seed) : spec_(shape)
{
    const uint32_t bpp = shape.display.bytesPerPixel;
    const uint32_t rounded = (shape.width + 63u) & ~63u;
    backW_ = shape.zoom2 ? rounded / 2 : rounded;
    backH_ = shape.zoom2 ? shape.height / 2u : shape.height;
    depthW_ = rounded;

    ctxMem_ = Guarded(sizeof(DevContext), 0, seed * 31 + 1);
    blockMem_ = Guarded(sizeof(DriverBlock), 0, seed * 31 + 2);
    backMem_ = Guarded(static_cast<size_t>(bpp) * backW_ * backH_, shape.backAlign, seed * 31 + 3);
    depthMem_ = Guarded(2u * depthW_ * shape.height, shape.backAlign & 2, seed * 31 + 4);
    aMem_ = Guarded(4u * (backH_ + 1), 0, seed * 31 + 5);
    bMem_ = Guarded(4u * (backH_ + 1), 0, seed * 31 + 6);
    clipMem_ = Guarded(sizeof(DevRect16) * DEV_MAX_CLIP_RECTS, 0, seed * 31 + 7);
    clipCopyMem_ = Guarded(sizeof(DevRect16) * DEV_MAX_CLIP_RECTS, 0, seed * 31 + 8);

    globals.dirtyShift = shape.dirtyShift;
    if (shape.frameBuffer) {
        globals.screenWidth = shape.screenWidth;
        globals.screenHeight = shape.screenHeight;
        globals.screenPitch = shape.screenPitch;
        screen_ = shape.frameBuffer;
        screenBytes_ = static_cast<size_t>(shape.screenPitch) * shape.screenHeight;
        Noise(seed * 31 + 9).Fill(screen_, screenBytes_);
    } else {
        globals.screenWidth = shape.screenWidth ? shape.screenWidth : shape.winX + shape.width + 3u;
        globals.screenHeight = shape.screenHeight ? shape.screenHeight : shape.winY + shape.height + 2u;
        globals.screenPitch = shape.screenPitch ? shape.screenPitch : globals.screenWidth * bpp + 12;
        screenBytes_ = static_cast<size_t>(globals.screenPitch) * globals.screenHeight;
        screenMem_ = Guarded(screenBytes_, shape.frameAlign, seed * 31 + 9);
        screen_ = screenMem_.data();
    }

    ctx_ = reinterpret_cast<DevContext*>(ctxMem_.data());
    block_ = reinterpret_cast<DriverBlock*>(blockMem_.data());
    memset(block_, 0, sizeof *block_);

    DevContext& c = *ctx_;
    c.hdc = nullptr;
    c.gdiSurface = nullptr;
    c.window = DevRect16{shape.winX, shape.winY, static_cast<int16_t>(shape.winX + shape.width),
                         static_cast<int16_t>(shape.winY + shape.height)};
    c.update = DevRect16{0, 0, static_cast<int16_t>(shape.width), static_cast<int16_t>(shape.height)};
    c.state = shape.zoom2 ? DEV_ZOOM2 : 0;
    c.zoomX = c.zoomY = shape.zoom2 ? DEV_ZOOM_2 : 0x10000;
    c.clipCount = 0;
    c.clipRects = reinterpret_cast<DevRect16*>(clipMem_.data());
    c.clipRectsCopy = reinterpret_cast<DevRect16*>(clipCopyMem_.data());
    uint16_t depthValue = static_cast<uint16_t>(Noise(seed * 31 + 10).Next());
    c.depthClear = depthValue | static_cast<uint32_t>(depthValue) << 16;
    c.drawBuffer = &c.back;
    c.texture = nullptr;

    auto fill = [](DevBuffer& b, uint8_t* first, uint16_t w, uint16_t h, uint16_t bits, int16_t pitch,
                   uint16_t flags) {
        b.bits = P(first);
        b.width = w;
        b.height = h;
        b.bitsPerPixel = bits;
        b.pitch = pitch;
        b.zero12 = b.zero13 = 0;
        b.rows = h;
        b.flags = flags;
        memset(b.zero52, 0, sizeof b.zero52);
        b.bitsCopy = b.bits;
        b.extra = nullptr;
    };
    fill(c.front, WindowAt(0, 0), shape.width, shape.height, static_cast<uint16_t>(8 * bpp),
         static_cast<int16_t>(globals.screenPitch), DEVBUF_DIRECT_FRONT);
    const int32_t backPitch = static_cast<int32_t>(bpp * backW_);
    const int32_t depthPitch = static_cast<int32_t>(2 * depthW_);
    uint8_t* backFirst = backMem_.data() + (shape.bottomUp ? (backH_ ? (backH_ - 1) * backPitch : 0) : 0);
    uint8_t* depthFirst = depthMem_.data() + (shape.bottomUp ? (shape.height - 1) * depthPitch : 0);
    fill(c.back, backFirst, static_cast<uint16_t>(backW_), static_cast<uint16_t>(backH_),
         static_cast<uint16_t>(8 * bpp), static_cast<int16_t>(shape.bottomUp ? -backPitch : backPitch),
         DEVBUF_DIRECT_BACK);
    fill(c.depth, depthFirst, static_cast<uint16_t>(depthW_), shape.height, 16,
         static_cast<int16_t>(shape.bottomUp ? -depthPitch : depthPitch), DEVBUF_DIRECT_DEPTH);

    memset(&base_, 0, sizeof base_);
    base_.copyRect = BaseCopyRect;
    base_.trapezoids = BaseTrapezoids;
    base_.line = BaseLine;
    base_.clear = BaseClear;
    base_.present = BasePresent;
    base_.setColor = BaseSetColor;
    c.baseProcs = &base_;
    c.procs = &block_->procs;
    c.caps = DEV_CAPS_DIRECT;
    c.driverBlock = block_;
    c.dirtyRows = backH_;
    c.dirtyA = reinterpret_cast<uint32_t*>(aMem_.data());
    c.dirtyB = reinterpret_cast<uint32_t*>(bMem_.data());
    c.dirtyA[backH_] = 0;
    c.dirtyB[backH_] = 0;
    c.clipChanged = ClipChanged;
    c.translate = 0;
    c.translate8 = nullptr;
    c.translate16 = nullptr;
    c.repaint = 0;

    pointersAtStart_.resize(4 * kContextPointerCount);
    for (size_t i = 0; i < kContextPointerCount; ++i)
        memcpy(&pointersAtStart_[4 * i], ctxMem_.data() + kContextPointerOffsets[i], 4);
    Live().push_back(this);
}

Canvas::~Canvas()
{
    auto& live = Live();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

uint8_t* Canvas::BackPixel(int x, int y)
{
    return DevBufferBits(&ctx_->back) + y * static_cast<int32_t>(ctx_->back.pitch) + x * static_cast<int32_t>(bpp());
}

uint16_t* Canvas::DepthAt(int x, int y)
{
    return reinterpret_cast<uint16_t*>(DevBufferBits(&ctx_->depth) + y * static_cast<int32_t>(ctx_->depth.pitch) +
                                       2 * x);
}

uint8_t* Canvas::ScreenAt(int x, int y)
{
    return screen_ + static_cast<size_t>(y) * globals.screenPitch + static_cast<size_t>(x) * bpp();
}

void Canvas::NoiseMasks(uint32_t seed)
{
    Noise n(seed);
    for (uint32_t y = 0; y < backH_; ++y) {
        uint32_t kind = n.Below(8);
        uint32_t a = n.Next() & n.Next(), b = n.Next() & n.Next();
        if (kind < 2) a = b = 0;
        else if (kind == 2) a = 0;
        else if (kind == 3) b = 0;
        else if (kind == 4) a = 0xffffffffu;
        ctx_->dirtyA[y] = a;
        ctx_->dirtyB[y] = b;
    }
}

void Canvas::SetMasks(uint32_t a, uint32_t b)
{
    for (uint32_t y = 0; y < backH_; ++y) ctx_->dirtyA[y] = a, ctx_->dirtyB[y] = b;
}

void Canvas::UseTranslation()
{
    static uint8_t t8[256];
    static uint16_t t16[65536];
    static bool made = false;
    if (!made) {
        for (int i = 0; i < 256; ++i) t8[i] = static_cast<uint8_t>(i);
        Noise n(77);
        for (int i = 255; i > 0; --i) std::swap(t8[i], t8[n.Below(i + 1)]);
        for (int i = 0; i < 65536; ++i) t16[i] = static_cast<uint16_t>(t8[i & 0xff] | t8[i >> 8] << 8);
        made = true;
    }
    ctx_->translate = 1;
    ctx_->translate8 = t8;
    ctx_->translate16 = t16;
    for (size_t i = 0; i < kContextPointerCount; ++i)
        memcpy(&pointersAtStart_[4 * i], ctxMem_.data() + kContextPointerOffsets[i], 4);
}

void Canvas::SetClipRects(const std::vector<DevRect16>& rects)
{
    ctx_->clipCount = static_cast<uint32_t>(rects.size());
    for (size_t i = 0; i < rects.size() && i < DEV_MAX_CLIP_RECTS; ++i) ctx_->clipRects[i] = rects[i];
}

void Canvas::SetClipCallback(bool present)
{
    ctx_->clipChanged = present ? ClipChanged : nullptr;
    memcpy(&pointersAtStart_[4 * 20], ctxMem_.data() + 604, 4);
}

static void DiffBytes(std::string& out, int& budget, const char* name, const uint8_t* got, const uint8_t* want,
                      size_t n, size_t rowBytes)
{
    for (size_t i = 0; i < n && budget > 0; ++i) {
        if (got[i] == want[i]) continue;
        char line[160];
        if (rowBytes)
            snprintf(line, sizeof line, "%s: row %u byte %u is 0x%02x, expected 0x%02x\n", name,
                     static_cast<unsigned>(i / rowBytes), static_cast<unsigned>(i % rowBytes), got[i], want[i]);
        else
            snprintf(line, sizeof line, "%s: byte %u is 0x%02x, expected 0x%02x\n", name, static_cast<unsigned>(i),
                     got[i], want[i]);
        out += line;
        --budget;
    }
}

std::string Canvas::Diff(const Canvas& o)
{
    std::string out;
    int budget = 12;
    // The context: every byte but the pointers, which differ between canvases.
    uint8_t want[sizeof(DevContext)];
    memcpy(want, o.ctxMem_.data(), sizeof want);
    for (size_t i = 0; i < kContextPointerCount; ++i)
        memcpy(want + kContextPointerOffsets[i], ctxMem_.data() + kContextPointerOffsets[i], 4);
    DiffBytes(out, budget, "context", ctxMem_.data(), want, sizeof want, 0);
    DiffBytes(out, budget, "driver block", blockMem_.data(), o.blockMem_.data(), sizeof(DriverBlock), 0);
    DiffBytes(out, budget, "back buffer", backMem_.data(), o.backMem_.data(), backMem_.size(),
              bpp() * backW_);
    DiffBytes(out, budget, "depth buffer", depthMem_.data(), o.depthMem_.data(), depthMem_.size(), 2 * depthW_);
    DiffBytes(out, budget, "DirtyMask A", aMem_.data(), o.aMem_.data(), aMem_.size(), 4);
    DiffBytes(out, budget, "DirtyMask B", bMem_.data(), o.bMem_.data(), bMem_.size(), 4);
    DiffBytes(out, budget, "clip rectangles", clipMem_.data(), o.clipMem_.data(), clipMem_.size(), 8);
    DiffBytes(out, budget, "clip rectangle copy", clipCopyMem_.data(), o.clipCopyMem_.data(), clipCopyMem_.size(),
              8);
    if (screenBytes_ == o.screenBytes_)
        DiffBytes(out, budget, "screen", screen_, o.screen_, screenBytes_, globals.screenPitch);
    else
        out += "screen: sizes differ\n";
    char line[160];
    if (globals.repaintAll != o.globals.repaintAll) {
        snprintf(line, sizeof line, "g_repaintAll is %u, expected %u\n", globals.repaintAll, o.globals.repaintAll);
        out += line;
    }
    if (!(baseCalls == o.baseCalls)) {
        snprintf(line, sizeof line, "base table: %u calls, expected %u (or other arguments)\n",
                 static_cast<unsigned>(baseCalls.size()), static_cast<unsigned>(o.baseCalls.size()));
        out += line;
    }
    if (!(clipCalls == o.clipCalls)) {
        snprintf(line, sizeof line, "clip-change callback: %u calls, expected %u (or other context values)\n",
                 static_cast<unsigned>(clipCalls.size()), static_cast<unsigned>(o.clipCalls.size()));
        out += line;
    }
    return out;
}

std::string Canvas::Damage()
{
    std::string out;
    out += ctxMem_.GuardDamage("context");
    out += blockMem_.GuardDamage("driver block");
    out += backMem_.GuardDamage("back buffer");
    out += depthMem_.GuardDamage("depth buffer");
    out += aMem_.GuardDamage("DirtyMask A");
    out += bMem_.GuardDamage("DirtyMask B");
    out += clipMem_.GuardDamage("clip rectangles");
    out += clipCopyMem_.GuardDamage("clip rectangle copy");
    out += screenMem_.GuardDamage("screen");
    for (size_t i = 0; i < kContextPointerCount; ++i)
        if (memcmp(&pointersAtStart_[4 * i], ctxMem_.data() + kContextPointerOffsets[i], 4) != 0) {
            char line[96];
            snprintf(line, sizeof line, "context: pointer at byte %u written\n", kContextPointerOffsets[i]);
            out += line;
        }
    return out;
}

void PutGlobals(const Canvas& c)
{
    g_bytesPerPixel = c.bpp();
    g_bitsPerPixel = 8 * c.bpp();
    g_dirtyShift = c.globals.dirtyShift;
    g_repaintAll = c.globals.repaintAll;
    g_dciWin95 = c.globals.dciWin95;
    g_screenWidth = c.globals.screenWidth;
    g_screenHeight = c.globals.screenHeight;
    g_screenPitch = c.globals.screenPitch;
    g_depthStep = 2;
    g_paletteBase = c.display().paletteBase;
    // The pixel-format tables as the frame builds them at initialisation
    // (without mapping a linear frame buffer), once per display.
    static DeviceInfo last;
    static bool built = false;
    DeviceInfo info = DeviceOf(c.display());
    if (!built || memcmp(&last, &info, sizeof info) != 0) {
        uint32_t open = g_dciOpen;
        g_dciOpen = 1;
        DirectPixelFormatInit(&info);
        g_dciOpen = open;
        last = info;
        built = true;
    }
}

void TakeGlobals(Canvas& c) { c.globals.repaintAll = g_repaintAll; }

}  // namespace svcref
