// Which form of its loops a routine runs: the fixed copies of the 16-bit
// family (5-6-5, 5-5-5) and of the 32-bit family (red 16, green 8, blue 0)
// for exactly their layouts, the table-driven copy for every other one,
// with the format tables filled by the frame from a device description.
// Every form draws the same pixels, so nothing else would notice a wrong
// choice. Then the walk's dispatch itself, on a policy whose forms draw
// differently.
#include "bpp16/pixel16.h"
#include "bpp32/pixel32.h"
#include "canvas.h"
#include "frame/services.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace {

using raster::FormIndex;
using raster::PixelForms;
using raster::RoutineFormFor;
using raster::RoutineForms;
using raster::TrapFeatures;

// Routines that compose pixels (they choose), and flat ones (they do not).
using Ss = TrapFeatures<DEV_SMOOTH, 0>;
using SsZ = TrapFeatures<DEV_SMOOTH | DEV_DEPTH, 0>;
using Tx = TrapFeatures<DEV_TEXTURE | DEV_AFFINE, 0>;
using PTxZ = TrapFeatures<DEV_TEXTURE | DEV_DEPTH, 0>;
using PTxTrMRFs = TrapFeatures<DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE, DEV_LIGHT_MR>;
using Fs = TrapFeatures<0, 0>;
using FsZ = TrapFeatures<DEV_DEPTH, 0>;

using Forms16 = raster::Pixel16::Forms;
using Forms32 = raster::Pixel32::Forms;
const unsigned k565 = FormIndex<Forms16, raster::Pixel16Of<raster::Layout565>>::value;
const unsigned k555 = FormIndex<Forms16, raster::Pixel16Of<raster::Layout555>>::value;
const unsigned kTables16 = FormIndex<Forms16, raster::Pixel16Of<raster::Layout16Tables>>::value;
const unsigned kRgb32 = FormIndex<Forms32, raster::Pixel32Rgb>::value;
const unsigned kTables32 = FormIndex<Forms32, raster::Pixel32Any>::value;

struct LayoutCase {
    const char* name;
    uint16_t bitsPerPixel, bytesPerPixel;
    uint32_t masks[3], maxima[3];  // red, green, blue
    unsigned form;                 // what every composing routine runs
};

const LayoutCase kLayouts[] = {
    {"5-6-5", 16, 2, {0xf800, 0x07e0, 0x001f}, {31, 63, 31}, k565},
    {"5-5-5", 16, 2, {0x7c00, 0x03e0, 0x001f}, {31, 31, 31}, k555},
    {"5-6-5 blue high", 16, 2, {0x001f, 0x07e0, 0xf800}, {31, 63, 31}, kTables16},
    {"4-4-4", 16, 2, {0x0f00, 0x00f0, 0x000f}, {15, 15, 15}, kTables16},
    {"6-5-5", 16, 2, {0xfc00, 0x03e0, 0x001f}, {63, 31, 31}, kTables16},
    // Only the device masks and texel shifts differ from 5-5-5.
    {"5-5-5 with a six-bit red mask", 16, 2, {0xfc00, 0x03e0, 0x001f}, {31, 31, 31}, kTables16},
    // Only the device masks differ: a bit apart from blue's field.
    {"5-5-5 with a stray bit", 16, 2, {0x7c00, 0x03e0, 0x801f}, {31, 31, 31}, kTables16},
    // Only the composition differs from 5-6-5: five bits of green.
    {"5-6-5 with green maximum 31", 16, 2, {0xf800, 0x07e0, 0x001f}, {31, 31, 31}, kTables16},
    // Only the texel shifts differ: a depth the tables do not derive them for.
    {"5-5-5 reported as 15 bits", 15, 2, {0x7c00, 0x03e0, 0x001f}, {31, 31, 31}, kTables16},
    {"32-bit 16/8/0", 32, 4, {0xff0000, 0x00ff00, 0x0000ff}, {255, 255, 255}, kRgb32},
    {"32-bit 0/8/16", 32, 4, {0x0000ff, 0x00ff00, 0xff0000}, {255, 255, 255}, kTables32},
    {"32-bit 8/16/24", 32, 4, {0x00ff00, 0xff0000, 0xff000000}, {255, 255, 255}, kTables32},
    {"32-bit 16/24/0", 32, 4, {0xff0000, 0xff000000, 0x0000ff}, {255, 255, 255}, kTables32},
    {"32-bit 16/0/8", 32, 4, {0xff0000, 0x0000ff, 0x00ff00}, {255, 255, 255}, kTables32},
    {"32-bit 24/8/0", 32, 4, {0xff000000, 0x00ff00, 0x0000ff}, {255, 255, 255}, kTables32},
    {"32-bit 16/8/8", 32, 4, {0xff0000, 0x00ff00, 0x00ff00}, {255, 255, 255}, kTables32},
};

class PixelFormChoice : public ::testing::Test {
protected:
    void SetUp() override {
        dciOpen_ = g_dciOpen;
        bytesPerPixel_ = g_bytesPerPixel;
        g_dciOpen = 1;  // no frame-buffer mapping here
    }
    void TearDown() override {
        g_dciOpen = dciOpen_;
        g_bytesPerPixel = bytesPerPixel_;
    }
    // The tables as the frame fills them on the direct path.
    static void Init(const LayoutCase& c) {
        DeviceInfo info = {};
        info.width = 640;
        info.height = 480;
        info.bitsPerPixel = c.bitsPerPixel;
        info.bytesPerPixel = c.bytesPerPixel;
        info.redMask = c.masks[0];
        info.greenMask = c.masks[1];
        info.blueMask = c.masks[2];
        info.redMax = c.maxima[0];
        info.greenMax = c.maxima[1];
        info.blueMax = c.maxima[2];
        g_bytesPerPixel = c.bytesPerPixel;
        DirectPixelFormatInit(&info);
    }

private:
    uint32_t dciOpen_ = 0, bytesPerPixel_ = 0;
};

template <class P>
void ExpectComposingRoutinesRun(unsigned form) {
    EXPECT_EQ(form, (RoutineFormFor<P, Ss>())) << "Ss";
    EXPECT_EQ(form, (RoutineFormFor<P, SsZ>())) << "SsZ";
    EXPECT_EQ(form, (RoutineFormFor<P, Tx>())) << "Tx";
    EXPECT_EQ(form, (RoutineFormFor<P, PTxZ>())) << "PTxZ";
    EXPECT_EQ(form, (RoutineFormFor<P, PTxTrMRFs>())) << "PTxTrMRFs";
}

TEST_F(PixelFormChoice, FixedCopiesForTheirLayoutsOnly) {
    for (const LayoutCase& c : kLayouts) {
        SCOPED_TRACE(c.name);
        Init(c);
        if (c.bytesPerPixel == 2)
            ExpectComposingRoutinesRun<raster::Pixel16>(c.form);
        else
            ExpectComposingRoutinesRun<raster::Pixel32>(c.form);
    }
}

// The flat routines' only colour is the pattern: they hold the table-driven
// copy alone, whatever the layout.
TEST_F(PixelFormChoice, FlatRoutinesHoldTheTableDrivenCopyAlone) {
    EXPECT_TRUE((std::is_same_v<RoutineForms<raster::Pixel16, Fs>, PixelForms<raster::Pixel16Of<raster::Layout16Tables>>>));
    EXPECT_TRUE((std::is_same_v<RoutineForms<raster::Pixel16, FsZ>, PixelForms<raster::Pixel16Of<raster::Layout16Tables>>>));
    EXPECT_TRUE((std::is_same_v<RoutineForms<raster::Pixel32, Fs>, PixelForms<raster::Pixel32Any>>));
    EXPECT_TRUE((std::is_same_v<RoutineForms<raster::Pixel32, FsZ>, PixelForms<raster::Pixel32Any>>));
    EXPECT_TRUE((std::is_same_v<RoutineForms<raster::Pixel16, PTxZ>, Forms16>));
    EXPECT_TRUE((std::is_same_v<RoutineForms<raster::Pixel32, PTxZ>, Forms32>));
    for (const LayoutCase& c : kLayouts) {
        SCOPED_TRACE(c.name);
        Init(c);
        EXPECT_EQ(0u, (RoutineFormFor<raster::Pixel16, Fs>()));
        EXPECT_EQ(0u, (RoutineFormFor<raster::Pixel32, FsZ>()));
    }
}

// ------------------------------------------------------------- dispatch

// Three forms of a 32-bit policy that store their own number instead of a
// pixel; the first two match when asked for, the last serves the rest.
unsigned g_wantedForm;
unsigned g_asked[4];

template <uint32_t Mark>
struct MarkedForm : raster::Pixel32Any {
    static bool Matches() {
        ++g_asked[Mark];
        return g_wantedForm == Mark;
    }
    template <class F>
    static void FillFlat(const Call&, uint8_t* p, uint32_t n, uint32_t) {
        for (; n != 0; --n, p += 4) raster::Store32(p, Mark);
    }
    template <class F>
    static void StoreSmooth(const Call&, uint8_t* p, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {
        raster::Store32(p, Mark);
    }
};
struct MarkedPolicy {
    using Forms = PixelForms<MarkedForm<1>, MarkedForm<2>, MarkedForm<3>>;
};

template <uint32_t Key>
uint32_t DEVPROC MarkedRoutine(DevContext* ctx, DevTrapEdge* left, DevTrapEdge* right, DevTrapGradients* g) {
    return raster::DevTrapWalk<MarkedPolicy, Key>(ctx, left, right, g);
}

struct DispatchCase {
    unsigned wanted;
    uint32_t smoothPixel, flatPixel;
};

TEST(PixelFormDispatch, TheWalkRunsTheChosenFormOncePerCall) {
    const DispatchCase cases[] = {{1, 1, 3}, {2, 2, 3}, {3, 3, 3}, {0, 3, 3}};
    g_dirtyShift = 5;
    for (const DispatchCase& d : cases) {
        SCOPED_TRACE(d.wanted);
        g_wantedForm = d.wanted;
        EXPECT_EQ(d.smoothPixel - 1, (RoutineFormFor<MarkedPolicy, Ss>()));

        CanvasShape shape;
        shape.width = 64;
        shape.height = 4;
        shape.bytesPerPixel = 4;
        Canvas canvas(shape, 7);
        for (unsigned& a : g_asked) a = 0;
        EXPECT_EQ(1u, DrawSpan(MarkedRoutine<DEV_SMOOTH>, canvas, 1, 3, 40));
        for (int x = 3; x < 40; ++x) ASSERT_EQ(d.smoothPixel, canvas.PixelValue(x, 1)) << x;
        // Asked in order, each at most once, until one matches.
        EXPECT_EQ(1u, g_asked[1]);
        EXPECT_EQ(d.wanted == 1 ? 0u : 1u, g_asked[2]);
        EXPECT_EQ(0u, g_asked[3]);

        for (unsigned& a : g_asked) a = 0;
        EXPECT_EQ(1u, DrawSpan(MarkedRoutine<0>, canvas, 2, 5, 30));
        for (int x = 5; x < 30; ++x) ASSERT_EQ(d.flatPixel, canvas.PixelValue(x, 2)) << x;
        EXPECT_EQ(0u, g_asked[1] + g_asked[2] + g_asked[3]) << "a flat routine asked";
    }
}

}  // namespace
