// Every registered family's service routines and lines, taken from its
// family record, against the reference, byte for byte: colour, depth,
// DirtyMask A and B, the frame buffer, the context, the guard bytes, the
// base-table calls and the DCI provider's calls. Families join in
// families.cpp; a routine missing from a registered family fails here.
#include "checks.h"
#include "dcistandin.h"
#include "frame/services.h"
#include "service_ref.h"

#include <gtest/gtest.h>
#include <string.h>

using namespace svcref;

namespace {
std::string ParamName(const ::testing::TestParamInfo<ServiceFamily>& info) { return info.param.name; }
}  // namespace

class ServicesMatch : public ::testing::TestWithParam<ServiceFamily> {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ServicesMatch);

TEST_P(ServicesMatch, SetColor) { EXPECT_EQ("", CheckSetColor(GetParam())); }
TEST_P(ServicesMatch, Clear) { EXPECT_EQ("", CheckClear(GetParam())); }
TEST_P(ServicesMatch, Present) { EXPECT_EQ("", CheckPresent(GetParam())); }
TEST_P(ServicesMatch, TrapezoidForwarder) { EXPECT_EQ("", CheckTrapezoidForwarder(GetParam())); }
TEST_P(ServicesMatch, LineForwarder) { EXPECT_EQ("", CheckLineForwarder(GetParam())); }
TEST_P(ServicesMatch, FramesInARow) { EXPECT_EQ("", CheckFrames(GetParam())); }

class LinesMatch : public ::testing::TestWithParam<ServiceFamily> {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(LinesMatch);

TEST_P(LinesMatch, Reference) { EXPECT_EQ("", CheckLines(GetParam())); }

// The DCI path: begin and end access on the stand-in provider's surface, the
// clip-list refresh through the window watch, and the refused access.
namespace {
struct DciCase {
    const char* name;
    uint16_t width, height;
    uint32_t shift;
    bool zoom2;
    bool refused, changed, clipFails, callback;
    std::vector<DevRect16> libraryRects;   // the list the library keeps
    std::vector<DevRect16> watchRects;     // window-relative; the provider lists them on the screen
    int reported;                          // the count in the provider's region header
    uint32_t repaintAll;
};
const std::vector<DciCase>& DciCases()
{
    static const std::vector<DciCase> cases = {
        {"granted, no change", 100, 12, 5, false, false, false, false, true, {{0, 0, 100, 12}}, {}, 0, 0},
        {"clip list changed", 100, 12, 5, false, false, true, false, true, {{0, 0, 100, 12}},
         {{0, 0, 40, 12}, {50, 3, 100, 9}}, 2, 0},
        {"changed, no callback", 100, 12, 5, false, false, true, false, false, {{0, 0, 100, 12}},
         {{10, 1, 90, 11}}, 1, 0},
        {"refused access", 100, 12, 5, false, true, true, false, true, {{0, 0, 100, 12}}, {{0, 0, 50, 12}}, 1, 1},
        {"more reported than written", 100, 12, 5, false, false, true, false, true, {},
         std::vector<DevRect16>(40, DevRect16{2, 1, 98, 11}), 45, 0},
        {"negative count", 100, 12, 5, false, false, true, false, true, {{0, 0, 100, 12}}, {{0, 0, 100, 12}}, -3,
         0},
        {"region too large", 100, 12, 5, false, false, true, false, true, {{0, 0, 100, 12}},
         std::vector<DevRect16>(41, DevRect16{0, 0, 100, 12}), 41, 0},
        {"clip query fails", 100, 12, 5, false, false, true, true, true, {{0, 0, 100, 12}}, {{0, 0, 9, 9}}, 1, 0},
        {"zoom 2, changed", 128, 16, 4, true, false, true, false, true, {}, {{0, 0, 128, 16}, {3, 3, 9, 15}}, 2,
         0},
        {"watched rectangles past the window", 100, 12, 5, false, false, true, false, true, {},
         {{-20, -4, 60, 30}, {70, 2, 140, 9}}, 2, 0},
        {"wide window, changed", 2100, 6, 7, false, false, true, false, true, {},
         {{0, 0, 2100, 3}, {129, 3, 1500, 6}}, 2, 1},
    };
    return cases;
}

const DWORD kDciWidth = 2200, kDciHeight = 40, kDciStride = 2200 * 4 + 64;

DciStandInConfig DciConfig(bool refused, bool clipFails)
{
    DciStandInConfig c = {};
    c.width = kDciWidth, c.height = kDciHeight, c.stride = kDciStride, c.bitCount = 32;
    c.masks[0] = 0xff0000, c.masks[1] = 0xff00, c.masks[2] = 0xff;
    c.accessResult = refused ? -1 : 0;
    c.clipListFails = clipFails;
    return c;
}
}  // namespace

class DciPresentMatches : public ::testing::TestWithParam<ServiceFamily> {
protected:
    static void SetUpTestSuite()
    {
        DciStandInConfig c = DciConfig(false, false);
        DciStandInConfigure(&c);
        managerLoaded_ = DevDciLoadManager() != 0;
        if (!managerLoaded_) return;
        DevDciCreateSurface();
        surface_ = DevDciGetSurface();
        memory_ = DciStandInSurfaceMemory();
        window_ = GetDesktopWindow();
        watch_ = DevWinWatchOpen(window_);
    }
    static bool managerLoaded_;
    static DciSurfaceInfo* surface_;
    static BYTE* memory_;
    static HWND window_;
    static HANDLE watch_;
};
bool DciPresentMatches::managerLoaded_;
DciSurfaceInfo* DciPresentMatches::surface_;
BYTE* DciPresentMatches::memory_;
HWND DciPresentMatches::window_;
HANDLE DciPresentMatches::watch_;
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(DciPresentMatches);

TEST_P(DciPresentMatches, Reference)
{
    const ServiceFamily& f = GetParam();
    ASSERT_NE(nullptr, f.family->present) << f.name << " is registered without a present routine";
    ASSERT_TRUE(managerLoaded_ && surface_ && memory_ && watch_) << "the stand-in DCI provider did not open";
    POINT origin = {0, 0};
    ClientToScreen(window_, &origin);
    uint32_t seed = 400;
    const Display d = DisplaysFor(f.bytesPerPixel)[0];
    for (const DciCase& k : DciCases()) {
        DciStandInConfig config = DciConfig(k.refused, k.clipFails);
        DciStandInConfigure(&config);
        int changed = k.changed ? 1 : 0;
        DciStandInScriptStatus(&changed, 1);
        DciScript script;
        script.accessRefused = k.refused;
        script.changed = k.changed;
        script.clipListFails = k.clipFails;
        script.reportedCount = k.reported;
        script.clientOrigin = origin;
        for (const DevRect16& r : k.watchRects)
            script.screenRects.push_back(RECT{r.x0 + origin.x, r.y0 + origin.y, r.x1 + origin.x, r.y1 + origin.y});
        DciStandInSetClipList(script.screenRects.data(), static_cast<int>(script.screenRects.size()), k.reported);

        CanvasSpec s;
        s.display = d;
        s.width = k.width, s.height = k.height;
        s.dirtyShift = k.shift;
        s.zoom2 = k.zoom2;
        s.winX = 9, s.winY = 5;
        CanvasSpec onSurface = s;
        onSurface.frameBuffer = memory_;
        onSurface.screenWidth = kDciWidth, onSurface.screenHeight = kDciHeight, onSurface.screenPitch = kDciStride;
        s.screenWidth = kDciWidth, s.screenHeight = kDciHeight, s.screenPitch = kDciStride;
        s.frameAlign = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(memory_) & 63);
        ++seed;
        Canvas got(onSurface, seed), want(s, seed);
        for (Canvas* c : {&got, &want}) {
            c->NoiseMasks(seed);
            c->SetClipRects(k.libraryRects);
            c->SetClipCallback(k.callback);
            c->globals.dciWin95 = 1;
            c->globals.repaintAll = k.repaintAll;
            c->ctx()->driverBlock->hwnd = window_;
            c->ctx()->driverBlock->winWatch = watch_;
            c->ctx()->driverBlock->dciSurface = surface_;
        }
        uint32_t result = RunWithGlobals(got, [&] { return f.family->present(got.ctx()); });
        DciExpect expect;
        EXPECT_EQ(RefPresent(want, false, &script, &expect), result) << k.name;
        const std::string what = Describe("DCI present", k.name, d, k.shift);
        EXPECT_EQ("", got.Diff(want)) << what;
        EXPECT_EQ("", got.Damage()) << what;
        DciStandInCounters n;
        DciStandInGetCounters(&n);
        EXPECT_EQ(expect.begins, n.begins) << what;
        EXPECT_EQ(expect.granted, n.beginsGranted) << what;
        EXPECT_EQ(expect.ends, n.ends) << what;
        EXPECT_EQ(expect.statusQueries, n.statusQueries) << what;
        EXPECT_EQ(expect.clipQueries, n.clipQueries) << what;
        EXPECT_EQ(0, n.accessDepth) << what;
        EXPECT_EQ(0, n.unbalancedEnds) << what;
        EXPECT_EQ(0, n.badAccess) << what;
        if (expect.begins) {
            EXPECT_EQ(expect.access.left, n.lastAccess.left) << what;
            EXPECT_EQ(expect.access.top, n.lastAccess.top) << what;
            EXPECT_EQ(expect.access.right, n.lastAccess.right) << what;
            EXPECT_EQ(expect.access.bottom, n.lastAccess.bottom) << what;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Families, ServicesMatch, ::testing::ValuesIn(Families(kServices)), ParamName);
INSTANTIATE_TEST_SUITE_P(Families, DciPresentMatches, ::testing::ValuesIn(Families(kServices)), ParamName);
INSTANTIATE_TEST_SUITE_P(Families, LinesMatch, ::testing::ValuesIn(Families(kLines)), ParamName);
