// The two frames of frame_check.h.
#include "frame_check.h"

#include "bpp16/trapezoid.h"
#include "reference.h"
#include "frame/select.h"
#include "service_ref.h"
#include "trap_cases.h"
#include "families.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

namespace frames {

namespace {

const uint32_t kClearColor = 0x336699;  // red 0x99, green 0x66, blue 0x33
const uint32_t kFillColor = 0xffffff;
const uint32_t kDepthClear = 0x60006000;
const uint32_t kShift = 5;         // blocks of 32: the window is 300 pixels wide
const uint32_t kPaletteBase = 10;  // DeviceFor's
const uint8_t kUntouched = 0xee;

int s_bpp = 1;

// The rendering library's own trapezoid routine as far as these frames need
// it: one record per side, vertical edges, drawn with the flat pattern.
uint32_t DEVPROC FlatBaseTrapezoids(DevContext* ctx, DevTrapEdge* l, DevTrapEdge* r, DevTrapGradients*)
{
    const int y0 = (int32_t)l->y >> 16;
    for (int y = y0; y < y0 + l->rowCount; ++y)
        for (int x = (int32_t)l->x >> 16; x < ((int32_t)r->x >> 16); ++x)
            memcpy(DevBufferBits(ctx->drawBuffer) + y * ctx->drawBuffer->pitch + x * s_bpp, ctx->fillPattern, s_bpp);
    return 1;
}

struct Rect {
    int x0, y0, x1, y1;
};

// A trapezoid with vertical edges over columns x0 .. x1 - 1 and rows y0 .. y1 - 1.
TrapCase FlatCase(const Rect& r)
{
    TrapCase c = {"flat rectangle", (double)r.y0, {{(double)r.x0, 0, r.y1 - r.y0}}, {{(double)r.x1, 0, r.y1 - r.y0}},
                  Grad(0, 0, 0, 0, 0, 0, 0, 0)};
    return c;
}

// One state a trapezoid is drawn under: the features the reference draws,
// bits the family's key leaves out, and the lighting mode.
struct Draw {
    uint32_t state;
    uint32_t ignored;
    uint8_t lightMode;
};

// Every trapezoid kind of a family: flat and smooth, affine and perspective
// textures, colour key, the lights, depth; for palette displays also dither
// and colour index. A few states carry bits the family's key drops.
std::vector<Draw> DrawsFor(int bits)
{
    const bool palette = bits == 8;
    const std::vector<uint32_t> indexes = palette ? std::vector<uint32_t>{0, DEV_COLORINDEX} : std::vector<uint32_t>{0};
    const std::vector<uint32_t> dithers = palette ? std::vector<uint32_t>{0, DEV_DITHER} : std::vector<uint32_t>{0};
    struct Light {
        uint32_t bits;
        uint8_t mode;
    };
    const Light lights[] = {{0, 0},
                            {DEV_MODULATE, DEV_LIGHT_MR},
                            {DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MR},
                            {DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MM},
                            {DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MS}};
    std::vector<Draw> d;
    for (uint32_t index : indexes)
        for (uint32_t dither : dithers)
            for (uint32_t smooth : {0, (int)DEV_SMOOTH})
                for (uint32_t depth : {0, (int)DEV_DEPTH}) d.push_back({index | dither | smooth | depth, 0, 0});
    for (uint32_t index : indexes)
        for (uint32_t dither : dithers)
            for (uint32_t texture : {DEV_TEXTURE | DEV_AFFINE, (int)DEV_TEXTURE})
                for (uint32_t key : {0, (int)DEV_COLORKEY})
                    for (const Light& light : lights) {
                        if (index && light.bits) continue;  // colour-index texels are never lit
                        for (uint32_t depth : {0, (int)DEV_DEPTH})
                            d.push_back({index | dither | texture | key | light.bits | depth, 0, light.mode});
                    }
    // Affine unlit textures draw the same under DEV_SMOOTH.
    for (uint32_t key : {0, (int)DEV_COLORKEY})
        for (uint32_t depth : {0, (int)DEV_DEPTH})
            d.push_back({DEV_TEXTURE | DEV_AFFINE | DEV_SMOOTH | key | depth | (palette ? DEV_DITHER : 0), 0, 0});
    if (palette) {
        d.push_back({DEV_SMOOTH | DEV_DEPTH | DEV_DITHER, DEV_MODULATE | DEV_COLORKEY | DEV_AFFINE, 0});
    } else {
        d.push_back({DEV_DEPTH, DEV_DITHER | DEV_COLORINDEX, 0});
        d.push_back({DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH, DEV_DITHER | DEV_COLORINDEX,
                     DEV_LIGHT_MS});
        d.push_back({DEV_TEXTURE | DEV_AFFINE | DEV_MODULATE, DEV_DITHER, DEV_LIGHT_MR});
    }
    return d;
}

const DevFamily& FamilyFor(int bits)
{
    const DevFamily* f = svcref::FamilyOfDepth((uint32_t)bits / 8);
    if (!f) {
        ADD_FAILURE() << "no family draws " << bits << " bits per pixel";
        f = svcref::FamilyOfDepth(1);
    }
    return *f;
}

std::string RoutinePrefix(int bits)
{
    char p[32];
    snprintf(p, sizeof p, "BPP%02d_DevTrapezoids", bits);
    return p;
}

RefFormat RefFormatOf(const Format& f)
{
    auto max = [](uint32_t m) { return m ? m >> RefLowBit(m) : 0; };
    return RefFormat{f.name, (uint32_t)f.bits / 8, f.masks[0], f.masks[1], f.masks[2],
                     max(f.masks[0]), max(f.masks[1]), max(f.masks[2])};
}

svcref::Display DisplayOf(const Format& f)
{
    const RefFormat r = RefFormatOf(f);
    svcref::Display d;
    d.bytesPerPixel = r.bytesPerPixel;
    d.redMask = r.redMask, d.greenMask = r.greenMask, d.blueMask = r.blueMask;
    d.redMax = r.redMax, d.greenMax = r.greenMax, d.blueMax = r.blueMax;
    d.paletteBase = (uint8_t)kPaletteBase;
    return d;
}

// The module globals the trapezoid reference reads, at the values the
// driver runs under here, for the time of one reference call.
class ReferenceGlobals {
public:
    ReferenceGlobals() : shift_(g_dirtyShift), base_(g_paletteBase)
    {
        g_dirtyShift = kShift;
        g_paletteBase = kPaletteBase;
    }
    ~ReferenceGlobals()
    {
        g_dirtyShift = shift_;
        g_paletteBase = base_;
    }

private:
    uint32_t shift_, base_;
};

// The trapezoid of draw i in a grid cell: two left records (the first
// leaning left so rows move k + 1), two right records reaching a few
// pixels into the next cell, depth and channels moving on both axes.
TrapCase CellCase(int i, int cx, int cy, int cw, int ch)
{
    const uint32_t z = (0x5000u + 0x300u * (i % 5)) << 12;
    const uint32_t c0 = 0x300000u + (uint32_t)(i * 0x0b0000) % 0xa00000u;
    const uint32_t c1 = 0x900000u - (uint32_t)(i * 0x070000) % 0x600000u;
    const uint32_t c2 = 0x200000u + (uint32_t)(i * 0x130000) % 0xd00000u;
    const int top = ch / 2, topRight = ch / 3;
    TrapCase c;
    c.name = "cell";
    c.y = cy + 0.5;
    c.left = {{cx + 0.5 + 0.25 * (i % 3), -0.25 - 0.125 * (i % 2), top, z, c0, c1, c2},
              {cx + 0.25, 0.5, ch - top, z + 0x80000, c1, c2, c0}};
    c.right = {{cx + cw + 2.75, -0.5, topRight}, {cx + cw + 2.75 - 0.5 * topRight + 0.5, 0.25, ch - topRight}};
    const uint32_t dz = (i % 2) ? 0x40000u : (uint32_t)-0x40000;
    c.grad = Grad(dz, 0x20000, 0x23456, (uint32_t)-0x14567, 0x9876, 0x31234, (uint32_t)-0x8765, 0x41111);
    c.texture = i % TextureSpecCount();
    static const TexMotion* const motions[] = {&kTexMoving, &kTexOddA, &kTexScaled, &kTexLinear, &kTexWrap};
    c.motion = *motions[i % 5];
    return c;
}

// The frame under test and its reference side by side.
class FramePair {
public:
    FramePair(const drvtest::DriverExports& dev, DevContext* ctx, const Format& f, const Geometry& g,
              const ModuleSymbols& installed)
        : dev_(dev), ctx_(ctx), f_(f), g_(g), bpp_(f.bits / 8), family_(FamilyFor(f.bits)), fmt_(RefFormatOf(f)),
          installed_(installed), stride_(SurfaceFor(f, g).stride), refScreen_((size_t)stride_ * g.screenH),
          ref_(CanvasLayout(), 0x5eed)
    {
        DevContext* r = ref_.ctx();
        r->translate = ctx->translate;
        r->translate8 = ctx->translate8;
        r->translate16 = ctx->translate16;
        r->depthClear = ctx->depthClear = kDepthClear;
        ref_.globals.dciWin95 = 1;
        w_ = f.zoom ? g.winW / 2 : g.winW;
        h_ = f.zoom ? g.winH / 2 : g.winH;
    }

    svcref::Canvas& ref() { return ref_; }
    int width() const { return w_; }
    int height() const { return h_; }

    // Sets the state on both, validates, checks the installed slots.
    void Validate(const Draw& d, const std::string& what)
    {
        const uint32_t zoom = f_.zoom ? DEV_ZOOM2 : 0;
        ctx_->state = ref_.ctx()->state = d.state | d.ignored | zoom;
        ctx_->lightMode = ref_.ctx()->lightMode = d.lightMode;
        ctx_->depthFunc = ref_.ctx()->depthFunc = 1;
        ASSERT_EQ(1u, dev_.contextValidate(ctx_)) << what;
        ExpectSlots(d, what);
    }

    void SetColor(uint32_t c0, uint32_t c1, uint32_t c2, uint32_t c3, uint32_t separate, bool clear)
    {
        uint8_t* out = clear ? ctx_->clearPattern : ctx_->fillPattern;
        uint8_t* refOut = clear ? ref_.ctx()->clearPattern : ref_.ctx()->fillPattern;
        ASSERT_EQ(svcref::RefSetColor(ref_, c0, c1, c2, c3, separate, refOut),
                  ctx_->procs->setColor(ctx_, c0, c1, c2, c3, separate, out));
        EXPECT_EQ(ref_.ctx()->color, ctx_->color) << "colour after set colour " << std::hex << c0;
    }

    void Clear(uint32_t what)
    {
        ASSERT_EQ(svcref::RefClear(ref_, what), ctx_->procs->clear(ctx_, what));
    }

    // Draws the case under the validated state on both and compares.
    void Trapezoid(const TrapCase& c, const Draw& d, const std::string& what)
    {
        RefFeatures features;
        ASSERT_TRUE(RefDecode(d.state, d.lightMode, &features));
        const uint32_t texelBytes = features.index ? 1 : 2;
        ctx_->texture = ref_.ctx()->texture = SharedTexture(c.texture, texelBytes).texture();
        const uint32_t key = features.index || c.texture % 2 == 0 ? kKeyTexel : kKeyTexelBit15;
        ctx_->colorKey = ref_.ctx()->colorKey = key;
        Chains mine(c), theirs(c);
        ASSERT_EQ(1u, ctx_->procs->trapezoids(ctx_, mine.left.data(), mine.right.data(), &mine.grad)) << what;
        {
            ReferenceGlobals globals;
            RefTrapezoids(features, fmt_, ref_.ctx(), theirs.left.data(), theirs.right.data(), &theirs.grad);
        }
        CompareBuffers(what);
    }

    // The present on both: the surface byte for byte against the reference screen.
    void Present(const std::vector<RECT>& onScreen, POINT origin, bool changed, const char* when)
    {
        memset(DciStandInSurfaceMemory(), kUntouched, refScreen_.size());
        memset(refScreen_.data(), kUntouched, refScreen_.size());
        svcref::DciScript script;
        script.changed = changed;
        script.screenRects = onScreen;
        script.reportedCount = (int)onScreen.size();
        script.clientOrigin = origin;
        ASSERT_EQ(svcref::RefPresent(ref_, f_.translate, &script, nullptr), ctx_->procs->present(ctx_));
        const uint8_t* got = DciStandInSurfaceMemory();
        int wrong = 0;
        for (size_t i = 0; i < refScreen_.size() && wrong < 5; ++i) {
            if (got[i] == refScreen_[i]) continue;
            const int sy = (int)(i / stride_), sx = (int)(i % stride_) / bpp_;
            ADD_FAILURE() << when << ": screen (" << sx << ", " << sy << ") byte " << (int)(i % stride_) % bpp_
                          << " is " << (int)got[i] << ", want " << (int)refScreen_[i];
            ++wrong;
        }
        for (uint32_t y = 0; y < (uint32_t)h_; ++y) {
            ASSERT_EQ(ref_.A(y), ctx_->dirtyA[y]) << when << ": A row " << y;
            ASSERT_EQ(ref_.B(y), ctx_->dirtyB[y]) << when << ": B row " << y;
        }
    }

    // Window pixels whose block is in neither A nor B are not copied: they
    // still hold kUntouched, and some of them are visible.
    void ExpectOnlyBlocksOfAOrBCopied(const std::vector<uint32_t>& either, const std::vector<Rect>& clips)
    {
        auto visible = [&](int x, int y) {
            for (const Rect& r : clips) {
                const int s = f_.zoom ? 1 : 0;  // the present halves the rectangles under zoom
                if (x >> s >= r.x0 >> s && x >> s < r.x1 >> s && y >> s >= r.y0 >> s && y >> s < r.y1 >> s)
                    return true;
            }
            return false;
        };
        const uint8_t* screen = DciStandInSurfaceMemory();
        int untouched = 0, wrong = 0;
        for (int y = 0; y < g_.winH && wrong < 5; ++y)
            for (int x = 0; x < g_.winW && wrong < 5; ++x) {
                const int bx = f_.zoom ? x >> 1 : x, by = f_.zoom ? y >> 1 : y;
                if ((either[by] >> (bx >> kShift)) & 1) continue;
                const uint8_t* p = screen + (g_.winY + y) * stride_ + (g_.winX + x) * bpp_;
                for (int i = 0; i < bpp_; ++i)
                    if (p[i] != kUntouched) {
                        ADD_FAILURE() << "frame 2: window (" << x << ", " << y << ") outside A or B was copied";
                        ++wrong;
                    }
                if (visible(x, y)) ++untouched;
            }
        EXPECT_GT(untouched, 1000) << "frame 2 leaves too few visible blocks out";
    }

private:
    svcref::CanvasSpec CanvasLayout()
    {
        svcref::CanvasSpec s;
        s.display = DisplayOf(f_);
        s.width = (uint16_t)g_.winW;
        s.height = (uint16_t)g_.winH;
        s.winX = (int16_t)g_.winX;
        s.winY = (int16_t)g_.winY;
        s.zoom2 = f_.zoom;
        s.dirtyShift = kShift;
        s.screenWidth = (uint32_t)g_.screenW;
        s.screenHeight = (uint32_t)g_.screenH;
        s.screenPitch = (uint32_t)stride_;
        s.frameBuffer = refScreen_.data();
        return s;
    }

    // The name slot 16 must hold: the family's variant for the features,
    // found in its table.
    std::string ExpectedTrapezoids(const Draw& d, const std::string& what)
    {
        RefFeatures features;
        RefDecode(d.state, d.lightMode, &features);
        const std::string name = RoutinePrefix(f_.bits) + RefSuffix(features);
        for (uint32_t i = 0; i < family_.variantCount; ++i)
            if (name == family_.variants[i].name) return name;
        ADD_FAILURE() << what << ": " << name << " is not in the family's variant table";
        return name;
    }

    void ExpectSlots(const Draw& d, const std::string& what)
    {
        const ModuleSymbols& self = ProgramSymbols();
        const DevProcTable* t = ctx_->procs;
        const DevPresentProc present = ctx_->translate ? family_.presentTranslated : family_.present;
        const std::string installed = installed_.NameAt((const void*)t->trapezoids);
        EXPECT_NE("", installed) << what << ": slot 16 holds no routine of the driver's";
        EXPECT_EQ(ExpectedTrapezoids(d, what), installed) << what << ": slot 16";
        EXPECT_EQ(self.NameAt((const void*)family_.clear), installed_.NameAt((const void*)t->clear)) << what << ": slot 19";
        EXPECT_EQ(self.NameAt((const void*)present), installed_.NameAt((const void*)t->present)) << what << ": slot 20";
        EXPECT_EQ(self.NameAt((const void*)family_.setColor), installed_.NameAt((const void*)t->setColor))
            << what << ": slot 21";
        EXPECT_NE("", self.NameAt((const void*)family_.clear)) << "the program's own routines have no names";
    }

    // Back buffer, depth buffer (where the state tests depth) and mask A
    // inside the window, against the reference.
    void CompareBuffers(const std::string& what)
    {
        int wrong = 0;
        for (int y = 0; y < h_ && wrong < 5; ++y) {
            const uint8_t* got = DevBufferBits(&ctx_->back) + y * ctx_->back.pitch;
            const uint8_t* want = ref_.BackPixel(0, y);
            for (int x = 0; x < w_ * bpp_ && wrong < 5; ++x)
                if (got[x] != want[x]) {
                    ADD_FAILURE() << what << ": back (" << x / bpp_ << ", " << y << ") byte " << x % bpp_ << " is "
                                  << (int)got[x] << ", want " << (int)want[x];
                    ++wrong;
                }
            const uint16_t* depth = (const uint16_t*)(DevBufferBits(&ctx_->depth) + y * ctx_->depth.pitch);
            for (int x = 0; x < w_ && wrong < 5; ++x)
                if (depth[x] != *ref_.DepthAt(x, y)) {
                    ADD_FAILURE() << what << ": depth (" << x << ", " << y << ") is " << depth[x] << ", want "
                                  << *ref_.DepthAt(x, y);
                    ++wrong;
                }
            if (ctx_->dirtyA[y] != ref_.A(y) && wrong < 5) {
                ADD_FAILURE() << what << ": A row " << y << " is " << std::hex << ctx_->dirtyA[y] << ", want "
                              << ref_.A(y);
                ++wrong;
            }
        }
        if (wrong) FAIL() << what << ": stopped at the first trapezoid that differs";
    }

    const drvtest::DriverExports& dev_;
    DevContext* ctx_;
    const Format& f_;
    Geometry g_;
    int bpp_;
    const DevFamily& family_;
    RefFormat fmt_;
    const ModuleSymbols& installed_;
    LONG stride_;
    std::vector<uint8_t> refScreen_;
    svcref::Canvas ref_;
    int w_ = 0, h_ = 0;
};

std::string DrawName(const Draw& d, int bits)
{
    RefFeatures features;
    RefDecode(d.state, d.lightMode, &features);
    char text[120];
    snprintf(text, sizeof text, "%s (state %#x, light mode %d)", (RoutinePrefix(bits) + RefSuffix(features)).c_str(),
             d.state | d.ignored, d.lightMode);
    return text;
}

// A colour for draw i, as a packed word (even draws) or 8.16 channels.
void SetDrawColor(FramePair& pair, int i)
{
    const uint32_t rgb = (0x2f1d9bu * (uint32_t)(i + 1)) & 0xffffff;
    if (i % 2 == 0)
        pair.SetColor(0x5a000000u | rgb, 0, 0, 0, 0, false);
    else
        pair.SetColor((rgb & 0xff) << 16, ((rgb >> 8) & 0xff) << 16, (rgb >> 16) << 16, 0x7f0000, 1, false);
}

// Draws `draws` in a grid of cells inside [top, top + height) of the back
// buffer, `columns` cells a row across `width` pixels.
void DrawGrid(FramePair& pair, const std::vector<Draw>& draws, int bits, int top, int width, int height, int columns,
              const char* frame)
{
    if (draws.empty()) return;
    const int rows = ((int)draws.size() + columns - 1) / columns;
    const int cw = width / columns, ch = height / rows;
    for (size_t i = 0; i < draws.size(); ++i) {
        const std::string what = std::string(frame) + ", " + DrawName(draws[i], bits);
        pair.Validate(draws[i], what);
        if (::testing::Test::HasFatalFailure()) return;
        SetDrawColor(pair, (int)i);
        const int cx = (int)(i % columns) * cw, cy = top + (int)(i / columns) * ch;
        pair.Trapezoid(CellCase((int)i, cx, cy, cw, ch), draws[i], what);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

}  // namespace

const ModuleSymbols& ProgramSymbols()
{
    static const ModuleSymbols self(GetModuleHandleA(nullptr));
    return self;
}

int StatesDrawn(int bits) { return (int)DrawsFor(bits).size(); }

std::vector<std::string> RoutinesDrawn(int bits)
{
    std::vector<std::string> names;
    for (const Draw& d : DrawsFor(bits)) {
        RefFeatures features;
        RefDecode(d.state, d.lightMode, &features);
        names.push_back(RoutinePrefix(bits) + RefSuffix(features));
    }
    return names;
}

DciStandInConfig SurfaceFor(const Format& f, const Geometry& g)
{
    DciStandInConfig c = {};
    c.width = g.screenW;
    c.height = g.screenH;
    c.stride = ((g.screenW * (f.bits / 8)) + 255) & ~255;  // a pitch wider than the row
    c.bitCount = f.bits;
    memcpy(c.masks, f.masks, sizeof c.masks);
    return c;
}

DeviceInfo DeviceFor(const Format& f, const Geometry& g)
{
    DeviceInfo info = drvtest::Device((uint16_t)g.screenW, (uint16_t)g.screenH, (uint16_t)f.bits, f.masks[0],
                                      f.masks[1], f.masks[2]);
    info.paletteBase = kPaletteBase;
    return info;
}

void TwoFrames(const drvtest::DriverExports& dev, drvtest::Context& record, drvtest::RecordingBase& base,
               const Format& f, const Geometry& g, HWND window, const ModuleSymbols& installed)
{
    DevContext* ctx = record.get();
    s_bpp = f.bits / 8;
    base.table()->trapezoids = FlatBaseTrapezoids;
    std::vector<uint8_t> t8(256);
    std::vector<uint16_t> t16(65536);
    if (f.zoom) record.SetZoom2();
    if (f.translate) {
        for (int i = 0; i < 256; ++i) t8[i] = (uint8_t)(i ^ 0x5a);
        for (int i = 0; i < 65536; ++i) t16[i] = (uint16_t)(i ^ 0x5a5a);
        ctx->translate = 1;
        ctx->translate8 = t8.data();
        ctx->translate16 = t16.data();
    }
    ASSERT_EQ(0x4c0u, dev.bufferCreate(ctx, 0x4c0));
    ASSERT_EQ(1u, dev.contextSwitch(ctx, 1));  // a 300-pixel window: blocks of 32
    ASSERT_EQ(1u, dev.contextValidate(ctx));
    ASSERT_NE(nullptr, ctx->procs->present);
    ASSERT_NE(nullptr, ctx->procs->clear);
    ASSERT_NE(nullptr, ctx->procs->setColor);
    ASSERT_EQ(&ctx->back, ctx->drawBuffer);

    // Window-relative; the second has odd corners.
    const std::vector<Rect> clips = {{0, 0, 300, 120}, {41, 121, 261, 199}};
    POINT o = {0, 0};
    ClientToScreen(window, &o);
    std::vector<RECT> onScreen;
    for (const Rect& r : clips) onScreen.push_back(RECT{r.x0 + o.x, r.y0 + o.y, r.x1 + o.x, r.y1 + o.y});
    DciStandInSetClipList(onScreen.data(), (int)onScreen.size(), (int)onScreen.size());
    static const int changed[] = {1};
    DciStandInScriptStatus(changed, 1);
    FramePair pair(dev, ctx, f, g, installed);
    const int bpp = f.bits / 8;
    const std::vector<Draw> draws = DrawsFor(f.bits);
    const Draw flat = {0, 0, 0}, depth = {DEV_DEPTH, 0, 0};
    const int w = pair.width(), h = pair.height();
    const int columns = draws.size() > 60 ? 12 : 8;
    const int gridWidth = (w - 8) / columns * columns;  // the last cell's reach stays inside the window

    // Frame one: colour and depth cleared, a flat rectangle, then every
    // kind of trapezoid in a grid over the upper two thirds.
    ASSERT_NO_FATAL_FAILURE(pair.Validate(depth, "frame 1, clear"));
    ASSERT_NO_FATAL_FAILURE(pair.SetColor(kClearColor, 0, 0, 0, 0, true));
    ASSERT_NO_FATAL_FAILURE(pair.SetColor(kFillColor, 0, 0, 0, 0, false));
    EXPECT_EQ(0, memcmp(ctx->clearPattern, f.clear.data(), bpp));
    EXPECT_EQ(0, memcmp(ctx->fillPattern, f.fill.data(), bpp));
    ASSERT_NO_FATAL_FAILURE(pair.Clear(DEV_CLEAR_COLOR | DEV_BUFFER_DEPTH));
    ASSERT_NO_FATAL_FAILURE(pair.Validate(flat, "frame 1, flat rectangle"));
    ASSERT_NO_FATAL_FAILURE(pair.Trapezoid(FlatCase({70, 30, 150, 90}), flat, "frame 1, flat rectangle"));
    ASSERT_NO_FATAL_FAILURE(DrawGrid(pair, draws, f.bits, 2, gridWidth, h * 2 / 3 - 4, columns, "frame 1"));
    ASSERT_NO_FATAL_FAILURE(pair.Present(onScreen, o, true, "frame 1"));
    EXPECT_EQ(2u, ctx->clipCount);
    EXPECT_EQ(2u, ctx->clipCountCopy);
    EXPECT_EQ(0, memcmp(ctx->clipRects, ctx->clipRectsCopy, 16));
    EXPECT_EQ(8u, ctx->changeFlags & 8);

    // Frame two: the clear empties A; another flat rectangle and a few of
    // the states in the left part of the lower third, so that blocks of
    // neither frame stay out of the present.
    ASSERT_NO_FATAL_FAILURE(pair.Validate(depth, "frame 2, clear"));
    ASSERT_NO_FATAL_FAILURE(pair.Clear(DEV_CLEAR_COLOR | DEV_BUFFER_DEPTH));
    for (uint32_t y = 0; y < ctx->dirtyRows; ++y) ASSERT_EQ(0u, ctx->dirtyA[y]);
    ASSERT_NO_FATAL_FAILURE(pair.Validate(flat, "frame 2, flat rectangle"));
    ASSERT_NO_FATAL_FAILURE(pair.SetColor(kFillColor, 0, 0, 0, 0, false));
    ASSERT_NO_FATAL_FAILURE(pair.Trapezoid(FlatCase({100, 40, 130, 80}), flat, "frame 2, flat rectangle"));
    std::vector<Draw> some;
    for (size_t i = 1; i < draws.size(); i += 6) some.push_back(draws[i]);
    const int top = h * 2 / 3 + 2;
    ASSERT_NO_FATAL_FAILURE(DrawGrid(pair, some, f.bits, top, w / 2, h - top - 4, 8, "frame 2"));
    std::vector<uint32_t> either(ctx->dirtyRows);
    for (uint32_t y = 0; y < ctx->dirtyRows; ++y) either[y] = ctx->dirtyA[y] | ctx->dirtyB[y];
    ASSERT_NO_FATAL_FAILURE(pair.Present(onScreen, o, false, "frame 2"));
    pair.ExpectOnlyBlocksOfAOrBCopied(either, clips);
    for (uint32_t y = 0; y < ctx->dirtyRows; ++y) ASSERT_EQ(ctx->dirtyA[y], ctx->dirtyB[y]);

    DciStandInCounters c;
    DciStandInGetCounters(&c);
    EXPECT_EQ(2, c.beginsGranted);
    EXPECT_EQ(2, c.ends);
    EXPECT_EQ(0, c.accessDepth);
    EXPECT_EQ(0, c.badAccess);
    EXPECT_EQ(1, c.clipQueries);
}

Format Zoomed(Format f, const char* name)
{
    f.name = name;
    f.zoom = true;
    return f;
}

const Format k8 = {"Bits8", 8, {0, 0, 0}, {0x72}, {0xc5}};
const Format k565 = {"Bits16_565", 16, {0xf800, 0x7e0, 0x1f}, {0x26, 0x9b}, {0xff, 0xff}};
const Format k555 = {"Bits16_555", 16, {0x7c00, 0x3e0, 0x1f}, {0x86, 0x4d}, {0xff, 0x7f}};
const Format k24 = {"Bits24", 24, {0xff0000, 0xff00, 0xff}, {0x33, 0x66, 0x99}, {0xff, 0xff, 0xff}};
const Format k24rgb = {"Bits24_RGB", 24, {0xff, 0xff00, 0xff0000}, {0x99, 0x66, 0x33}, {0xff, 0xff, 0xff}};
const Format k32 = {"Bits32", 32, {0xff0000, 0xff00, 0xff}, {0x33, 0x66, 0x99, 0}, {0xff, 0xff, 0xff, 0}};
const Format k32rgb = {"Bits32_RGB", 32, {0xff, 0xff00, 0xff0000}, {0x99, 0x66, 0x33, 0}, {0xff, 0xff, 0xff, 0}};

Format Translated8()
{
    Format f = k8;
    f.name = "Bits8Translated";
    f.translate = true;
    return f;
}

std::vector<Format> AllFormats()
{
    return {k8,   Zoomed(k8, "Bits8Zoom2"),       Translated8(), Zoomed(Translated8(), "Bits8TranslatedZoom2"),
            k565, Zoomed(k565, "Bits16_565Zoom2"), k555,          k24,
            Zoomed(k24, "Bits24Zoom2"),           k24rgb,        k32,
            Zoomed(k32, "Bits32Zoom2"),           k32rgb};
}

std::string FormatName(const ::testing::TestParamInfo<Format>& i) { return i.param.name; }

}  // namespace frames
