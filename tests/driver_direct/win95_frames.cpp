// The two frames of frame_check.h on the module itself, as the rendering
// library loads it in a program that Wine shows Windows 95.
#include "frame_check.h"

using namespace drvtest;
using namespace frames;

namespace {

class Win95Frames : public ::testing::TestWithParam<Format> {};

TEST_P(Win95Frames, LandInTheSurfaceAndTheSecondCopiesOnlyBlocksOfAOrB)
{
    ASSERT_TRUE(GetVersion() & 0x80000000u) << "not run as a Windows 95 program";
    const Format& f = GetParam();
    // One window for every depth: each destroyed window costs a wait for its unmapping.
    static TestWindow& window = *new TestWindow(96, 72, 300, 200);
    ASSERT_NE(nullptr, window.dc());
    POINT origin = {0, 0};
    ClientToScreen(window.hwnd(), &origin);
    Geometry g;
    g.winX = origin.x;
    g.winY = origin.y;
    DciStandInConfig config = SurfaceFor(f, g);
    DciStandInConfigure(&config);

    DriverModule module;
    ASSERT_NE(nullptr, module.handle());
    DriverExports dev = module.exports();
    DeviceInfo info = DeviceFor(f, g);
    ASSERT_EQ(1u, dev.initialize(&info));
    RecordingBase base;
    Context ctx(&base);
    ctx->hdc = window.dc();
    ctx.SetWindow((int16_t)g.winX, (int16_t)g.winY, (int16_t)(g.winX + g.winW), (int16_t)(g.winY + g.winH));
    ASSERT_EQ(1u, dev.contextCreate(ctx.get()));
    const ModuleSymbols installed(module.handle());
    ASSERT_GT(installed.count(), 100u) << "the module carries no symbol table";
    TwoFrames(dev, ctx, base, f, g, window.hwnd(), installed);
    EXPECT_EQ(0x4c0u, dev.bufferDelete(ctx.get(), 0x4c0));
    EXPECT_EQ(1u, dev.contextDelete(ctx.get()));
    EXPECT_EQ(1u, dev.terminate());
}

INSTANTIATE_TEST_SUITE_P(Depths, Win95Frames, ::testing::ValuesIn(AllFormats()), FormatName);

}  // namespace
