// The 16-bit trapezoid routines on small worked cases: pixel composition
// and texel conversion on 5-6-5 and 5-5-5, the three addressing modes, the
// colour key, the lights, and the coordinate lanes' worked steps. The
// variant table, the bit-for-bit comparison over the case table and the
// dirty blocks of every family are checked in tests/raster_trap.
#include "bpp16/bpp16_trapezoids.h"
#include "bpp16/lanes.h"
#include "bpp16/pixel16.h"
#include "bpp16/trapwalk.h"
#include "frame/globals.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <type_traits>
#include <vector>

namespace {

const uint32_t kAffine = DEV_TEXTURE | DEV_AFFINE;

struct Layout {
    const char* name;
    DevColorMasks masks;
    DevTexelShift16 texelShift;
    DevPixelCompose16 compose;
};
const Layout k565 = {"5-6-5", {0xf800, 0x07e0, 0x001f}, {8, 13, 19}, {13, 0xfc0000, 19, 0xf80000, 8, 0xf80000}};
const Layout k555 = {"5-5-5", {0x7c00, 0x03e0, 0x001f}, {9, 14, 19}, {14, 0xf80000, 19, 0xf80000, 9, 0xf80000}};

// The lanes a key picks, one row per feature choice of the walk's lane
// tables (the depth, colour, coordinate and light lanes).
template <uint32_t Key, uint32_t Light = 0>
using Lanes = raster::TrapLanes<raster::Pixel16, raster::TrapFeatures<Key, Light>>;
template <uint32_t Key, uint32_t Light = 0>
using Scale = raster::PolicyScale<raster::Pixel16, raster::TrapFeatures<Key, Light>>;
template <class A, class B>
constexpr bool kIs = std::is_same_v<A, B>;

static_assert(kIs<Lanes<0>::Depth, raster::NoLane>);
static_assert(kIs<Lanes<DEV_DEPTH>::Depth, raster::ExactEdgeDepthLane>);
static_assert(kIs<Lanes<DEV_DEPTH | DEV_SMOOTH>::Depth, raster::DepthLane>);
static_assert(kIs<Lanes<DEV_DEPTH | DEV_TEXTURE>::Depth, raster::DepthLane>);
static_assert(kIs<Lanes<0>::Colour, raster::NoLane>);
static_assert(kIs<Lanes<DEV_SMOOTH>::Colour, raster::ChannelLane<3, Scale<DEV_SMOOTH>>>);
static_assert(kIs<Lanes<DEV_SMOOTH | DEV_COLORINDEX>::Colour,
                  raster::ChannelLane<1, Scale<DEV_SMOOTH | DEV_COLORINDEX>>>);
static_assert(kIs<Lanes<DEV_SMOOTH | DEV_TEXTURE>::Colour, raster::NoLane>);
static_assert(kIs<Lanes<DEV_SMOOTH>::Coords, raster::NoLane>);
static_assert(kIs<Lanes<DEV_AFFINE>::Coords, raster::NoLane>);
static_assert(kIs<Lanes<kAffine>::Coords, raster::AffineUVLane>);
static_assert(kIs<Lanes<DEV_TEXTURE>::Coords, raster::PerspectiveUVLane>);
static_assert(kIs<Lanes<DEV_TEXTURE>::Light, raster::NoLight>);
static_assert(kIs<Lanes<DEV_MODULATE>::Light, raster::NoLight>);
static_assert(kIs<Lanes<DEV_TEXTURE | DEV_MODULATE, DEV_LIGHT_MR>::Light, raster::LightMRFlat>);
static_assert(kIs<Lanes<DEV_TEXTURE | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MR>::Light, raster::LightMRSmooth>);
static_assert(kIs<Lanes<DEV_TEXTURE | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MM>::Light, raster::LightMM>);
static_assert(kIs<Lanes<DEV_TEXTURE | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MS>::Light, raster::LightMS>);

// A 15-bit colour as the 5-5-5 device shows it: red moves to the top field.
uint16_t Show555(uint32_t w) {
    return static_cast<uint16_t>((w & 0x1f) << 10 | (w & 0x3e0) | ((w >> 10) & 0x1f));
}

void Use(const Layout& l) {
    g_colorMasks = l.masks;
    g_texelShift16 = l.texelShift;
    g_pixelCompose16 = l.compose;
    g_dirtyShift = 5;
}

DevTrapezoidsProc Routine(const char* suffix) {
    const std::string name = std::string("BPP16_DevTrapezoids") + suffix;
    for (uint32_t i = 0; i < g_bpp16TrapVariantCount; ++i)
        if (name == g_bpp16TrapVariants[i].name) return g_bpp16TrapVariants[i].proc;
    ADD_FAILURE() << "no routine " << name;
    return nullptr;
}

// A 16-bit colour buffer, depth buffer, DirtyMask A and texture, each with
// guard words around it that no routine may touch.
class Canvas16 {
public:
    static constexpr int kW = 1040, kH = 6, kGuard = 16;
    static constexpr uint16_t kNoise = 0x5a5a;

    Canvas16()
        : color_(2 * kGuard + kW * kH + 2, kNoise), depth_(2 * kGuard + kW * kH, 0xffff),
          dirty_(2 * kGuard + kH, 0), texels_(2 * kGuard + 512 * 512, 0) {
        memset(&ctx_, 0, sizeof ctx_);
        memset(&tex_, 0xcd, sizeof tex_);
        // Rows start 4-aligned plus one pixel, so that x parity gives both alignments.
        uint16_t* first = color_.data() + kGuard;
        if (reinterpret_cast<uintptr_t>(first) % 4 == 0) ++first;
        color0_ = first;
        ctx_.back.bits = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(first));
        ctx_.back.pitch = 2 * kW;
        ctx_.drawBuffer = &ctx_.back;
        ctx_.depth.bits = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(depth_.data() + kGuard));
        ctx_.depth.pitch = 2 * kW;
        ctx_.dirtyA = dirty_.data() + kGuard;
        ctx_.texture = &tex_;
        tex_.texels = texels_.data() + kGuard;
        for (int i = 0; i < 512 * 512; ++i) Texel(i) = static_cast<uint16_t>(i * 7 + 1);
        Mode(TEXADDR_POW2, 9, 0);
        SetPattern(0x12341234);
    }
    DevContext* ctx() { return &ctx_; }
    DevTexture& tex() { return tex_; }
    uint16_t& Texel(int i) { return texels_[kGuard + i]; }
    uint16_t& Pixel(int x, int y) { return color0_[y * kW + x]; }
    uint16_t& Depth(int x, int y) { return depth_[kGuard + y * kW + x]; }
    uint32_t& Dirty(int y) { return dirty_[kGuard + y]; }
    void SetPattern(uint32_t p) { memcpy(ctx_.fillPattern, &p, 4); }
    void Mode(uint32_t mode, uint8_t a, uint8_t b) {
        tex_.addressMode = mode;
        tex_.rowShift = a;
        tex_.rowShift2 = b;
        tex_.uMask = 0x3fffffff;
        tex_.vMask = 0x3fffffff;
    }
    // Guards untouched, and every pixel outside [x0, x1) of row y still noise.
    bool Untouched(int y, int x0, int x1) const {
        for (int i = 0; i < kGuard; ++i)
            if (dirty_[i] || dirty_[dirty_.size() - 1 - i] || texels_[i] || texels_[texels_.size() - 1 - i])
                return false;
        for (const uint16_t* p = color_.data(); p < color_.data() + color_.size(); ++p) {
            const long i = p - color0_;
            const bool inside = i >= y * kW + x0 && i < y * kW + x1;
            if (!inside && *p != kNoise) return false;
        }
        return true;
    }

private:
    DevContext ctx_;
    DevTexture tex_;
    std::vector<uint16_t> color_, depth_;
    std::vector<uint32_t> dirty_;
    std::vector<uint16_t> texels_;
    uint16_t* color0_;
};

struct Edge {
    DevTrapEdge e;
    explicit Edge(uint32_t x, uint32_t dxdy = 0, int32_t rows = 1) {
        memset(&e, 0xcd, sizeof e);  // unread words hold noise
        e.x = x;
        e.dxdy = dxdy;
        e.rowCount = rows;
        e.y = 0;
    }
};

DevTrapGradients Zero() {
    DevTrapGradients g;
    memset(&g, 0, sizeof g);
    return g;
}

// One span [x0, x1) on row y.
uint32_t Span(DevTrapezoidsProc proc, Canvas16& c, int y, int x0, int x1, const DevTrapEdge& leftIn,
              const DevTrapGradients& g) {
    DevTrapEdge left = leftIn, right = Edge(static_cast<uint32_t>(x1) << 16).e;
    left.x = static_cast<uint32_t>(x0) << 16;
    left.y = static_cast<uint32_t>(y) << 16;
    left.rowCount = right.rowCount = 1;
    DevTrapGradients grad = g;
    return proc(c.ctx(), &left, &right, &grad);
}

// Flat fill: every pixel of the span gets the pattern's low half, whatever
// the span's alignment and length, and nothing else is written.
TEST(Raster16, FlatFillCoversExactlyTheSpan) {
    Use(k565);
    for (int x0 : {0, 1, 2, 3}) {
        for (int n : {1, 2, 3, 4, 5, 15, 16, 17, 21, 35, 64, 1000}) {
            Canvas16 c;
            c.SetPattern(0xbeefbeef);
            Span(Routine("Fs"), c, 2, x0, x0 + n, Edge(0).e, Zero());
            for (int x = x0; x < x0 + n; ++x) ASSERT_EQ(c.Pixel(x, 2), 0xbeef) << x0 << "+" << n << " at " << x;
            EXPECT_TRUE(c.Untouched(2, x0, x0 + n)) << x0 << "+" << n;
        }
    }
}

TEST(Raster16, SmoothChannelsComposeWithoutClamp) {
    const struct {
        const Layout* layout;
        uint32_t c0, c1, c2;
        uint16_t want;
    } cases[] = {
        {&k565, 0xff0000, 0xff0000, 0xff0000, 0xffff},
        {&k565, 0x800000, 0, 0, 0x8000},
        {&k565, 0x1000000, 0xff0000, 0, 0x07e0},  // red at 256.0 stores 0
        {&k565, 0xfff80000, 0, 0, 0xf800},          // -0.5 keeps its integer part's bits
        {&k555, 0xff0000, 0xff0000, 0xff0000, 0x7fff},
        {&k555, 0, 0x80ffff, 0x0f0000, 0x0201},
    };
    for (const auto& t : cases) {
        Use(*t.layout);
        Canvas16 c;
        Edge e(0);
        e.e.ch0 = t.c0;
        e.e.ch1 = t.c1;
        e.e.ch2 = t.c2;
        Span(Routine("Ss"), c, 1, 7, 8, e.e, Zero());
        EXPECT_EQ(c.Pixel(7, 1), t.want) << t.layout->name << " " << std::hex << t.c0 << " " << t.c1 << " " << t.c2;
    }
}

// A smooth red from 250.0 rising 1.0 a pixel: past 255 the field wraps.
TEST(Raster16, SmoothChannelOvershootWraps) {
    Use(k555);
    Canvas16 c;
    Edge e(0);
    e.e.ch0 = 250u << 16;
    e.e.ch1 = e.e.ch2 = 0;
    DevTrapGradients g = Zero();
    g.dch0dx = 0x10000;
    Span(Routine("Ss"), c, 0, 0, 11, e.e, g);
    for (int x = 0; x < 11; ++x) EXPECT_EQ(c.Pixel(x, 0), (((250u + x) & 0xf8) >> 3) << 10) << x;
}

// Texels shown through both layouts: 5-5-5 keeps the 15 bits, 5-6-5 gives
// green a zero low bit; bit 15 never shows.
TEST(Raster16, TexelConversion) {
    const struct {
        const Layout* layout;
        uint16_t texel, want;
    } cases[] = {
        {&k565, 0x7fff, 0xffdf}, {&k565, 0xffff, 0xffdf}, {&k565, 0x001f, 0xf800},
        {&k565, 0x03e0, 0x07c0}, {&k565, 0x7c00, 0x001f}, {&k555, 0x7fff, 0x7fff},
        {&k555, 0x8001, 0x0400}, {&k555, 0x001f, 0x7c00}, {&k555, 0x7c21, 0x043f},
    };
    for (const auto& t : cases) {
        Use(*t.layout);
        Canvas16 c;
        c.Texel(0) = t.texel;
        Edge e(0);
        e.e.u = e.e.v = 0;
        Span(Routine("Tx"), c, 0, 4, 5, e.e, Zero());
        EXPECT_EQ(c.Pixel(4, 0), t.want) << t.layout->name << " texel " << std::hex << t.texel;
    }
}

// The texel each mode reads, seen through 5-5-5.
TEST(Raster16, AddressingModes) {
    const struct {
        const char* what;
        uint32_t mode;
        uint8_t a, b;
        uint32_t width, height, uMask, u, v;
        int index;
    } cases[] = {
        {"power of two, a 8: column 3, row 2", 0, 8, 0, 0, 0, 0x3fffffff, 3u << 21, 2u << 21, 3 + 2 * 256},
        {"row shift 40 counts as 8", 0, 40, 0, 0, 0, 0x3fffffff, 3u << 21, 2u << 21, 3 + 2 * 256},
        {"row shift 32 counts as 0", 0, 32, 0, 0, 0, 0x3fffffff, 3u << 21, 2u << 21, 3 + 2},
        {"the mask repeats u", 0, 8, 0, 0, 0, 0x1fffff | (15u << 21), 19u << 21, 0, 3},
        {"u of -0.5 under an 8-bit mask", 0, 8, 0, 0, 0, 0x1fffffff, 0xfff00000, 0, 255},
        {"sum a 8 b 7: rows of 384", 1, 8, 7, 0, 0, 0x3fffffff, 3u << 21, 2u << 21, 3 + 2 * 384},
        {"sum with shifts 35 and 33 as 3 and 1", 1, 35, 33, 0, 0, 0x3fffffff, 1u << 21, 2u << 21, 1 + 2 * 10},
        {"scaled 100 x 50 at one half", 2, 0, 0, 100, 50, 0, 0x100000, 0x100000, 50 + 25 * 100},
        {"scaled: 1.0 samples as 0", 7, 0, 0, 100, 50, 0, 0x200000, 0x600000, 0},
        {"scaled 7 x 5 just below 1.0", 0xffffffff, 0, 0, 7, 5, 0, 0x1fffff, 0x1fffff, 6 + 4 * 7},
    };
    Use(k555);
    for (const auto& t : cases) {
        Canvas16 c;
        c.Mode(t.mode, t.a, t.b);
        c.tex().width = t.width;
        c.tex().height = t.height;
        c.tex().uMask = t.uMask;
        Edge e(0);
        e.e.u = t.u;
        e.e.v = t.v;
        Span(Routine("Tx"), c, 0, 0, 1, e.e, Zero());
        EXPECT_EQ(c.Pixel(0, 0), Show555(c.Texel(t.index))) << t.what;
    }
}

// The key compares all 32 bits with the zero-extended texel; a keyed pixel
// writes neither colour nor depth, but its span is marked and u goes on.
TEST(Raster16, ColourKey) {
    Use(k555);
    const struct {
        uint32_t key;
        bool keyed;
    } cases[] = {{0x8123, true}, {0x0123, false}, {0x10123, false}, {0xffff8123, false}};
    for (const auto& t : cases) {
        Canvas16 c;
        c.Mode(TEXADDR_POW2, 9, 0);
        c.Texel(0) = 0x0042;
        c.Texel(1) = 0x8123;
        c.Texel(2) = 0x0077;
        c.ctx()->colorKey = t.key;
        c.Depth(1, 3) = 0x2000;
        Edge e(0);
        e.e.u = e.e.v = 0;
        e.e.z = 0x1000 << 12;
        DevTrapGradients g = Zero();
        g.dudx = 1u << 21;
        Span(Routine("TxTrZ"), c, 3, 0, 3, e.e, g);
        EXPECT_EQ(c.Pixel(0, 3), Show555(0x0042));
        EXPECT_EQ(c.Pixel(1, 3), t.keyed ? Canvas16::kNoise : Show555(0x0123)) << std::hex << t.key;
        EXPECT_EQ(c.Depth(1, 3), t.keyed ? 0x2000 : 0x1000) << std::hex << t.key;
        EXPECT_EQ(c.Pixel(2, 3), Show555(0x0077));
        EXPECT_EQ(c.Dirty(3), 1u);
    }
}

// Each light on a chosen texel, seen through 5-5-5.
TEST(Raster16, Lights) {
    const uint32_t full = 0x1000000;
    const auto rgb = [](uint32_t r, uint32_t g, uint32_t b) { return r | g << 5 | b << 10; };
    const struct {
        const char* what;
        const char* routine;
        uint32_t texel, color, c0, c1, c2;
        uint32_t want;
    } cases[] = {
        {"MR smooth white keeps", "TxMRSs", rgb(31, 17, 3), 0, 0xff0000, 0xff0000, 0xff0000, rgb(31, 17, 3)},
        {"MR smooth black", "TxMRSs", rgb(31, 17, 3), 0, 0, 0, 0, 0},
        {"MR smooth 128 takes 15", "TxMRSs", rgb(10, 31, 16), 0, 0x800000, 0x800000, 0x800000, rgb(0, 16, 1)},
        {"MR smooth 256.0 acts as 0", "TxMRSs", rgb(31, 31, 31), 0, full, 0xff0000, 0xff0000, rgb(0, 31, 31)},
        {"MR flat white keeps", "TxMRFs", rgb(5, 6, 7), 0xffffffff, 0, 0, 0, rgb(5, 6, 7)},
        {"MR flat red only", "TxMRFs", rgb(5, 6, 7), 0x000000ff, 0, 0, 0, rgb(5, 0, 0)},
        {"MR flat 128 green", "TxMRFs", rgb(31, 20, 31), 0x00ff80ff, 0, 0, 0, rgb(31, 5, 31)},
        {"MM full keeps", "TxMMSs", rgb(31, 1, 16), 0, full, 0, 0, rgb(31, 1, 16)},
        {"MM 0xffffff: 31 to 30", "TxMMSs", rgb(31, 31, 31), 0, 0xffffff, 0, 0, rgb(30, 30, 30)},
        {"MM half", "TxMMSs", rgb(31, 1, 0), 0, 0x800000, 0, 0, rgb(15, 0, 0)},
        {"MM above full runs into the next field", "TxMMSs", rgb(31, 0, 0), 0, 2 * full, 0, 0, 62},
        {"MM above full, blue loses its top", "TxMMSs", rgb(0, 0, 31), 0, 2 * full, 0, 0, (62u << 10) & 0x7fff},
        {"MM negative fills with ones", "TxMMSs", rgb(0, 1, 0), 0, 0xff000000, 0, 0, 0xffe0},
        {"MS full keeps", "TxMSSs", rgb(31, 1, 16), 0, full, 0, 0, rgb(31, 1, 16)},
        {"MS S 255.0 alone", "TxMSSs", rgb(0, 3, 9), 0, 0, 0xff0000, 0, rgb(31, 31, 31)},
        {"MS zero is black", "TxMSSs", rgb(7, 3, 9), 0, 0, 0, 0, 0},
        {"MS saturates each channel", "TxMSSs", rgb(31, 0, 16), 0, full, 0x400000, 0, rgb(31, 8, 24)},
        {"MS zero channel becomes S >> 19", "TxMSSs", 0, 0, 0x345678, 0x180000, 0, rgb(3, 3, 3)},
    };
    Use(k555);
    for (const auto& t : cases) {
        for (const char* prefix : {"", "P"}) {
            Canvas16 c;
            c.Texel(0) = static_cast<uint16_t>(t.texel);
            c.ctx()->color = t.color;
            Edge e(0);
            e.e.u = e.e.v = 0;
            e.e.uStepX = e.e.vStepX = e.e.uStepY = e.e.vStepY = 0;
            e.e.ch0 = t.c0;
            e.e.ch1 = t.c1;
            e.e.ch2 = t.c2;
            Span(Routine((std::string(prefix) + t.routine).c_str()), c, 0, 9, 10, e.e, Zero());
            EXPECT_EQ(c.Pixel(9, 0), Show555(t.want)) << prefix << t.what;
        }
    }
}

// Lights step along the span also past keyed and depth-failed pixels.
TEST(Raster16, LightAndCoordinatesStepPastRejectedPixels) {
    Use(k555);
    Canvas16 c;
    for (int i = 0; i < 4; ++i) c.Texel(i) = 31;  // red 31
    c.Texel(1) = 0x8000;                          // keyed
    c.ctx()->colorKey = 0x8000;
    Edge e(0);
    e.e.u = e.e.v = 0;
    e.e.uStepX = 1u << 21;
    e.e.vStepX = e.e.uStepY = e.e.vStepY = 0;
    e.e.z = 0x10 << 12;
    c.Depth(2, 0) = 0xf;
    e.e.ch0 = 0x400000;  // 64.0, rising 64.0 a pixel
    DevTrapGradients g = Zero();
    g.dch0dx = 0x400000;
    Span(Routine("PTxTrMMSsZ"), c, 0, 0, 4, e.e, g);
    EXPECT_EQ(c.Pixel(0, 0), Show555(7));  // 31 * 64 / 256
    EXPECT_EQ(c.Pixel(1, 0), Canvas16::kNoise);
    EXPECT_EQ(c.Pixel(2, 0), Canvas16::kNoise);
    EXPECT_EQ(c.Pixel(3, 0), Show555(31));  // at 256.0
    EXPECT_EQ(c.Depth(2, 0), 0xf);
}

// Affine: the row step takes dudx >> 16 times the exact left step; the span
// start alternates 1 and 2 columns while u advances evenly.
TEST(Raster16, AffineRowStepFollowsTheExactEdge) {
    Use(k555);
    Canvas16 c;
    c.Mode(TEXADDR_POW2, 9, 0);
    DevTrapEdge left = Edge(0, 0x18000, 5).e, right = Edge(200u << 16, 0, 5).e;
    left.u = 0;
    left.v = 0;
    DevTrapGradients g = Zero();
    g.dudx = 0x1f8000;  // >> 16 = 31: the row step is 31 * 1.5 texels / 32
    Routine("Tx")(c.ctx(), &left, &right, &g);
    for (int row = 0; row < 5; ++row) {
        const int xl = (row * 0x18000) >> 16;
        for (int i = 0; i < 10; ++i) {
            const uint32_t u = row * (31u * 0x18000) + i * 0x1f8000u;
            EXPECT_EQ(c.Pixel(xl + i, row), Show555(c.Texel(u >> 21))) << row << " " << i;
        }
    }
    // A negative dudx of -0x18000 gives -2 in the row step.
    EXPECT_EQ(raster::Sar(0xfffe8000u, 16), 0xfffffffeu);
    raster::AffineUVLane lane;
    DevTrapGradients n = Zero();
    n.dudx = 0xfffe8000u;
    n.dudy = 5;
    lane.Init(nullptr, &n);
    DevTrapEdge e = Edge(0, 0x30000).e;
    e.u = 0x1000000;
    e.v = 0;
    lane.Load(&e, 3);
    lane.Row(true);  // no k + 1 correction
    EXPECT_EQ(lane.u, 0x1000000u - 6 * 0x10000u + 5);
}

// The perspective lane's worked steps.
TEST(Raster16, PerspectiveRowSteps) {
    struct Step {
        uint32_t k;
        bool extra;
        uint32_t L, dL, eL;
    };
    const struct {
        const char* what;
        uint32_t L, dL, eL, A, B, C;
        Step step;
    } cases[] = {
        {"k 2", 0x400000, 0x100000, 0x80000, 0x1000, 0x800, 0x400, {2, false, 0x682000, 0x102800, 0x81400}},
        {"k 2, moved 3", 0x400000, 0x100000, 0x80000, 0x1000, 0x800, 0x400, {2, true, 0x784800, 0x103800, 0x81c00}},
        {"k 0", 100, 10, 1000, 3, 5, 7, {0, false, 1100, 15, 1007}},
        {"k 0, moved 1", 100, 10, 1000, 3, 5, 7, {0, true, 1115, 18, 1012}},
        // k -1: h = -A; after dL += B, L += A - dL + eL; dL -= A; eL += C - B.
        {"k -1", 1000, 10, 100, 3, 5, 7, {0xffffffff, false, 1000 + 3 - 15 + 100, 12, 102}},
        {"k -1, moved 0", 1000, 10, 100, 3, 5, 7, {0xffffffff, true, 1000 + 3 - 15 + 100 + 12, 15, 107}},
        // k 2, A 3: h = 1, one unit short of the two pixel steps.
        {"k 2, odd A", 0, 10, 0, 3, 0, 0, {2, false, 22, 16, 0}},
        // k -2, A 3: h = -5, a term of 10 where the exact one is 9.
        {"k -2, odd A", 0, 10, 0, 3, 0, 0, {0xfffffffe, false, 0u - 2 * (10 - 5), 4, 0}},
        {"wraps at 32 bits", 0xfffffff0, 0x7fffffff, 0, 0, 1, 0, {1, false, 0xfffffff0u + 0x80000000u, 0x80000000u, 1}},
    };
    for (const auto& t : cases) {
        raster::QuadraticCoord q;
        q.A = t.A;
        q.B = t.B;
        q.C = t.C;
        q.Load(t.L, t.dL, t.eL, t.step.k);
        q.Row(t.step.extra);
        EXPECT_EQ(q.L, t.step.L) << t.what;
        EXPECT_EQ(q.dL, t.step.dL) << t.what;
        EXPECT_EQ(q.eL, t.step.eL) << t.what;
    }
}

// Through a routine: a one-pixel span fetches at exactly uL, vL; rows follow
// the whole-pixel edge movement; a new left record restarts everything.
TEST(Raster16, PerspectiveThroughTheRoutine) {
    Use(k555);
    Canvas16 c;
    c.Mode(TEXADDR_POW2, 9, 0);
    DevTrapEdge left[2] = {Edge(0, 0x18000, 3).e, Edge(50u << 16, 0, 2).e};
    DevTrapEdge right = Edge(100u << 16, 0, 5).e;
    left[0].u = 1u << 21;
    left[0].v = 0;
    left[0].uStepX = 1u << 21;  // one texel a pixel
    left[0].uStepY = 4u << 21;  // four a row
    left[0].vStepX = left[0].vStepY = 0;
    left[1].u = 300u << 21;
    left[1].v = 1u << 21;
    left[1].uStepX = left[1].uStepY = left[1].vStepX = left[1].vStepY = 0;
    DevTrapGradients g = Zero();
    Routine("PTx")(c.ctx(), left, &right, &g);
    // Row r starts at column xl(r); u there = 1 + 4r + xl(r) texels.
    for (int row = 0; row < 3; ++row) {
        const int xl = (row * 0x18000) >> 16;
        EXPECT_EQ(c.Pixel(xl, row), Show555(c.Texel(1 + 4 * row + xl))) << row;
        EXPECT_EQ(c.Pixel(xl + 5, row), Show555(c.Texel(1 + 4 * row + xl + 5))) << row;
    }
    for (int row = 3; row < 5; ++row) EXPECT_EQ(c.Pixel(50, row), Show555(c.Texel(300 + 512))) << row;
}

// Flat depth follows the exact edge; smooth depth the first pixel.
TEST(Raster16, DepthRowSteps) {
    Use(k565);
    for (const char* r : {"FsZ", "SsZ"}) {
        Canvas16 c;
        DevTrapEdge left = Edge(100u << 16, 0x1c000, 5).e, right = Edge(200u << 16, 0, 5).e;
        left.z = 0x1000 << 12;
        left.ch0 = left.ch1 = left.ch2 = 0;
        DevTrapGradients g = Zero();
        g.dzdx = 0x3000;
        g.dzdy = 0x2000;
        Routine(r)(c.ctx(), &left, &right, &g);
        const bool exact = std::string(r) == "FsZ";
        for (int row = 0; row < 5; ++row) {
            const int xl = 100 + ((row * 0x1c000) >> 16);
            const uint32_t z = exact ? (0x1000u << 12) + row * ((0x3000u * 7 / 4) + 0x2000)
                                     : (0x1000u << 12) + row * 0x2000 + (xl - 100) * 0x3000u;
            EXPECT_EQ(c.Depth(xl, row), (z >> 12) & 0xffff) << r << " row " << row;
        }
    }
}

}  // namespace
