// The comparisons themselves: the reference dressed as a family agrees with
// itself through every check, and families with one planted fault are caught
// by the check of that routine. Without this, a check that compared nothing
// would pass every family.
#include "checks.h"
#include "service_ref.h"

#include <gtest/gtest.h>
#include <string.h>
#include <vector>

using namespace svcref;

namespace {

// Runs a reference routine on the canvas of ctx the way a family routine
// runs: g_repaintAll in, g_repaintAll out.
template <class Fn>
uint32_t AsRoutine(DevContext* ctx, Fn fn)
{
    Canvas* c = Canvas::Of(ctx);
    c->globals.repaintAll = g_repaintAll;
    uint32_t r = fn(*c);
    g_repaintAll = c->globals.repaintAll;
    return r;
}

std::vector<uint32_t> Words(const uint32_t* p, uint32_t n) { return std::vector<uint32_t>(p, p + n); }
void Put(uint32_t* p, const std::vector<uint32_t>& w) { memcpy(p, w.data(), 4 * w.size()); }

uint32_t DEVPROC SetColor(DevContext* x, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t c3, uint32_t sep, void* out)
{
    return AsRoutine(x, [&](Canvas& c) { return RefSetColor(c, c0, c1, c2, c3, sep, out); });
}
uint32_t DEVPROC Clear(DevContext* x, uint32_t what)
{
    return AsRoutine(x, [&](Canvas& c) { return RefClear(c, what); });
}
uint32_t DEVPROC Present(DevContext* x)
{
    return AsRoutine(x, [&](Canvas& c) { return RefPresent(c, false, nullptr, nullptr); });
}
uint32_t DEVPROC PresentTranslated(DevContext* x)
{
    return AsRoutine(x, [&](Canvas& c) { return RefPresent(c, true, nullptr, nullptr); });
}
uint32_t DEVPROC Trapezoids(DevContext* x, DevTrapEdge* l, DevTrapEdge* r, DevTrapGradients* g)
{
    return AsRoutine(x, [&](Canvas& c) { return RefTrapezoidsGeneric(c, l, r, g); });
}
uint32_t DEVPROC LineGeneric(DevContext* x, DevLineRecord* line, uint32_t pass)
{
    return AsRoutine(x, [&](Canvas& c) { return RefLineGeneric(c, line, pass); });
}
template <LineKind kind>
uint32_t DEVPROC Line(DevContext* x, DevLineRecord* line, uint32_t)
{
    return AsRoutine(x, [&](Canvas& c) { return RefLine8(c, kind, *reinterpret_cast<LineRecord*>(line)); });
}
const DevLineVariant kRefLines[] = {
    {0x1000, Line<kLineFsD>, "FsD"},
    {0x1008, Line<kLineFsZD>, "FsZD"},
    {0x1001, Line<kLineSsD>, "SsD"},
    {0x1009, Line<kLineSsZD>, "SsZD"},
};

DevFamily ReferenceFamily()
{
    DevFamily f = {};
    f.clear = Clear;
    f.setColor = SetColor;
    f.lineGeneric = LineGeneric;
    f.trapezoidsGeneric = Trapezoids;
    f.present = Present;
    f.presentTranslated = PresentTranslated;
    f.lines = kRefLines;
    f.lineCount = 4;
    return f;
}

// ---- planted faults ----

uint32_t DEVPROC SetColorMarksNothing(DevContext* x, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t c3,
                                      uint32_t sep, void* out)
{
    auto a = Words(x->dirtyA, x->dirtyRows), b = Words(x->dirtyB, x->dirtyRows);
    uint32_t r = SetColor(x, c0, c1, c2, c3, sep, out);
    Put(x->dirtyA, a), Put(x->dirtyB, b);
    return r;
}
uint32_t DEVPROC SetColorOneDitherRow(DevContext* x, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t c3,
                                      uint32_t sep, void* out)
{
    uint32_t r = SetColor(x, c0, c1, c2, c3, sep, out);
    if (x->state & DEV_DITHER) memcpy(static_cast<uint8_t*>(out) + 8, out, 4);
    return r;
}
uint32_t DEVPROC ClearKeepsA(DevContext* x, uint32_t what)
{
    auto a = Words(x->dirtyA, x->dirtyRows);
    uint32_t r = Clear(x, what);
    Put(x->dirtyA, a);
    return r;
}
// The zoom-2 clear as first written: halved size from the unhalved origin.
uint32_t DEVPROC ClearUnhalvedOrigin(DevContext* x, uint32_t what)
{
    DevRect16 keep = x->update;
    if ((x->state & DEV_ZOOM2) && x->zoomX == DEV_ZOOM_2 && x->zoomY == DEV_ZOOM_2) {
        int16_t w = static_cast<int16_t>((keep.x1 - keep.x0) >> 1), h = static_cast<int16_t>((keep.y1 - keep.y0) >> 1);
        x->update = DevRect16{static_cast<int16_t>(2 * keep.x0), static_cast<int16_t>(2 * keep.y0),
                              static_cast<int16_t>(2 * (keep.x0 + w)), static_cast<int16_t>(2 * (keep.y0 + h))};
    }
    uint32_t r = Clear(x, what);
    x->update = keep;
    return r;
}
uint32_t DEVPROC ClearOnePastTheEnd(DevContext* x, uint32_t what)
{
    DevRect16 u = x->update;
    uint32_t a = u.y0 >= 0 && static_cast<uint32_t>(u.y0) < x->dirtyRows ? x->dirtyA[u.y0] : 0;
    uint32_t r = Clear(x, what);
    Canvas* c = Canvas::Of(x);
    if ((what & DEV_CLEAR_COLOR) && a && u.x1 > u.x0 && u.y1 > u.y0 && static_cast<uint32_t>(u.x1) < c->backWidth() &&
        !(x->state & DEV_ZOOM2))
        memcpy(c->BackPixel(u.x1, u.y0), x->clearPattern, c->bpp());
    return r;
}
uint32_t DEVPROC PresentOnlyA(DevContext* x)
{
    auto b = Words(x->dirtyB, x->dirtyRows);
    memset(x->dirtyB, 0, 4 * x->dirtyRows);
    uint32_t r = Present(x);
    (void)b;
    return r;
}
uint32_t DEVPROC PresentKeepsB(DevContext* x)
{
    auto b = Words(x->dirtyB, x->dirtyRows);
    uint32_t r = Present(x);
    Put(x->dirtyB, b);
    return r;
}
uint32_t DEVPROC PresentNoRepaint(DevContext* x)
{
    uint32_t repaint = x->repaint, all = g_repaintAll;
    x->repaint = 0;
    g_repaintAll = 0;
    uint32_t r = Present(x);
    x->repaint = repaint;
    g_repaintAll = all;
    return r;
}
uint32_t DEVPROC TrapezoidsReturnOne(DevContext* x, DevTrapEdge* l, DevTrapEdge* r, DevTrapGradients* g)
{
    Trapezoids(x, l, r, g);
    return 1;
}
uint32_t DEVPROC TrapezoidsMarkNothing(DevContext* x, DevTrapEdge* l, DevTrapEdge* r, DevTrapGradients* g)
{
    auto a = Words(x->dirtyA, x->dirtyRows);
    uint32_t result = Trapezoids(x, l, r, g);
    Put(x->dirtyA, a);
    return result;
}
uint32_t DEVPROC LineGenericNoRepaint(DevContext* x, DevLineRecord* line, uint32_t pass)
{
    uint32_t all = g_repaintAll;
    uint32_t r = LineGeneric(x, line, pass);
    g_repaintAll = all;
    return r;
}
uint32_t DEVPROC LineWithoutDepth(DevContext* x, DevLineRecord* line, uint32_t pass)
{
    return Line<kLineFsD>(x, line, pass);
}

ServiceFamily Named(const DevFamily* f, uint32_t bpp) { return ServiceFamily{"reference", f, bpp, kServices | kLines}; }

}  // namespace

TEST(Comparisons, TheReferenceAsAFamilyAgrees)
{
    const DevFamily f = ReferenceFamily();
    for (uint32_t bpp = 1; bpp <= 4; ++bpp) {
        ServiceFamily s = Named(&f, bpp);
        EXPECT_EQ("", CheckSetColor(s)) << bpp;
        EXPECT_EQ("", CheckClear(s)) << bpp;
        EXPECT_EQ("", CheckPresent(s)) << bpp;
        EXPECT_EQ("", CheckTrapezoidForwarder(s)) << bpp;
        EXPECT_EQ("", CheckLineForwarder(s)) << bpp;
        EXPECT_EQ("", CheckFrames(s)) << bpp;
    }
    EXPECT_EQ("", CheckLines(Named(&f, 1)));
}

TEST(Comparisons, AMissingRoutineFails)
{
    DevFamily f = ReferenceFamily();
    f.clear = nullptr;
    f.presentTranslated = nullptr;
    f.lineCount = 3;
    EXPECT_NE("", CheckClear(Named(&f, 2)));
    EXPECT_NE("", CheckPresent(Named(&f, 1)));
    EXPECT_NE("", CheckLines(Named(&f, 1)));
}

TEST(Comparisons, EachPlantedFaultIsCaught)
{
    struct Fault {
        const char* name;
        uint32_t bpp;
        void (*plant)(DevFamily&);
        std::string (*check)(const ServiceFamily&);
    } faults[] = {
        {"set colour marks no mask", 2, [](DevFamily& f) { f.setColor = SetColorMarksNothing; }, CheckSetColor},
        {"dithered pattern without its odd row", 1, [](DevFamily& f) { f.setColor = SetColorOneDitherRow; },
         CheckSetColor},
        {"clear leaves A", 3, [](DevFamily& f) { f.clear = ClearKeepsA; }, CheckClear},
        {"zoom-2 clear from the unhalved origin", 4, [](DevFamily& f) { f.clear = ClearUnhalvedOrigin; },
         CheckClear},
        {"clear one pixel past the end", 1, [](DevFamily& f) { f.clear = ClearOnePastTheEnd; }, CheckClear},
        {"present of A only", 2, [](DevFamily& f) { f.present = PresentOnlyA; }, CheckPresent},
        {"present leaves B", 4, [](DevFamily& f) { f.present = PresentKeepsB; }, CheckPresent},
        {"present ignores repaints", 3, [](DevFamily& f) { f.present = PresentNoRepaint; }, CheckPresent},
        {"translated present untranslated", 1, [](DevFamily& f) { f.presentTranslated = Present; }, CheckPresent},
        {"forwarder answers 1", 4, [](DevFamily& f) { f.trapezoidsGeneric = TrapezoidsReturnOne; },
         CheckTrapezoidForwarder},
        {"forwarder marks nothing", 2, [](DevFamily& f) { f.trapezoidsGeneric = TrapezoidsMarkNothing; },
         CheckTrapezoidForwarder},
        {"line forwarder asks no repaint", 3, [](DevFamily& f) { f.lineGeneric = LineGenericNoRepaint; },
         CheckLineForwarder},
        {"frames whose present leaves B", 2, [](DevFamily& f) { f.present = PresentKeepsB; }, CheckFrames},
        {"frames whose clear leaves A", 1, [](DevFamily& f) { f.clear = ClearKeepsA; }, CheckFrames},
        {"depth line without the depth test", 1,
         [](DevFamily& f) {
             static DevLineVariant lines[4];
             memcpy(lines, kRefLines, sizeof lines);
             lines[1].proc = LineWithoutDepth;
             f.lines = lines;
         },
         CheckLines},
    };
    for (const Fault& k : faults) {
        DevFamily f = ReferenceFamily();
        k.plant(f);
        EXPECT_NE("", k.check(Named(&f, k.bpp))) << k.name << " was not caught";
    }
}
