#include "checks.h"
#include "service_ref.h"

#include <string.h>

namespace svcref {

std::string Pair::Check(const std::string& what)
{
    std::string d = got.Diff(want) + got.Damage();
    std::string r = want.Damage();
    if (!r.empty()) d += "(reference) " + r;
    return d.empty() ? d : what + ":\n" + d;
}

std::string Describe(const char* routine, const char* name, const Display& d, uint32_t shift)
{
    return std::string(routine) + " \"" + name + "\" on " + DisplayName(d) + ", blocks of " +
           std::to_string(1u << shift);
}

namespace {

// A clear pattern of the family's form: the 16-bit pixel twice, four
// 24-bit pixels, anything for 8 and 32 bits.
void NoisePattern(Canvas& c, uint32_t seed)
{
    uint8_t* p = c.ctx()->clearPattern;
    Noise(seed).Fill(p, 32);
    if (c.bpp() == 2) p[2] = p[0], p[3] = p[1];
    if (c.bpp() == 3)
        for (int i = 3; i < 12; ++i) p[i] = p[i % 3];
}

// A result that differs from the reference's.
std::string Result(const std::string& what, uint32_t got, uint32_t want)
{
    if (got == want) return "";
    return what + ": returned " + std::to_string(got) + ", expected " + std::to_string(want) + "\n";
}

// Keeps the report short: the first differing cases are enough.
void Add(std::string& out, const std::string& more)
{
    if (out.size() < 4000) out += more;
}

}  // namespace

// ---------------------------------------------------------------- set colour

namespace {
enum Out { kFill, kClear, kElsewhere };
struct SetColorCase {
    const char* name;
    uint32_t state, c0, c1, c2, c3, separate;
    Out out;
};
const SetColorCase kSetColorCases[] = {
    {"packed clear colour", 0, 0x00336699, 1, 2, 3, 0, kClear},
    {"packed with a top byte", 0, 0xab10e0f7, 0, 0, 0, 0, kFill},
    {"separate clear colour", 0, 0x00ff8000, 0x00400000, 0x00010000, 0x01020000, 1, kClear},
    {"separate past the range", 0, 0x01230000, 0xffff0000, 0x7fffffff, 0x00ffffff, 1, kFill},
    {"white", 0, 0x00ffffff, 0, 0, 0, 0, kFill},
    {"black elsewhere", 0, 0, 0, 0, 0, 0, kElsewhere},
    {"dithered white clear", DEV_DITHER, 0x00ffffff, 0, 0, 0, 0, kClear},
    {"dithered separate", DEV_DITHER, 0x00a01234, 0x00557777, 0x00c0ffff, 0x00100000, 1, kFill},
    {"dithered packed elsewhere", DEV_DITHER, 0x0080c040, 0, 0, 0, 0, kElsewhere},
    {"colour index", DEV_COLORINDEX, 0x234, 7, 8, 9, 1, kFill},
    {"colour index clear", DEV_COLORINDEX, 0x1ff, 0, 0, 0, 0, kClear},
    {"colour index dithered", DEV_COLORINDEX | DEV_DITHER, 0xff, 0, 0, 0, 1, kFill},
    {"colour index dithered clear", DEV_COLORINDEX | DEV_DITHER, 0x7e, 0, 0, 0, 0, kClear},
    {"other state bits", DEV_ZOOM2 | DEV_DEPTH | DEV_SMOOTH, 0x00203040, 0, 0, 0, 0, kClear},
};

void* OutOf(Canvas& c, Out out)
{
    switch (out) {
    case kFill: return c.ctx()->fillPattern;
    case kClear: return c.ctx()->clearPattern;
    case kElsewhere: break;
    }
    return c.ctx()->reserved32;  // 160 bytes of the library's own
}
}  // namespace

std::string CheckSetColor(const ServiceFamily& f)
{
    if (!f.family->setColor) return std::string(f.name) + " is registered without a set-colour routine";
    std::string out;
    uint32_t seed = 100;
    for (const Display& d : DisplaysFor(f.bytesPerPixel))
        for (const SetColorCase& k : kSetColorCases) {
            CanvasSpec s;
            s.display = d;
            Pair p(s, ++seed);
            p.Both([&](Canvas& c) {
                c.NoiseMasks(seed);
                c.ctx()->state = k.state;
            });
            uint32_t got = RunWithGlobals(p.got, [&] {
                return f.family->setColor(p.got.ctx(), k.c0, k.c1, k.c2, k.c3, k.separate, OutOf(p.got, k.out));
            });
            uint32_t want = RefSetColor(p.want, k.c0, k.c1, k.c2, k.c3, k.separate, OutOf(p.want, k.out));
            const std::string what = Describe("set colour", k.name, d, 5);
            Add(out, Result(what, got, want) + p.Check(what));
        }
    return out;
}

// --------------------------------------------------------------------- clear

namespace {
struct ClearCase {
    const char* name;
    uint16_t width, height;
    uint32_t shift;
    bool zoom2;
    DevRect16 rect;
    uint32_t what, state;
    bool bottomUp;
    uint32_t align;
};
const ClearCase kClearCases[] = {
    {"whole window", 100, 12, 5, false, {0, 0, 100, 12}, 0x420, DEV_DEPTH, false, 0},
    {"colour only", 100, 12, 5, false, {0, 0, 100, 12}, 0x20, DEV_DEPTH, false, 0},
    {"depth only", 100, 12, 5, false, {0, 0, 100, 12}, 0x400, DEV_DEPTH, false, 0},
    {"depth without the depth state", 100, 12, 5, false, {0, 0, 100, 12}, 0x420, 0, false, 0},
    {"nothing asked", 100, 12, 5, false, {0, 0, 100, 12}, 0, DEV_DEPTH, false, 0},
    {"other bits ignored", 100, 12, 5, false, {0, 0, 100, 12}, 0xffffffff, DEV_DEPTH, false, 0},
    {"head, blocks and tail", 128, 12, 5, false, {29, 1, 97, 11}, 0x420, DEV_DEPTH, false, 0},
    {"aligned left edge", 128, 12, 5, false, {32, 0, 100, 12}, 0x420, DEV_DEPTH, false, 0},
    {"exactly one block", 128, 6, 5, false, {64, 0, 96, 6}, 0x420, DEV_DEPTH, false, 0},
    {"narrow inside a block", 100, 12, 4, false, {3, 1, 9, 10}, 0x420, DEV_DEPTH, false, 0},
    {"narrow across a boundary", 100, 12, 5, false, {30, 0, 36, 12}, 0x420, DEV_DEPTH, false, 0},
    {"one pixel", 100, 12, 5, false, {31, 4, 32, 5}, 0x420, DEV_DEPTH, false, 0},
    {"blocks past 31", 700, 6, 4, false, {5, 0, 690, 6}, 0x420, DEV_DEPTH, false, 0},
    {"start past block 31", 700, 6, 4, false, {517, 1, 700, 5}, 0x420, DEV_DEPTH, false, 0},
    {"wide window, 64-pixel blocks", 1300, 4, 6, false, {0, 0, 1300, 4}, 0x420, DEV_DEPTH, false, 0},
    {"wide window, 128-pixel blocks", 2100, 4, 7, false, {130, 1, 2000, 3}, 0x420, DEV_DEPTH, false, 0},
    {"zoom 2, whole window", 128, 16, 5, true, {0, 0, 128, 16}, 0x420, DEV_DEPTH, false, 0},
    {"zoom 2, odd origin", 128, 16, 4, true, {3, 5, 77, 13}, 0x420, DEV_DEPTH, false, 0},
    {"empty rectangle", 100, 12, 5, false, {10, 2, 10, 8}, 0x420, DEV_DEPTH, false, 0},
    {"inverted rectangle", 100, 12, 5, false, {20, 2, 10, 8}, 0x420, DEV_DEPTH, false, 0},
    {"no rows", 100, 12, 5, false, {5, 6, 50, 6}, 0x420, DEV_DEPTH, false, 0},
    {"bottom-up buffers", 100, 12, 5, false, {7, 2, 93, 12}, 0x420, DEV_DEPTH, true, 0},
    {"back buffer 1 past alignment", 100, 6, 4, false, {1, 0, 99, 6}, 0x20, 0, false, 1},
    {"back buffer 2 past alignment", 100, 6, 4, false, {2, 0, 97, 6}, 0x420, DEV_DEPTH, false, 2},
    {"back buffer 3 past alignment", 100, 6, 5, false, {0, 0, 100, 6}, 0x20, 0, false, 3},
};
}  // namespace

std::string CheckClear(const ServiceFamily& f)
{
    if (!f.family->clear) return std::string(f.name) + " is registered without a clear routine";
    std::string out;
    uint32_t seed = 200;
    const Display d = DisplaysFor(f.bytesPerPixel)[0];
    for (const ClearCase& k : kClearCases)
        for (int round = 0; round < 3; ++round) {
            CanvasSpec s;
            s.display = d;
            s.width = k.width, s.height = k.height;
            s.dirtyShift = k.shift;
            s.zoom2 = k.zoom2;
            s.bottomUp = k.bottomUp;
            s.backAlign = k.align;
            Pair p(s, ++seed);
            p.Both([&](Canvas& c) {
                if (round == 2) c.SetMasks(0xffffffff, 0);
                else c.NoiseMasks(seed);
                c.ctx()->state |= k.state;
                c.ctx()->update = k.rect;
                NoisePattern(c, seed);
            });
            uint32_t got = RunWithGlobals(p.got, [&] { return f.family->clear(p.got.ctx(), k.what); });
            uint32_t want = RefClear(p.want, k.what);
            const std::string what = Describe("clear", k.name, d, k.shift);
            Add(out, Result(what, got, want) + p.Check(what));
        }
    return out;
}

// ------------------------------------------------------------------- present

namespace {
enum Masks { kNoiseMasks, kNoMasks, kAllOnes };
struct PresentCase {
    const char* name;
    uint16_t width, height;
    uint32_t shift;
    bool zoom2;
    std::vector<DevRect16> rects;
    Masks masks;
    uint32_t repaintAll, repaint;
    bool translated;
    bool bottomUp = false;
};
const std::vector<PresentCase>& PresentCases()
{
    static const std::vector<PresentCase> cases = {
        {"whole window", 100, 12, 5, false, {{0, 0, 100, 12}}, kNoiseMasks, 0, 0, false},
        {"several rectangles", 100, 12, 5, false, {{0, 0, 40, 5}, {41, 3, 100, 12}, {7, 6, 9, 7}}, kNoiseMasks,
         0, 0, false},
        {"narrow across a boundary", 100, 12, 5, false, {{30, 0, 35, 12}}, kNoiseMasks, 0, 0, false},
        {"narrow inside a block", 100, 12, 4, false, {{17, 0, 20, 12}, {50, 2, 51, 9}}, kNoiseMasks, 0, 0, false},
        {"head, blocks and tail", 128, 12, 5, false, {{29, 1, 97, 11}}, kNoiseMasks, 0, 0, false},
        {"blocks past 31", 700, 6, 4, false, {{0, 0, 700, 6}, {517, 1, 690, 5}}, kNoiseMasks, 0, 0, false},
        {"wide window, 64-pixel blocks", 1300, 4, 6, false, {{0, 0, 1300, 4}}, kNoiseMasks, 0, 0, false},
        {"wide window, 128-pixel blocks", 2100, 4, 7, false, {{3, 0, 2100, 4}, {1000, 1, 1001, 3}}, kNoiseMasks,
         0, 0, false},
        {"zoom 2", 128, 16, 5, true, {{0, 0, 128, 16}}, kNoiseMasks, 0, 0, false},
        {"zoom 2, odd rectangles", 128, 16, 4, true, {{3, 1, 77, 15}, {5, 5, 6, 6}, {99, 3, 128, 9}},
         kNoiseMasks, 0, 0, false},
        {"repaint all", 100, 12, 5, false, {{0, 0, 100, 12}}, kNoMasks, 1, 0, false},
        {"repaint all other than 1", 100, 12, 5, false, {{0, 0, 100, 12}}, kNoMasks, 2, 0, false},
        {"repaint request", 100, 12, 5, false, {{4, 0, 60, 12}}, kNoiseMasks, 0, 1, false},
        {"nothing marked", 100, 12, 5, false, {{0, 0, 100, 12}}, kNoMasks, 0, 0, false},
        {"no rectangles", 100, 12, 5, false, {}, kAllOnes, 0, 0, false},
        {"translated", 100, 12, 5, false, {{0, 0, 100, 12}, {3, 1, 4, 2}}, kNoiseMasks, 0, 0, true},
        {"translated, odd edges", 128, 6, 4, false, {{1, 0, 127, 6}}, kNoiseMasks, 0, 0, true},
        {"translated zoom 2", 128, 16, 5, true, {{1, 0, 127, 16}}, kNoiseMasks, 0, 0, true},
        {"rectangles reaching past the window", 100, 12, 5, false, {{-10, -5, 110, 4}, {90, 8, 300, 40}},
         kNoiseMasks, 0, 0, false},
        {"zoom 2, past the window", 128, 16, 4, true, {{-3, -1, 129, 17}}, kNoiseMasks, 0, 0, false},
        {"bottom-up back buffer", 100, 12, 4, false, {{0, 0, 100, 12}, {33, 2, 70, 9}}, kNoiseMasks, 0, 0, false,
         true},
        {"bottom-up, zoom 2", 128, 16, 5, true, {{0, 0, 128, 16}}, kNoiseMasks, 0, 0, false, true},
        {"bottom-up, translated", 100, 12, 5, false, {{0, 0, 100, 12}}, kNoiseMasks, 0, 0, true, true},
    };
    return cases;
}

void PrepareMasks(Canvas& c, Masks m, uint32_t seed)
{
    if (m == kNoiseMasks) c.NoiseMasks(seed);
    else c.SetMasks(m == kAllOnes ? 0xffffffff : 0, m == kAllOnes ? 0x12345678 : 0);
}

DevPresentProc PresentOf(const DevFamily* f, bool translated)
{
    return translated ? f->presentTranslated : f->present;
}
}  // namespace

std::string CheckPresent(const ServiceFamily& f)
{
    if (!f.family->present) return std::string(f.name) + " is registered without a present routine";
    if (!f.family->presentTranslated) return std::string(f.name) + " has no present for translated contexts";
    std::string out;
    uint32_t seed = 300;
    const Display d = DisplaysFor(f.bytesPerPixel)[0];
    for (const PresentCase& k : PresentCases()) {
        if (k.translated && f.bytesPerPixel != 1) continue;  // only the 8-bit family translates
        CanvasSpec s;
        s.display = d;
        s.width = k.width, s.height = k.height;
        s.dirtyShift = k.shift;
        s.zoom2 = k.zoom2;
        s.bottomUp = k.bottomUp;
        s.winX = 7, s.winY = 2;
        Pair p(s, ++seed);
        p.Both([&](Canvas& c) {
            PrepareMasks(c, k.masks, seed);
            c.SetClipRects(k.rects);
            c.globals.repaintAll = k.repaintAll;
            c.ctx()->repaint = k.repaint;
            if (k.translated) c.UseTranslation();
        });
        uint32_t got = RunWithGlobals(p.got, [&] { return PresentOf(f.family, k.translated)(p.got.ctx()); });
        uint32_t want = RefPresent(p.want, k.translated, nullptr, nullptr);
        const std::string what = Describe("present", k.name, d, k.shift);
        Add(out, Result(what, got, want) + p.Check(what));
    }
    return out;
}

// ---------------------------------------------------------------- forwarders

namespace {
DevTrapEdge Edge(int32_t x, int32_t dxdy, int rows, int32_t y = 0)
{
    DevTrapEdge e;
    Noise(static_cast<uint32_t>(x * 7 + rows)).Fill(&e, sizeof e);  // unread words hold anything
    e.x = static_cast<uint32_t>(x);
    e.dxdy = static_cast<uint32_t>(dxdy);
    e.rowCount = rows;
    e.y = static_cast<uint32_t>(y);
    return e;
}
struct TrapCase {
    const char* name;
    uint16_t width, height;
    uint32_t shift;
    std::vector<DevTrapEdge> left, right;
};
const std::vector<TrapCase>& TrapCases()
{
    static const std::vector<TrapCase> cases = {
        {"one record each", 100, 12, 5, {Edge(10 << 16, 0x8000, 8, 2 << 16)}, {Edge(50 << 16, 0x14000, 8)}},
        {"left records 3 and 5", 128, 12, 5,
         {Edge(20 << 16, -0x18000, 3, 1 << 16), Edge(90 << 16, 0x10000, 5)}, {Edge(40 << 16, 0x30000, 8)}},
        {"record without rows", 128, 12, 4,
         {Edge(5 << 16, 0, 2, 0), Edge(70 << 16, 0, 0), Edge(60 << 16, -0x20000, 4)},
         {Edge(30 << 16, 0x8000, 1), Edge(100 << 16, 0, 5)}},
        {"ends meet and cross", 100, 12, 5, {Edge(60 << 16, -0x40000, 10, 1 << 16)}, {Edge(20 << 16, 0x40000, 10)}},
        {"same pixel", 100, 12, 5, {Edge((40 << 16) + 0x100, 0, 4, 3 << 16)}, {Edge((40 << 16) + 0xff00, 0, 4)}},
        {"blocks past 31", 700, 6, 4, {Edge(3 << 16, 0x640000, 6, 0)}, {Edge(20 << 16, 0x6e0000, 6)}},
        {"right edge of a 32-block window", 1024, 4, 5, {Edge(992 << 16, 0, 4, 0)}, {Edge(1024 << 16, 0, 4)}},
        {"no rows", 100, 12, 5, {Edge(1 << 16, 0, 0, 4 << 16)}, {Edge(9 << 16, 0, 0)}},
        {"wide window", 2100, 4, 7, {Edge(0, 0x1000000, 4, 0)}, {Edge(2100 << 16, -0x10000, 4)}},
    };
    return cases;
}
}  // namespace

std::string CheckTrapezoidForwarder(const ServiceFamily& f)
{
    if (!f.family->trapezoidsGeneric) return std::string(f.name) + " is registered without a trapezoid forwarder";
    std::string out;
    uint32_t seed = 500;
    for (const TrapCase& k : TrapCases()) {
        CanvasSpec s;
        s.display = DisplaysFor(f.bytesPerPixel)[0];
        s.width = k.width, s.height = k.height;
        s.dirtyShift = k.shift;
        Pair p(s, ++seed);
        p.Both([&](Canvas& c) {
            c.NoiseMasks(seed);
            c.baseResult = 0x5eed0000u + seed;
        });
        std::vector<DevTrapEdge> left = k.left, right = k.right;
        DevTrapGradients g;
        Noise(seed).Fill(&g, sizeof g);
        uint32_t got = RunWithGlobals(
            p.got, [&] { return f.family->trapezoidsGeneric(p.got.ctx(), left.data(), right.data(), &g); });
        uint32_t want = RefTrapezoidsGeneric(p.want, left.data(), right.data(), &g);
        const std::string what = Describe("trapezoid forwarder", k.name, s.display, k.shift);
        Add(out, Result(what, got, want) + p.Check(what));
    }
    return out;
}

std::string CheckLineForwarder(const ServiceFamily& f)
{
    if (!f.family->lineGeneric) return std::string(f.name) + " is registered without a line forwarder";
    std::string out;
    for (uint32_t repaintAll : {0u, 1u}) {
        CanvasSpec s;
        s.display = DisplaysFor(f.bytesPerPixel)[0];
        Pair p(s, 600 + repaintAll);
        p.Both([&](Canvas& c) {
            c.NoiseMasks(601);
            c.globals.repaintAll = repaintAll;
            c.baseResult = 0xfeed;
        });
        LineRecord line;
        Noise(602).Fill(&line, sizeof line);
        uint32_t got = RunWithGlobals(p.got, [&] { return f.family->lineGeneric(p.got.ctx(), line.get(), 0x1234567); });
        const std::string what = "line forwarder with g_repaintAll " + std::to_string(repaintAll);
        const uint32_t want = RefLineGeneric(p.want, line.get(), 0x1234567);
        Add(out, Result(what, got, want) + p.Check(what));
    }
    return out;
}

// --------------------------------------------------------------------- lines

namespace {
struct LineKey {
    uint32_t key;
    LineKind kind;
    const char* name;
};
const LineKey kLineKeys[] = {
    {0x1000, kLineFsD, "FsD"}, {0x1008, kLineFsZD, "FsZD"}, {0x1001, kLineSsD, "SsD"}, {0x1009, kLineSsZD, "SsZD"},
};

DevLineProc LineOf(const DevFamily* f, uint32_t key)
{
    for (uint32_t i = 0; i < f->lineCount; ++i)
        if (f->lines[i].key == key) return f->lines[i].proc;
    return nullptr;
}

struct LineCase {
    const char* name;
    uint16_t width, height;
    uint32_t shift;
    int32_t x0, y0, x1, y1;  // 16.16
    bool bottomUp = false;
};
const LineCase kLineCases[] = {
    {"one pixel", 64, 8, 5, 2 << 16, 3 << 16, (2 << 16) + 0xffff, (3 << 16) + 0x8000},
    {"shallow", 64, 12, 5, 0, 0, 10 << 16, 5 << 16},
    {"steep", 64, 12, 5, 0, 0, 10 << 16, 9 << 16},
    {"diagonal backwards", 64, 12, 5, 10 << 16, 10 << 16, 0, 0},
    {"vertical up", 64, 12, 4, 33 << 16, 11 << 16, (33 << 16) + 0x4000, 1 << 16},
    {"horizontal across blocks", 64, 4, 5, 30 << 16, 1 << 16, 33 << 16, 1 << 16},
    {"fractions", 128, 40, 5, 0x3c000, 0x27fff, 0x601234, 0x1f0001},
    {"right to left, down", 128, 40, 4, 120 << 16, 2 << 16, 1 << 16, 39 << 16},
    {"blocks past 31", 700, 6, 4, 480 << 16, 0, 699 << 16, 5 << 16},
    {"long smooth", 256, 2, 5, 0, 1 << 16, 255 << 16, 1 << 16},
    {"wide window", 2100, 4, 7, 2 << 16, 3 << 16, 2099 << 16, 0},
    {"bottom-up buffers", 128, 40, 5, 3 << 16, 1 << 16, 100 << 16, 37 << 16, true},
};
}  // namespace

std::string CheckLines(const ServiceFamily& f)
{
    if (f.bytesPerPixel != 1) return "only the 8-bit family has lines of its own";
    std::string out;
    uint32_t seed = 700;
    for (const LineKey& key : kLineKeys) {
        DevLineProc fn = LineOf(f.family, key.key);
        if (!fn) {
            Add(out, std::string(f.name) + " has no line routine for key " + key.name + "\n");
            continue;
        }
        for (const LineCase& k : kLineCases) {
            CanvasSpec s;
            s.display = Display8(static_cast<uint8_t>(seed));
            s.width = k.width, s.height = k.height;
            s.dirtyShift = k.shift;
            s.bottomUp = k.bottomUp;
            Pair p(s, ++seed);
            p.Both([&](Canvas& c) {
                c.NoiseMasks(seed);
                c.ctx()->state = key.key;
                // Stored depths around the line's own, so some pixels pass and some fail.
                Noise n(seed);
                for (uint32_t y = 0; y < k.height; ++y)
                    for (uint32_t x = 0; x < k.width; ++x) *c.DepthAt(x, y) = static_cast<uint16_t>(0x4000 + n.Below(0x800));
            });
            LineRecord line;
            Noise(seed * 3).Fill(&line, sizeof line);  // unread words hold anything
            line.v[0].x = static_cast<uint32_t>(k.x0), line.v[0].y = static_cast<uint32_t>(k.y0);
            line.v[1].x = static_cast<uint32_t>(k.x1), line.v[1].y = static_cast<uint32_t>(k.y1);
            line.v[0].z = 0x4400u << 12;
            line.v[0].zStep = static_cast<uint32_t>(static_cast<int32_t>(seed % 2 ? -0x3000 : 0x2800));
            line.v[0].ch0 = 0x00102000, line.v[0].ch1 = 0x00f00000, line.v[0].ch2 = 0x00808080;
            line.v[0].ch0Step = 0x10101, line.v[0].ch1Step = static_cast<uint32_t>(-0x9000), line.v[0].ch2Step = 0x3333;
            uint32_t got = RunWithGlobals(p.got, [&] { return fn(p.got.ctx(), line.get(), 0xabcdef); });
            const std::string what = Describe((std::string("line ") + key.name).c_str(), k.name, s.display, k.shift);
            const uint32_t want = RefLine8(p.want, key.kind, line);
            Add(out, Result(what, got, want) + p.Check(what));
        }
    }
    return out;
}


// ---------------------------------------------------------------- frames

std::string CheckFrames(const ServiceFamily& f)
{
    const DevFamily* fam = f.family;
    if (!fam->setColor || !fam->clear || !fam->present || !fam->trapezoidsGeneric || !fam->lineGeneric)
        return std::string(f.name) + " is registered without all of its services";
    std::string out;
    uint32_t seed = 800;
    for (bool zoom2 : {false, true}) {
        CanvasSpec s;
        s.display = DisplaysFor(f.bytesPerPixel)[0];
        s.width = 160, s.height = 24;
        s.dirtyShift = 4;
        s.zoom2 = zoom2;
        Pair p(s, ++seed);
        p.Both([&](Canvas& c) {
            c.NoiseMasks(seed);
            c.ctx()->state |= DEV_DEPTH;
            c.SetClipRects({DevRect16{0, 0, 100, 24}, DevRect16{100, 0, 160, 11}, DevRect16{117, 11, 160, 24}});
        });
        // Frame 1 sets a new clear colour; frames 2 and 3 draw in fewer places.
        std::vector<std::vector<DevTrapEdge>> shapes = {
            {Edge(4 << 16, 0x18000, 9, 1 << 16), Edge(40 << 16, 0x10000, 9)},
            {Edge(70 << 16, -0x8000, 5, 3 << 16), Edge(90 << 16, 0x30000, 5)},
            {Edge(150 << 16, 0, 2, 7 << 16), Edge(120 << 16, 0, 2)},
        };
        DevTrapGradients g = {};
        LineRecord line = {};
        for (int frame = 0; frame < 3; ++frame) {
            const std::string what = std::string("frame ") + std::to_string(frame + 1) + (zoom2 ? " at zoom 2" : "");
            uint32_t color = 0x00102030u * (frame + 1);
            uint32_t got = RunWithGlobals(p.got, [&] {
                uint32_t r = fam->setColor(p.got.ctx(), color, 0, 0, 0, frame == 0 ? 0 : 1, p.got.ctx()->clearPattern);
                r += fam->setColor(p.got.ctx(), ~color, 0, 0, 0, 0, p.got.ctx()->fillPattern);
                r += fam->clear(p.got.ctx(), 0x420);
                for (int k = frame; k < 3; ++k)
                    r += fam->trapezoidsGeneric(p.got.ctx(), &shapes[k][0], &shapes[k][1], &g);
                if (frame == 1) r += fam->lineGeneric(p.got.ctx(), line.get(), 3);
                return r + fam->present(p.got.ctx());
            });
            uint32_t want = RefSetColor(p.want, color, 0, 0, 0, frame == 0 ? 0 : 1, p.want.ctx()->clearPattern);
            want += RefSetColor(p.want, ~color, 0, 0, 0, 0, p.want.ctx()->fillPattern);
            want += RefClear(p.want, 0x420);
            for (int k = frame; k < 3; ++k) want += RefTrapezoidsGeneric(p.want, &shapes[k][0], &shapes[k][1], &g);
            if (frame == 1) want += RefLineGeneric(p.want, line.get(), 3);
            want += RefPresent(p.want, false, nullptr, nullptr);
            Add(out, Result(what, got, want) + p.Check(what));
        }
    }
    return out;
}

}  // namespace svcref
