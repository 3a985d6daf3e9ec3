// Whole frames on the direct path through the driver's exports (its objects
// linked here, Windows 95 through the version seam) and the installed
// routines, landing in the stand-in provider's surface at the window's
// place, clipped to the visible rectangles; a second frame copies only the
// blocks of A or B.
#include "direct_support.h"
#include "frame_check.h"
#include "frame/select.h"

#include <algorithm>

#include "families.h"

using namespace drvtest;
using namespace frames;

namespace {

DWORD WINAPI Windows95() { return 0xC0000004; }

class Frames : public DirectTest, public ::testing::WithParamInterface<Format> {
protected:
    void SetUp() override {}
};

TEST_P(Frames, LandInTheSurfaceAndTheSecondCopiesOnlyBlocksOfAOrB)
{
    const Format& f = GetParam();
    const Geometry g;
    DevSeamVersion(Windows95);
    g_platformId = GetPlatformId();
    g_dirtyShift = 4;
    g_dirtyWidthClass = 0xffffffffu;
    DciStandInConfig config = SurfaceFor(f, g);
    DciStandInConfigure(&config);
    info_ = DeviceFor(f, g);
    ASSERT_EQ(1u, DevInitialize(&info_));
    terminated_ = false;
    ASSERT_EQ(1u, g_dciWin95);
    ASSERT_EQ((uint32_t)f.bits / 8, g_bytesPerPixel);
    contexts_.push_back(NewContext(g.winX, g.winY, g.winX + g.winW, g.winY + g.winH));
    TwoFrames(LinkedExports(), *contexts_.back(), base_, f, g, Window(), ProgramSymbols());
    EXPECT_EQ(5u, g_dirtyShift);
}

INSTANTIATE_TEST_SUITE_P(Depths, Frames, ::testing::ValuesIn(AllFormats()), FormatName);

// The frames reach every routine of every family's table.
TEST(FrameStates, DrawEveryRoutineOfTheFamily)
{
    const std::vector<svcref::ServiceFamily> families = svcref::Families(svcref::kServices);
    ASSERT_EQ(4u, families.size());
    for (const svcref::ServiceFamily& f : families) {
        const int bits = 8 * (int)f.bytesPerPixel;
        ASSERT_LT(0u, f.family->variantCount) << bits << " bits";
        EXPECT_LT(0, StatesDrawn(bits)) << bits << " bits";
        const std::vector<std::string> drawn = RoutinesDrawn(bits);
        for (uint32_t i = 0; i < f.family->variantCount; ++i)
            EXPECT_NE(drawn.end(), std::find(drawn.begin(), drawn.end(), f.family->variants[i].name))
                << f.family->variants[i].name << " is in no frame";
    }
}

}  // namespace
