// Run by driver_direct_win95_tests as a program that Wine shows Windows 95:
// the module as the rendering library loads it takes the direct path on the
// stand-in DCI provider, and its buffers land where the window is.
#include "dcistandin.h"
#include "harness.h"

#include <gtest/gtest.h>

using namespace drvtest;

namespace {

uint32_t Address(const void* p) { return (uint32_t)(uintptr_t)p; }

struct DepthCase {
    int bits;
    LONG stride;
};

class Win95Direct : public ::testing::TestWithParam<DepthCase> {};

TEST_P(Win95Direct, FrontBufferIsTheWindowInsideTheSurface)
{
    DWORD v = GetVersion();
    ASSERT_TRUE(v & 0x80000000u) << "not run as a Windows 95 program";
    ASSERT_EQ(4u, v & 0xff);

    const DepthCase& d = GetParam();
    DciStandInConfig config = {};
    config.width = 1280;
    config.height = 1024;
    config.stride = d.stride;
    config.bitCount = d.bits;
    if (d.bits == 16) {
        config.masks[0] = 0xf800, config.masks[1] = 0x7e0, config.masks[2] = 0x1f;
    } else if (d.bits > 16) {
        config.masks[0] = 0xff0000, config.masks[1] = 0xff00, config.masks[2] = 0xff;
    }
    DciStandInConfigure(&config);

    DriverModule module;
    ASSERT_NE(nullptr, module.handle());
    DriverExports dev = module.exports();
    // One window for all depths: each destroyed window costs a wait for its unmapping.
    static TestWindow& window = *new TestWindow(96, 72, 200, 100);
    ASSERT_NE(nullptr, window.dc());
    POINT origin = {0, 0};
    ClientToScreen(window.hwnd(), &origin);

    DeviceInfo info = Device(1280, 1024, (uint16_t)d.bits, config.masks[0], config.masks[1], config.masks[2]);
    ASSERT_EQ(1u, dev.initialize(&info));
    EXPECT_EQ(15, info.devCaps);
    EXPECT_EQ(1280, info.width);
    EXPECT_EQ(1024, info.height);

    RecordingBase base;
    Context ctx(&base);
    ctx->hdc = window.dc();
    ctx.SetWindow((int16_t)origin.x, (int16_t)origin.y, (int16_t)(origin.x + 200), (int16_t)(origin.y + 100));
    ASSERT_EQ(1u, dev.contextCreate(ctx.get()));
    EXPECT_EQ(0x810u, ctx->caps);
    ASSERT_NE(nullptr, ctx->driverBlock);
    EXPECT_EQ(window.hwnd(), ctx->driverBlock->hwnd);
    EXPECT_NE(nullptr, ctx->driverBlock->winWatch);
    EXPECT_NE(nullptr, ctx->driverBlock->dciSurface);

    ASSERT_EQ(0x4c0u, dev.bufferCreate(ctx.get(), 0x4c0));
    uint32_t bpp = (uint32_t)d.bits / 8;
    uint8_t* surface = DciStandInSurfaceMemory();
    EXPECT_EQ(Address(surface) + origin.y * (uint32_t)d.stride + origin.x * bpp, ctx->front.bits);
    EXPECT_EQ(d.stride, ctx->front.pitch);
    EXPECT_EQ(0u, ctx->back.bits % 64);
    EXPECT_EQ(256, ctx->back.width);
    EXPECT_EQ((int)(256 * bpp), ctx->back.pitch);
    EXPECT_EQ(0u, ctx->depth.bits % 64);
    EXPECT_EQ(512, ctx->depth.pitch);
    EXPECT_EQ(100u, ctx->dirtyRows);
    for (uint32_t r = 0; r < 100; ++r) ASSERT_EQ(0xffffffffu, ctx->dirtyA[r]);
    // The last row of the window in the surface is writable.
    memset(DevBufferBits(&ctx->front) + 99 * ctx->front.pitch, 0x5a, 200 * bpp);

    EXPECT_EQ(1u, dev.contextSwitch(ctx.get(), 1));
    EXPECT_EQ(1u, dev.contextValidate(ctx.get()));
    EXPECT_NE(nullptr, ctx->procs->copyRect);
    EXPECT_EQ(0x4c0u, dev.bufferDelete(ctx.get(), 0x4c0));
    EXPECT_EQ(1u, dev.contextDelete(ctx.get()));
    EXPECT_EQ(1u, dev.terminate());

    DciStandInCounters c;
    DciStandInGetCounters(&c);
    EXPECT_EQ(1, c.watchesOpened);
    EXPECT_EQ(1, c.watchesClosed);
    EXPECT_EQ(window.hwnd(), c.lastWatchWindow);
    EXPECT_EQ(0, c.surfacesAlive);
    EXPECT_EQ(0, c.badDestroys);
    EXPECT_EQ(0, c.badWatchCalls);
}

INSTANTIATE_TEST_SUITE_P(Depths, Win95Direct,
                         ::testing::Values(DepthCase{8, 1280}, DepthCase{16, 2560 + 64}, DepthCase{24, 3840},
                                           DepthCase{32, 5120}));

}  // namespace
