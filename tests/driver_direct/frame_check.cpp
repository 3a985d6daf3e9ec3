// The two frames of frame_check.h.
#include "frame_check.h"

#include "bpp16/trapezoid.h"

#include <gtest/gtest.h>
#include <string.h>

namespace frames {

namespace {

const uint32_t kClearColor = 0x336699;  // red 0x99, green 0x66, blue 0x33
const uint32_t kFillColor = 0xffffff;
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
    bool Has(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

// A trapezoid with vertical edges over columns x0 .. x1 - 1 and rows y0 .. y1 - 1.
uint32_t Trapezoid(DevContext* ctx, const Rect& r)
{
    DevTrapEdge e[2];
    memset(e, 0, sizeof e);
    e[0].x = (uint32_t)r.x0 << 16;
    e[0].y = (uint32_t)r.y0 << 16;
    e[0].rowCount = r.y1 - r.y0;
    e[1].x = (uint32_t)r.x1 << 16;
    e[1].rowCount = r.y1 - r.y0;
    DevTrapGradients g;
    memset(&g, 0, sizeof g);
    return ctx->procs->trapezoids(ctx, &e[0], &e[1], &g);
}

uint32_t BlockBits(const Rect& r, int y, unsigned s)
{
    if (y < r.y0 || y >= r.y1) return 0;
    uint32_t bits = 0;
    for (int k = r.x0 >> s; k <= (r.x1 >> s) && k < 32; ++k) bits |= 1u << k;
    return bits;
}

class Screen {
public:
    Screen(const Format& f, const Geometry& g, LONG stride, const std::vector<Rect>& clips)
        : f_(f), g_(g), stride_(stride), clips_(clips), bpp_(f.bits / 8)
    {
    }
    uint8_t* Bits() const { return DciStandInSurfaceMemory(); }
    void Scribble() const { memset(Bits(), kUntouched, (size_t)stride_ * g_.screenH); }

    // Window pixel (x, y) is shown: inside a visible rectangle, as the
    // present sees it in back-buffer pixels.
    bool Visible(int x, int y) const
    {
        for (const Rect& r : clips_) {
            if (!f_.zoom && r.Has(x, y)) return true;
            if (f_.zoom && Rect{r.x0 >> 1, r.y0 >> 1, r.x1 >> 1, r.y1 >> 1}.Has(x >> 1, y >> 1)) return true;
        }
        return false;
    }

    // Every byte of the surface: the back buffer's pixel where the window
    // shows it and `copied` says so, kUntouched everywhere else.
    template <class Copied>
    void Expect(const Rect& drawn, Copied copied, const char* when) const
    {
        const uint8_t* screen = Bits();
        int wrong = 0;
        for (int sy = 0; sy < g_.screenH && wrong < 5; ++sy) {
            for (int sx = 0; sx < g_.screenW && wrong < 5; ++sx) {
                const int x = sx - g_.winX, y = sy - g_.winY;
                const bool inWindow = x >= 0 && x < g_.winW && y >= 0 && y < g_.winH;
                const int bx = f_.zoom ? x >> 1 : x, by = f_.zoom ? y >> 1 : y;
                const bool shown = inWindow && Visible(x, y) && copied(bx, by);
                for (int i = 0; i < bpp_; ++i) {
                    uint8_t want = kUntouched;
                    if (shown) want = drawn.Has(bx, by) ? f_.fill[i] : f_.clear[i];
                    if (f_.translate && shown) want = (uint8_t)(want ^ 0x5a);
                    const uint8_t got = screen[sy * stride_ + sx * bpp_ + i];
                    if (got != want) {
                        ADD_FAILURE() << when << ": screen (" << sx << ", " << sy << ") byte " << i << " is "
                                      << (int)got << ", want " << (int)want;
                        ++wrong;
                    }
                }
            }
        }
    }

private:
    const Format& f_;
    Geometry g_;
    LONG stride_;
    std::vector<Rect> clips_;
    int bpp_;
};

}  // namespace

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
    info.paletteBase = 10;
    return info;
}

void TwoFrames(const drvtest::DriverExports& dev, drvtest::Context& record, drvtest::RecordingBase& base,
               const Format& f, const Geometry& g, HWND window)
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

    // Window-relative; the second has odd corners.
    const std::vector<Rect> clips = {{0, 0, 300, 120}, {41, 121, 261, 199}};
    POINT o = {0, 0};
    ClientToScreen(window, &o);
    std::vector<RECT> onScreen;
    for (const Rect& r : clips) onScreen.push_back(RECT{r.x0 + o.x, r.y0 + o.y, r.x1 + o.x, r.y1 + o.y});
    DciStandInSetClipList(onScreen.data(), (int)onScreen.size(), (int)onScreen.size());
    static const int changed[] = {1};
    DciStandInScriptStatus(changed, 1);
    const Screen screen(f, g, SurfaceFor(f, g).stride, clips);
    const int bpp = f.bits / 8;

    screen.Scribble();
    ASSERT_EQ(1u, ctx->procs->setColor(ctx, kClearColor, 0, 0, 0, 0, ctx->clearPattern));
    ASSERT_EQ(1u, ctx->procs->setColor(ctx, kFillColor, 0, 0, 0, 0, ctx->fillPattern));
    EXPECT_EQ(0, memcmp(ctx->clearPattern, f.clear.data(), bpp));
    EXPECT_EQ(0, memcmp(ctx->fillPattern, f.fill.data(), bpp));
    ASSERT_EQ(0x20u, ctx->procs->clear(ctx, 0x20));
    const Rect first = {70, 30, 150, 90};
    ASSERT_EQ(1u, Trapezoid(ctx, first));
    ASSERT_EQ(1u, ctx->procs->present(ctx));
    EXPECT_EQ(2u, ctx->clipCount);
    EXPECT_EQ(2u, ctx->clipCountCopy);
    EXPECT_EQ(0, memcmp(ctx->clipRects, ctx->clipRectsCopy, 16));
    EXPECT_EQ(8u, ctx->changeFlags & 8);
    screen.Expect(first, [](int, int) { return true; }, "frame 1");
    for (uint32_t y = 0; y < ctx->dirtyRows; ++y)
        ASSERT_EQ(BlockBits(first, (int)y, 5), ctx->dirtyB[y]) << "B after frame 1, row " << y;

    // Frame two.
    screen.Scribble();
    ASSERT_EQ(0x20u, ctx->procs->clear(ctx, 0x20));
    for (uint32_t y = 0; y < ctx->dirtyRows; ++y) ASSERT_EQ(0u, ctx->dirtyA[y]);
    const Rect second = {100, 40, 130, 80};
    ASSERT_EQ(1u, Trapezoid(ctx, second));
    std::vector<uint32_t> either(ctx->dirtyRows);
    for (uint32_t y = 0; y < ctx->dirtyRows; ++y) {
        ASSERT_EQ(BlockBits(second, (int)y, 5), ctx->dirtyA[y]) << "A in frame 2, row " << y;
        either[y] = ctx->dirtyA[y] | ctx->dirtyB[y];
    }
    ASSERT_EQ(1u, ctx->procs->present(ctx));
    screen.Expect(second, [&](int x, int y) { return (either[y] >> (x >> 5)) & 1; }, "frame 2");
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
            Zoomed(k32, "Bits32Zoom2")};
}

std::string FormatName(const ::testing::TestParamInfo<Format>& i) { return i.param.name; }

}  // namespace frames
