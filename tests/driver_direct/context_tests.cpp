// Direct path: contexts with their DCI surfaces and window watches, the
// dirty-block width, and the marking of rectangle copies.
#include "direct_support.h"

using namespace drvtest;

namespace {

uint32_t Address(const void* p) { return (uint32_t)(uintptr_t)p; }

// ---- surfaces and watches ----

TEST_F(DirectTest, FirstContextSharesTheInitialSurfaceOthersMakeTheirOwn)
{
    DciSurfaceInfo* initial = DevDciGetSurface();
    auto a = NewContext(0, 0, 64, 64);
    auto b = NewContext(0, 0, 64, 64);
    EXPECT_EQ(initial, (*a)->driverBlock->dciSurface);
    ASSERT_NE(nullptr, (*b)->driverBlock->dciSurface);
    EXPECT_NE(initial, (*b)->driverBlock->dciSurface);
    EXPECT_EQ(Window(), (*a)->driverBlock->hwnd);
    EXPECT_NE(nullptr, (*a)->driverBlock->winWatch);
    EXPECT_EQ(2u, g_directContextCount);
    DciStandInCounters c = Counters();
    EXPECT_EQ(2, c.watchesOpened);
    EXPECT_EQ(2, c.surfacesAlive);
    EXPECT_EQ(Window(), c.lastWatchWindow);
    DevContextDelete(a->get());
    DevContextDelete(b->get());
    EXPECT_EQ(0u, g_directContextCount);
    c = Counters();
    EXPECT_EQ(2, c.watchesClosed);
    EXPECT_EQ(1, c.surfacesAlive);
    EXPECT_EQ(0, c.badDestroys);
    EXPECT_EQ(0, c.badWatchCalls);
}

// The surface DevInitialize made outlives the context that used it, so the
// next first context still has a live surface to present through.
TEST_F(DirectTest, InitialSurfaceSurvivesItsFirstContext)
{
    DciSurfaceInfo* initial = DevDciGetSurface();
    for (int round = 0; round < 3; ++round) {
        auto a = NewContext(0, 0, 64, 64);
        ASSERT_EQ(initial, (*a)->driverBlock->dciSurface);
        ASSERT_EQ(0, DevDciBeginAccess((*a)->driverBlock->dciSurface, 0, 0, 1023, 767));
        DevDciEndAccess((*a)->driverBlock->dciSurface);
        DevContextDelete(a->get());
    }
    DciStandInCounters c = Counters();
    EXPECT_EQ(0, c.badAccess);
    EXPECT_EQ(0, c.badDestroys);
    EXPECT_EQ(1, c.surfacesAlive);
    DevTerminate();
    terminated_ = true;
    EXPECT_EQ(0, Counters().surfacesAlive);
    EXPECT_EQ(0, Counters().badDestroys);
}

struct SurfaceFailure {
    const char* name;
    int createResult;
    DWORD caps;
    WORD selector;
};

class FailedSurface : public DirectTest, public ::testing::WithParamInterface<SurfaceFailure> {};

// A second context whose surface cannot be had keeps none: it neither takes
// the first context's surface nor keeps a refused one, and nothing is
// destroyed twice.
TEST_P(FailedSurface, SecondContextRecordsNoForeignSurface)
{
    auto a = NewContext(0, 0, 64, 64);
    DciStandInConfig config = Surface(16, 1024, 768);
    config.createResult = GetParam().createResult;
    config.caps = GetParam().caps;
    config.selector = GetParam().selector;
    DciStandInConfigure(&config);
    auto b = NewContext(0, 0, 64, 64);
    EXPECT_EQ(nullptr, (*b)->driverBlock->dciSurface);
    EXPECT_NE((*a)->driverBlock->dciSurface, (*b)->driverBlock->dciSurface);
    EXPECT_EQ(Counters().surfacesCreated, Counters().surfacesDestroyed);
    DevContextDelete(b->get());
    DevContextDelete(a->get());
    DciStandInCounters c = Counters();
    EXPECT_EQ(0, c.badDestroys);
    EXPECT_EQ(c.surfacesCreated, c.surfacesDestroyed);
}

INSTANTIATE_TEST_SUITE_P(Table, FailedSurface,
                         ::testing::Values(SurfaceFailure{"CreationError", 1, 0, 0},
                                           SurfaceFailure{"SixteenThirtyTwoAccess", 0, 0x40, 0},
                                           SurfaceFailure{"Segmented", 0, 0, 0x17}),
                         [](const ::testing::TestParamInfo<SurfaceFailure>& i) { return std::string(i.param.name); });

// A display change whose new surface is refused (not made, made for 16:32
// access only, or segmented): what was made is destroyed at once, and no
// pointer to it or to the destroyed old surface stays with the context, the
// DCI wrappers or the module.
TEST_P(FailedSurface, RefusedRebuiltSurfaceIsDestroyedAndForgotten)
{
    auto a = NewContext(10, 20, 110, 70);
    ASSERT_EQ(0x4c0u, DevBufferCreate(a->get(), 0x4c0));
    DciStandInConfig config = Surface(16, 800, 600);
    config.createResult = GetParam().createResult;
    config.caps = GetParam().caps;
    config.selector = GetParam().selector;
    DciStandInConfigure(&config);
    EXPECT_EQ(1u, DevBufferNotify(a->get(), 0x40, DEV_NOTIFY_NEW_SURFACE));
    DciStandInCounters c = Counters();
    EXPECT_EQ(c.surfacesCreated + 1, c.surfacesDestroyed) << "the refused surface and the old one";
    EXPECT_EQ(nullptr, (*a)->driverBlock->dciSurface);
    EXPECT_EQ(nullptr, DevDciGetSurface());
    EXPECT_EQ(1024u, g_screenWidth);
    DevBufferDelete(a->get(), 0x4c0);
    DevContextDelete(a->get());
    DevTerminate();
    terminated_ = true;
    c = Counters();
    EXPECT_EQ(c.surfacesCreated + 1, c.surfacesDestroyed) << "nothing is destroyed twice or left";
    EXPECT_EQ(0, c.badDestroys);
    EXPECT_EQ(0, c.badAccess);
}

TEST_F(DirectTest, NotifyOfANewSurfaceRemakesTheFront)
{
    auto a = NewContext(10, 20, 110, 70);
    ASSERT_EQ(0x4c0u, DevBufferCreate(a->get(), 0x4c0));
    DciStandInConfig config = Surface(16, 800, 600);
    DciStandInConfigure(&config);
    EXPECT_EQ(1u, DevBufferNotify(a->get(), 0x40, DEV_NOTIFY_NEW_SURFACE));
    DciStandInCounters c = Counters();
    EXPECT_EQ(1, c.surfacesDestroyed);
    EXPECT_EQ(1, c.surfacesCreated);
    EXPECT_EQ(0, c.badDestroys);
    uint8_t* memory = DciStandInSurfaceMemory();
    EXPECT_EQ(Address(memory), g_frameBuffer);
    EXPECT_EQ(800u, g_screenWidth);
    EXPECT_EQ(600u, g_screenHeight);
    EXPECT_EQ((uint32_t)config.stride, g_screenPitch);
    const DevBuffer& f = (*a)->front;
    EXPECT_EQ(800, f.width);
    EXPECT_EQ(600, f.height);
    EXPECT_EQ(600, f.rows);
    EXPECT_EQ(config.stride, f.pitch);
    EXPECT_EQ(Address(memory) + 20 * config.stride + 10 * 2, f.bits);
    EXPECT_EQ(f.bits, f.bitsCopy);
    EXPECT_EQ(DevDciGetSurface(), (*a)->driverBlock->dciSurface);
    // Other events and masks leave the surface alone.
    EXPECT_EQ(1u, DevBufferNotify(a->get(), 0x80, DEV_NOTIFY_NEW_SURFACE));
    EXPECT_EQ(1u, DevBufferNotify(a->get(), 0x40, 0x10));
    EXPECT_EQ(1, Counters().surfacesCreated);
    contexts_.push_back(std::move(a));
}

// A new surface that cannot be made: the old geometry stays, and presents
// are refused access rather than writing through the destroyed surface.
TEST_F(DirectTest, FailedNotifyKeepsGeometryAndRefusesAccess)
{
    auto a = NewContext(10, 20, 110, 70);
    ASSERT_EQ(0x4c0u, DevBufferCreate(a->get(), 0x4c0));
    DevBuffer before = (*a)->front;
    DciStandInConfig config = Surface(16, 800, 600);
    config.createResult = 1;
    DciStandInConfigure(&config);
    EXPECT_EQ(1u, DevBufferNotify(a->get(), 0x40, DEV_NOTIFY_NEW_SURFACE));
    EXPECT_EQ(1024u, g_screenWidth);
    EXPECT_EQ(768u, g_screenHeight);
    EXPECT_EQ(before.bits, (*a)->front.bits);
    EXPECT_EQ(before.width, (*a)->front.width);
    EXPECT_EQ(before.pitch, (*a)->front.pitch);
    DciSurfaceInfo* surface = (*a)->driverBlock->dciSurface;
    EXPECT_EQ(nullptr, surface);
    EXPECT_NE(0, DevDciBeginAccess(surface, 0, 0, 1023, 767));
    DevBufferDelete(a->get(), 0x4c0);
    DevContextDelete(a->get());
    DciStandInCounters c = Counters();
    EXPECT_EQ(0, c.badDestroys);
    EXPECT_EQ(0, c.badAccess);
    // A later notify may succeed again.
    config.createResult = 0;
    DciStandInConfigure(&config);
    auto b = NewContext(10, 20, 110, 70);
    ASSERT_EQ(0x4c0u, DevBufferCreate(b->get(), 0x4c0));
    EXPECT_EQ(1u, DevBufferNotify(b->get(), 0x40, DEV_NOTIFY_NEW_SURFACE));
    EXPECT_NE(nullptr, (*b)->driverBlock->dciSurface);
    EXPECT_EQ(800u, g_screenWidth);
    contexts_.push_back(std::move(b));
}

// ---- dirty-block width ----

struct WidthCase {
    int16_t x0, x1;
    uint32_t shift;
};

class DirtyShift : public DirectTest, public ::testing::WithParamInterface<WidthCase> {};

TEST_P(DirtyShift, WindowWidthChoosesTheBlockWidthThatCopiesMark)
{
    const WidthCase& w = GetParam();
    EXPECT_EQ(4u, g_dirtyShift);
    auto c = NewContext(w.x0, 0, w.x1, 8);
    DevContext* ctx = c->get();
    // Small buffers whatever the window: the marking only needs the masks.
    ctx->back.bits = 1;
    ctx->back.flags = DEVBUF_CALLER_MEMORY | DEV_BUFFER_BACK | DEVBUF_VALID;
    ctx->back.width = 64;
    ctx->back.height = 8;
    ASSERT_EQ(0x80u, DevBufferCreate(ctx, 0x80) & 0x80);
    EXPECT_EQ(1u, DevContextSwitch(ctx, 1));
    EXPECT_EQ(w.shift, g_dirtyShift);
    ctx->update = DevRect16{0, 0, 4000, 8};
    DevContextValidate(ctx);
    ASSERT_EQ((DevCopyRectProc)DirtyMarkCopy, ctx->procs->copyRect);
    memset(ctx->dirtyA, 0, 8 * 4);
    // A span from 100 to 300 covers blocks 100 >> s through 300 >> s.
    ctx->procs->copyRect(ctx, 0, 0, 200, 1, 0, 0, 0, 100, 3, 0, 0);
    uint32_t want = 0;
    for (uint32_t k = 100 >> w.shift; k <= (300u >> w.shift); ++k) want |= 1u << k;
    EXPECT_EQ(want, ctx->dirtyA[3]);
    EXPECT_EQ(0u, ctx->dirtyA[2]);
    contexts_.push_back(std::move(c));
}

INSTANTIATE_TEST_SUITE_P(Table, DirtyShift,
                         ::testing::Values(WidthCase{0, 512, 5}, WidthCase{0, 513, 5}, WidthCase{0, 1024, 5},
                                           WidthCase{10, 1035, 6}, WidthCase{0, 2048, 6}, WidthCase{0, 2049, 7},
                                           WidthCase{200, 100, 7}, WidthCase{0, 0, 5}));

TEST_F(DirectTest, WidthClassChangeMarksBothMasks)
{
    auto c = NewContext(0, 0, 512, 16);
    DevContext* ctx = c->get();
    ASSERT_EQ(0x4c0u, DevBufferCreate(ctx, 0x4c0));
    auto clear = [&] {
        memset(ctx->dirtyA, 0, 16 * 4);
        memset(ctx->dirtyB, 0, 16 * 4);
    };
    auto marked = [&] { return ctx->dirtyA[0] == 0xffffffffu && ctx->dirtyB[15] == 0xffffffffu; };
    EXPECT_EQ(1u, DevContextSwitch(ctx, 1));  // the first switch always applies
    EXPECT_TRUE(marked());
    clear();
    EXPECT_EQ(1u, DevContextSwitch(ctx, 1));
    EXPECT_FALSE(marked());
    c->SetWindow(0, 0, 600, 16);  // class 1: same shift, still a change
    EXPECT_EQ(1u, DevContextSwitch(ctx, 0x10000));
    EXPECT_FALSE(marked());
    EXPECT_EQ(1u, DevContextSwitch(ctx, 2));
    EXPECT_FALSE(marked());
    EXPECT_EQ(1u, DevContextSwitch(ctx, 1));
    EXPECT_TRUE(marked());
    EXPECT_EQ(5u, g_dirtyShift);
    EXPECT_EQ(0, ctx->dirtyA[16]);  // the spare word stays untouched
    contexts_.push_back(std::move(c));
}

// ---- copy-rectangle marking ----

class CopyMarking : public DirectTest {
protected:
    void SetUp() override
    {
        DirectTest::SetUp();
        c_ = NewContext(0, 0, 640, 480);
        ASSERT_EQ(0x4c0u, DevBufferCreate(c_->get(), 0x4c0));
        DevContextSwitch(c_->get(), 1);  // 640 wide: 32-pixel blocks
        (*c_)->update = DevRect16{0, 0, 640, 480};
        memset((*c_)->dirtyA, 0, 4 * (*c_)->dirtyRows);
        base_.calls.clear();
        base_.result = 0x77;
        contexts_.push_back(std::move(c_));
    }
    DevContext* ctx() { return contexts_.back()->get(); }
    uint32_t Copy(uint32_t w, uint32_t h, int16_t sx, int16_t sy, int16_t dx, int16_t dy)
    {
        return DirtyMarkCopy(ctx(), 0xa1, 0xa2, w | 0xdead0000, h, 0xa5, (uint16_t)sx, (uint16_t)sy, (uint16_t)dx,
                             (uint16_t)dy, 0xaa, 0xab);
    }
    std::unique_ptr<Context> c_;
};

TEST_F(CopyMarking, NegativeSourceShiftsTheDestination)
{
    EXPECT_EQ(0x77u, Copy(20, 10, -5, 0, 10, 40));
    // Columns 15 up to 30: block 0 only.
    for (int r = 0; r < 480; ++r) ASSERT_EQ(r >= 40 && r < 50 ? 0x1u : 0u, ctx()->dirtyA[r]) << r;
    ASSERT_EQ(1u, base_.calls.size());
    const BaseCall& call = base_.calls[0];
    EXPECT_EQ(DEV_SLOT_COPYRECT, call.slot);
    EXPECT_EQ(ctx(), call.ctx);
    std::vector<uint32_t> want = {0xa1, 0xa2, 20 | 0xdead0000u, 10, 0xa5, 0xfffb, 0, 10, 40, 0xaa, 0xab};
    EXPECT_EQ(want, call.args);
}

TEST_F(CopyMarking, ClipsToTheUpdateRectangle)
{
    ctx()->update = DevRect16{100, 100, 200, 150};
    EXPECT_EQ(0u, Copy(50, 50, 0, 0, 300, 300));
    EXPECT_EQ(0u, Copy(50, 50, 0, 0, 200, 100));  // touches only along an edge
    EXPECT_TRUE(base_.calls.empty());
    EXPECT_EQ(0x77u, Copy(100, 100, 0, -20, 50, 80));  // rows 100 up to 150
    for (int r = 0; r < 480; ++r) {
        uint32_t want = r >= 100 && r < 150 ? (0x3u << 3) : 0u;  // columns 100..150: blocks 3 and 4
        ASSERT_EQ(want, ctx()->dirtyA[r]) << r;
    }
}

// Under zoom the mask has half the rows and the update rectangle is in
// window pixels: marking stops at the last row, and block 31 stands for
// everything to its right, as in the rasterizers' marking.
TEST_F(CopyMarking, StaysInsideTheMaskUnderZoom)
{
    DevContext* z = ctx();
    DevBufferDelete(z, 0x4c0);
    z->state |= DEV_ZOOM2;
    z->zoomX = z->zoomY = DEV_ZOOM_2;
    ASSERT_EQ(0x4c0u, DevBufferCreate(z, 0x4c0));
    ASSERT_EQ(240u, z->dirtyRows);
    memset(z->dirtyA, 0, 4 * 240);
    z->update = DevRect16{0, 0, 2000, 480};
    struct {
        uint32_t w, h;
        int16_t dx, dy;
        uint32_t bits;
    } cases[] = {{200, 100, 1100, 200, 0x80000000u}, {1500, 300, 100, 200, 0xfffffff8u}};
    for (auto& c : cases) {
        memset(z->dirtyA, 0, 4 * 241);
        EXPECT_EQ(0x77u, Copy(c.w, c.h, 0, 0, c.dx, c.dy));
        for (int r = 0; r < 240; ++r) ASSERT_EQ(r >= c.dy ? c.bits : 0u, z->dirtyA[r]) << c.dx << " row " << r;
        EXPECT_EQ(0u, z->dirtyA[240]);
    }
}

TEST(RectIntersect, OverlapEdgesAndAliasing)
{
    struct {
        DevRect16 a, b;
        uint32_t result;
        DevRect16 out;
    } cases[] = {
        {{0, 0, 10, 10}, {5, 5, 20, 20}, 1, {5, 5, 10, 10}},
        {{0, 0, 10, 10}, {10, 0, 20, 10}, 0, {}},
        {{0, 0, 10, 10}, {0, 10, 10, 20}, 0, {}},
        {{-5, -5, 3, 3}, {-10, -2, 0, 30}, 1, {-5, -2, 0, 3}},
        {{0, 0, 10, 10}, {20, 20, 5, 5}, 0, {}},
    };
    for (auto& c : cases) {
        DevRect16 out = {99, 99, 99, 99};
        EXPECT_EQ(c.result, RectIntersect(&c.a, &c.b, &out));
        DevRect16 want = c.result ? c.out : DevRect16{99, 99, 99, 99};
        EXPECT_EQ(0, memcmp(&want, &out, sizeof out));
        DevRect16 a = c.a;
        if (c.result) {
            RectIntersect(&a, &c.b, &a);
            EXPECT_EQ(0, memcmp(&c.out, &a, sizeof a));
        }
    }
}

}  // namespace

namespace {

// ---- the path choice on Windows 95 ----

struct Win95Path {
    const char* name;
    const char* ini;
    uint16_t bits;
    bool noProvider;
    DWORD caps;
    uint32_t directMode, dciWin95;
    LONG surfacesAlive;
};

DWORD WINAPI Windows95() { return 0xC0000004; }

class Win95PathChoice : public DirectTest, public ::testing::WithParamInterface<Win95Path> {
protected:
    void SetUp() override {}
};

TEST_P(Win95PathChoice, FollowsSettingsAndProvider)
{
    const Win95Path& p = GetParam();
    std::unique_ptr<VxnIni> ini(p.ini ? new VxnIni(p.ini) : nullptr);
    DevSeamVersion(Windows95);
    g_platformId = GetPlatformId();
    DciStandInConfig config = Surface(16, 1024, 768);
    config.noProvider = p.noProvider;
    config.caps = p.caps;
    DciStandInConfigure(&config);
    info_ = Device(640, 480, p.bits, 0xf800, 0x7e0, 0x1f);
    ASSERT_EQ(1u, DevInitialize(&info_));
    EXPECT_EQ(p.directMode, g_directMode);
    EXPECT_EQ(p.dciWin95, g_dciWin95);
    EXPECT_EQ(p.directMode ? 15 : 3, info_.devCaps);
    EXPECT_EQ(p.surfacesAlive, Counters().surfacesAlive);
    EXPECT_EQ(0, Counters().badDestroys);
    DevTerminate();
    EXPECT_EQ(0, Counters().surfacesAlive);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Win95PathChoice,
    ::testing::Values(Win95Path{"Dci", nullptr, 16, false, 0, 1, 1, 1},
                      Win95Path{"ForceGdi", "[VXN]\nFORCE_GDI=1\n", 16, false, 0, 0, 0, 0},
                      // No universal thunk on Windows 95: nothing to map, so GDI.
                      Win95Path{"IgnoreDci", "[VXN]\nIGNORE_DCI=1\n", 16, false, 0, 0, 0, 0},
                      Win95Path{"FourBits", nullptr, 4, false, 0, 0, 0, 0},
                      Win95Path{"NoProvider", nullptr, 16, true, 0, 0, 0, 0},
                      Win95Path{"RefusedSurface", nullptr, 16, false, 0x40, 0, 0, 0}),
    [](const ::testing::TestParamInfo<Win95Path>& i) { return std::string(i.param.name); });

}  // namespace
