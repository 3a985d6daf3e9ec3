// Direct path: screen geometry, buffers, side records and dirty masks.
#include "direct_support.h"

#include <set>

using namespace drvtest;

namespace {

uint32_t Address(const void* p) { return (uint32_t)(uintptr_t)p; }

HGLOBAL HandleOf(uint32_t raw) { return raw ? *(HGLOBAL*)(uintptr_t)(raw - 4) : NULL; }

// Bytes a DevGlobalAlloc block holds behind the address it returned.
SIZE_T Allocated(uint32_t raw) { return GlobalSize(HandleOf(raw)) - 4; }

bool AllOnes(const uint32_t* words, uint32_t n)
{
    for (uint32_t i = 0; i < n; ++i)
        if (words[i] != 0xffffffffu) return false;
    return true;
}

struct Geometry {
    int bits;
    int16_t x0, y0, w, h;
    bool zoom;
    uint16_t backWidth, backHeight, depthWidth;
};

class DirectGeometry : public DirectTest, public ::testing::WithParamInterface<Geometry> {
protected:
    void SetUp() override { Begin(GetParam().bits); }
};

TEST_P(DirectGeometry, BuffersSitInTheSurfaceAndAlign)
{
    const Geometry& g = GetParam();
    DciStandInConfig surface = Surface(g.bits, 1024, 768);
    uint32_t bpp = (uint32_t)g.bits / 8;
    EXPECT_EQ(15, info_.devCaps);
    EXPECT_EQ(1024, info_.width);
    EXPECT_EQ(768, info_.height);
    EXPECT_EQ((uint32_t)surface.stride, g_screenPitch);
    EXPECT_EQ(bpp, g_bytesPerPixel);
    EXPECT_EQ(2u, g_depthStep);

    auto c = NewContext(g.x0, g.y0, (int16_t)(g.x0 + g.w), (int16_t)(g.y0 + g.h));
    DevContext* ctx = c->get();
    EXPECT_EQ(0x810u, ctx->caps);
    if (g.zoom) c->SetZoom2();
    ASSERT_EQ(0x4c0u, DevBufferCreate(ctx, 0x4c0));

    const DevBuffer& f = ctx->front;
    uint8_t* memory = DciStandInSurfaceMemory();
    EXPECT_EQ(Address(memory) + g.y0 * (uint32_t)surface.stride + g.x0 * bpp, f.bits);
    EXPECT_EQ(f.bits, f.bitsCopy);
    EXPECT_EQ(g.w, f.width);
    EXPECT_EQ(g.h, f.height);
    EXPECT_EQ(g.h, f.rows);
    EXPECT_EQ(surface.stride, f.pitch);
    EXPECT_EQ(g.bits, f.bitsPerPixel);
    EXPECT_EQ(DEVBUF_DIRECT_FRONT, f.flags);
    ASSERT_NE(nullptr, f.extra);
    EXPECT_EQ((uint32_t)g.x0, f.extra->originX);
    EXPECT_EQ((uint32_t)g.y0, f.extra->originY);

    const DevBuffer& b = ctx->back;
    EXPECT_EQ(0u, b.bits % 64);
    EXPECT_EQ(g.backWidth, b.width);
    EXPECT_EQ(g.backHeight, b.height);
    EXPECT_EQ(g.backHeight, b.rows);
    EXPECT_EQ((int)(bpp * g.backWidth), b.pitch);
    EXPECT_EQ(DEVBUF_DIRECT_BACK, b.flags);
    ASSERT_NE(nullptr, b.extra);
    EXPECT_LE(b.extra->rawBack, b.bits);
    EXPECT_LT(b.bits, b.extra->rawBack + 64);
    EXPECT_EQ(bpp * g.backWidth, b.extra->backPitch);
    EXPECT_EQ(g.backHeight, b.extra->rows);
    // Every row fits behind the rounded-up start, whatever the rounding
    // takes: the allocation carries the rows and 64 bytes more.
    EXPECT_EQ((SIZE_T)b.pitch * b.rows + 64, Allocated(b.extra->rawBack));
    ASSERT_LE(b.bits - b.extra->rawBack + (SIZE_T)b.pitch * b.rows, Allocated(b.extra->rawBack));

    const DevBuffer& d = ctx->depth;
    EXPECT_EQ(0u, d.bits % 64);
    EXPECT_EQ(g.depthWidth, d.width);
    EXPECT_EQ(g.h, d.height);
    EXPECT_EQ(2 * g.depthWidth, d.pitch);
    EXPECT_EQ(16, d.bitsPerPixel);
    EXPECT_EQ(DEVBUF_DIRECT_DEPTH, d.flags);
    ASSERT_NE(nullptr, d.extra);
    EXPECT_EQ(2u * g.depthWidth, d.extra->depthPitch);
    EXPECT_LE(d.extra->rawDepth, d.bits);
    EXPECT_LT(d.bits, d.extra->rawDepth + 64);
    EXPECT_EQ((SIZE_T)d.pitch * d.height + 63, Allocated(d.extra->rawDepth));
    ASSERT_LE(d.bits - d.extra->rawDepth + (SIZE_T)d.pitch * d.height, Allocated(d.extra->rawDepth));

    EXPECT_EQ(g.backHeight, ctx->dirtyRows);
    for (uint32_t* mask : {ctx->dirtyA, ctx->dirtyB}) {
        ASSERT_NE(nullptr, mask);
        EXPECT_EQ(0u, Address(mask) % 4);
        EXPECT_TRUE(AllOnes(mask, g.backHeight));
        EXPECT_EQ(0u, mask[g.backHeight]);
    }
    EXPECT_EQ(Address(ctx->dirtyA), b.extra->alignedDirtyA);
    EXPECT_EQ(Address(ctx->dirtyB), b.extra->alignedDirtyB);

    // Every byte of the three buffers is writable (the surface has a guard page behind it).
    memset(DevBufferBits(&b), 0x11, (size_t)b.pitch * b.height);
    memset(DevBufferBits(&d), 0x22, (size_t)d.pitch * d.height);
    for (int y = 0; y < g.h; ++y) memset(DevBufferBits(&f) + (intptr_t)f.pitch * y, 0x33, bpp * g.w);
    contexts_.push_back(std::move(c));
}

INSTANTIATE_TEST_SUITE_P(Table, DirectGeometry,
                         ::testing::Values(Geometry{16, 10, 20, 100, 50, false, 128, 50, 128},
                                           Geometry{16, 0, 0, 640, 480, true, 320, 240, 640},
                                           Geometry{8, 384, 288, 640, 480, false, 640, 480, 640},
                                           Geometry{24, 1, 2, 65, 3, false, 128, 3, 128},
                                           Geometry{32, 900, 700, 124, 68, false, 128, 68, 128}));

TEST_F(DirectTest, FrontOnlyCreateStillMakesMasksAndReportsAll)
{
    auto c = NewContext(0, 0, 100, 50);
    DevContext* ctx = c->get();
    ASSERT_EQ(0x4c0u, DevBufferCreate(ctx, 0xc0));
    EXPECT_EQ(0x4c0u, DevBufferCreate(ctx, 0x40));
    EXPECT_EQ(50u, ctx->dirtyRows);
    EXPECT_TRUE(AllOnes(ctx->dirtyA, 50));
    contexts_.push_back(std::move(c));
}

TEST_F(DirectTest, CallerMemoryIsKeptAndNeverFreed)
{
    auto c = NewContext(0, 0, 100, 50);
    DevContext* ctx = c->get();
    std::vector<uint8_t> back(256 * 50), depth(256 * 50);
    ctx->back.bits = ctx->back.bitsCopy = Address(back.data());
    ctx->back.width = 128;
    ctx->back.height = 50;
    ctx->back.pitch = 256;
    ctx->back.flags = DEVBUF_CALLER_MEMORY | DEV_BUFFER_BACK | DEVBUF_VALID;
    ctx->depth = ctx->back;
    ctx->depth.bits = ctx->depth.bitsCopy = Address(depth.data());
    ctx->depth.flags = DEVBUF_CALLER_MEMORY | DEV_BUFFER_DEPTH | DEVBUF_VALID;
    int before = PoolBlocksInUse();
    EXPECT_EQ(0x4c0u, DevBufferCreate(ctx, 0x4c0));
    EXPECT_EQ(Address(back.data()), ctx->back.bits);
    EXPECT_EQ(Address(depth.data()), ctx->depth.bits);
    EXPECT_EQ(DEVBUF_CALLER_MEMORY | DEV_BUFFER_BACK | DEVBUF_VALID, ctx->back.flags);
    EXPECT_EQ(0u, ctx->back.extra->rawBack);
    EXPECT_EQ(256u, ctx->back.extra->backPitch);
    EXPECT_EQ(50u, ctx->dirtyRows);
    EXPECT_EQ(0x4c0u, DevBufferDelete(ctx, 0x4c0));
    EXPECT_EQ(before, PoolBlocksInUse());
    EXPECT_EQ(Address(back.data()), ctx->back.bits);
    EXPECT_EQ(nullptr, ctx->dirtyA);
    back.assign(back.size(), 1);  // still the caller's
    contexts_.push_back(std::move(c));
}

TEST_F(DirectTest, DeleteMarksDescriptorsInvalidAndClearsMasks)
{
    auto c = NewContext(0, 0, 100, 50);
    DevContext* ctx = c->get();
    int before = PoolBlocksInUse();
    ASSERT_EQ(0x4c0u, DevBufferCreate(ctx, 0x4c0));
    EXPECT_EQ(0x4c0u, DevBufferDelete(ctx, 0x4c0));
    for (const DevBuffer* b : {&ctx->front, &ctx->back, &ctx->depth}) {
        EXPECT_EQ(0, b->flags & DEVBUF_VALID);
        EXPECT_EQ(nullptr, b->extra);
    }
    EXPECT_EQ(nullptr, ctx->dirtyA);
    EXPECT_EQ(nullptr, ctx->dirtyB);
    EXPECT_EQ(0u, ctx->dirtyRows);
    EXPECT_EQ(0u, ctx->back.bits);
    EXPECT_EQ(before, PoolBlocksInUse());
    // A second delete finds nothing to free; a move touches nothing.
    EXPECT_EQ(0u, DevBufferDelete(ctx, 0x4c0));
    EXPECT_EQ(0u, DevBufferResize(ctx, 0x4c0, DEV_RESIZE_MOVED));
    EXPECT_EQ(1u, DevBufferNotify(ctx, 0x4c0, DEV_NOTIFY_NEW_SURFACE));
    EXPECT_EQ(before, PoolBlocksInUse());
    contexts_.push_back(std::move(c));
}

TEST_F(DirectTest, ResizeMovesOrRemakesAndMarksEverything)
{
    auto c = NewContext(10, 20, 110, 70);
    DevContext* ctx = c->get();
    ASSERT_EQ(0x4c0u, DevBufferCreate(ctx, 0x4c0));
    uint32_t back = ctx->back.bits;
    c->SetWindow(30, 25, 130, 75);
    EXPECT_EQ(0xc0u, DevBufferResize(ctx, 0xc0, DEV_RESIZE_MOVED));
    EXPECT_EQ(ctx->front.bits, Address(DciStandInSurfaceMemory()) + 25 * g_screenPitch + 30 * 2);
    EXPECT_EQ(30u, ctx->front.extra->originX);
    EXPECT_EQ(25u, ctx->front.extra->originY);
    EXPECT_EQ(back, ctx->back.bits);
    EXPECT_EQ(0u, DevBufferResize(ctx, 0x4c0, 0));
    ctx->dirtyA[3] = ctx->dirtyB[3] = 0;
    c->SetWindow(30, 25, 330, 125);
    EXPECT_EQ(0x4c0u, DevBufferResize(ctx, 0x4c0, DEV_RESIZE_MOVED | DEV_RESIZE_SIZED));
    EXPECT_EQ(320, ctx->back.width);
    EXPECT_EQ(100u, ctx->dirtyRows);
    EXPECT_TRUE(AllOnes(ctx->dirtyA, 100));
    EXPECT_TRUE(AllOnes(ctx->dirtyB, 100));
    // A notification of any kind marks every block of both masks.
    ctx->dirtyA[7] = 0;
    ctx->dirtyB[99] = 0x10;
    EXPECT_EQ(1u, DevBufferNotify(ctx, 0x80, 0x1));
    EXPECT_TRUE(AllOnes(ctx->dirtyA, 100));
    EXPECT_TRUE(AllOnes(ctx->dirtyB, 100));
    contexts_.push_back(std::move(c));
}

std::set<HGLOBAL> Held(DevContext* ctx)
{
    std::set<HGLOBAL> held;
    for (DevBuffer* b : {&ctx->back, &ctx->depth})
        if (DevBufferExtra* e = b->extra)
            for (uint32_t raw : {e->rawBack, e->rawDepth, e->rawDirtyA, e->rawDirtyB})
                if (raw) held.insert(HandleOf(raw));
    return held;
}

// Creates, moves and resizes in every combination the library uses, many
// times: the pool and global memory end where they started.
TEST_F(DirectTest, LongResizeLoopLeaksNothing)
{
    auto c = NewContext(0, 0, 200, 100);
    DevContext* ctx = c->get();
    int before = PoolBlocksInUse();
    ASSERT_EQ(0x4c0u, DevBufferCreate(ctx, 0x4c0));
    int withBuffers = PoolBlocksInUse();
    std::set<HGLOBAL> earlier = Held(ctx);
    const uint32_t masks[] = {0x4c0, 0x40, 0xc0, 0x480};
    for (int i = 0; i < 600; ++i) {
        c->SetWindow(0, 0, (int16_t)(200 + i % 7), (int16_t)(100 + i % 5));
        uint32_t mask = masks[i % 4];
        if (i % 3 == 0)
            DevBufferCreate(ctx, mask);
        else
            DevBufferResize(ctx, mask, DEV_RESIZE_MOVED | DEV_RESIZE_SIZED);
        ASSERT_EQ(withBuffers, PoolBlocksInUse()) << "iteration " << i;
        std::set<HGLOBAL> now = Held(ctx);
        for (HGLOBAL h : earlier)
            ASSERT_TRUE(now.count(h) || GlobalSize(h) == 0) << "iteration " << i << " kept a block";
        earlier = now;
    }
    DevBufferDelete(ctx, 0x4c0);
    EXPECT_EQ(before, PoolBlocksInUse());
    for (HGLOBAL h : earlier) EXPECT_EQ(0u, GlobalSize(h));
    contexts_.push_back(std::move(c));
}

// Rows too wide for the 16-bit pitch are not made: a wrapped pitch would
// step outside the allocation.
TEST_F(DirectTest, RowsBeyondTheSixteenBitPitchAreNotMade)
{
    struct {
        int bits;
        int16_t w;
        uint32_t made;
    } cases[] = {{32, 8000, 0x4c0}, {32, 8200, 0x40}, {8, 16400, 0xc0}};
    for (auto& k : cases) {
        Begin(k.bits);
        MessageCatcher messages;
        auto c = NewContext(0, 0, k.w, 2);
        DevContext* ctx = c->get();
        EXPECT_EQ(k.made, DevBufferCreate(ctx, 0x4c0)) << k.w;
        for (const DevBuffer* b : {&ctx->back, &ctx->depth})
            if (b->flags & DEVBUF_VALID) EXPECT_EQ((int)(b->bitsPerPixel / 8 * b->width), b->pitch) << k.w;
        contexts_.push_back(std::move(c));
    }
}

TEST_F(DirectTest, ReversedWindowMakesNoBackBuffer)
{
    MessageCatcher messages;
    auto c = NewContext(100, 0, 0, 50);
    DevContext* ctx = c->get();
    EXPECT_EQ(0x40u, DevBufferCreate(ctx, 0x4c0));
    EXPECT_EQ(0, ctx->back.flags & DEVBUF_VALID);
    EXPECT_EQ(nullptr, ctx->dirtyA);
    EXPECT_EQ(nullptr, ctx->back.extra);
    contexts_.push_back(std::move(c));
}

}  // namespace

namespace {

// The direct path divides the height by zoomX and the width by zoomY; an
// integer part of 0 leaves that side as it is.
TEST_F(DirectTest, ZoomFactorsBelowOneLeaveTheirSide)
{
    struct {
        uint32_t zoomX, zoomY;
        uint16_t width, height;
    } cases[] = {{0x20000, 0x20000, 320, 240}, {0x8000, 0x20000, 320, 480}, {0x20000, 0x4000, 640, 240},
                 {0x30000, 0x10000, 640, 160}};
    auto c = NewContext(0, 0, 640, 480);
    DevContext* ctx = c->get();
    for (auto& z : cases) {
        ctx->state = DEV_ZOOM2;
        ctx->zoomX = z.zoomX;
        ctx->zoomY = z.zoomY;
        ASSERT_EQ(0x4c0u, DevBufferResize(ctx, 0x4c0, DEV_RESIZE_SIZED));
        EXPECT_EQ(z.width, ctx->back.width);
        EXPECT_EQ(z.height, ctx->back.height);
        EXPECT_EQ(z.height, ctx->dirtyRows);
        EXPECT_EQ(640, ctx->depth.width);
        EXPECT_EQ(480, ctx->depth.height);
    }
    contexts_.push_back(std::move(c));
}

}  // namespace

namespace {

// Without DCI on Windows 95 the display depth comes from the universal
// thunk (service 24): an answer above 16 bits replaces the device
// description's bits and bytes per pixel, and so the frame-buffer pitch and
// every descriptor the driver fills; 16 bits or less leaves the description.
struct DepthAnswer {
    uint16_t infoBits;
    uint32_t answer;
    uint16_t bits, bytes;
};

std::vector<uint8_t> s_frameBuffer(640 * 480 * 4);
uint32_t s_depthAnswer;
int s_depthQuestions;
uint32_t s_depthArgument;

DWORD WINAPI ThunkWithDci(void* args, DWORD service, void**)
{
    switch (service) {
    case 16: return 1;  // DCI opened
    case 17: return 1;
    case 18: return Address(s_frameBuffer.data());
    case 24:
        ++s_depthQuestions;
        s_depthArgument = args ? *(uint32_t*)args : 0xffffffffu;
        return s_depthAnswer;
    default: return 0;
    }
}

class ThunkDepth : public ::testing::TestWithParam<DepthAnswer> {
protected:
    static DWORD WINAPI Win32s() { return 0x80000A03; }
    void SetUp() override
    {
        platform_ = g_platformId;
        DevSeamVersion(Win32s);
        g_platformId = GetPlatformId();
        DevSeamThunk(ThunkWithDci);
        s_depthQuestions = 0;
    }
    void TearDown() override
    {
        DevTerminate();
        DevSeamThunk(nullptr);
        DevSeamVersion(nullptr);
        g_platformId = platform_;
    }
    uint32_t platform_ = 0;
};

TEST_P(ThunkDepth, RewritesTheDescriptionAboveSixteenBits)
{
    const DepthAnswer& a = GetParam();
    s_depthAnswer = a.answer;
    uint32_t red = a.infoBits == 16 ? 0xf800 : a.infoBits > 16 ? 0xff0000 : 0;
    uint32_t green = a.infoBits == 16 ? 0x7e0 : a.infoBits > 16 ? 0xff00 : 0;
    uint32_t blue = a.infoBits == 16 ? 0x1f : a.infoBits > 16 ? 0xff : 0;
    DeviceInfo info = Device(640, 480, a.infoBits, red, green, blue);
    ASSERT_EQ(1u, DevInitialize(&info));
    ASSERT_EQ(1u, g_directMode);
    ASSERT_EQ(0u, g_dciWin95);
    EXPECT_EQ(1, s_depthQuestions);
    EXPECT_EQ(1u, s_depthArgument);
    EXPECT_EQ(15, info.devCaps);
    EXPECT_EQ(a.bits, info.bitsPerPixel);
    EXPECT_EQ(a.bytes, info.bytesPerPixel);
    EXPECT_EQ(640, info.width);
    EXPECT_EQ(480, info.height);
    EXPECT_EQ((uint32_t)a.bits, g_bitsPerPixel);
    EXPECT_EQ((uint32_t)a.bytes, g_bytesPerPixel);
    EXPECT_EQ(640u * a.bytes, g_screenPitch);
    EXPECT_EQ(640u, g_screenWidth);
    EXPECT_EQ(480u, g_screenHeight);

    RecordingBase base;
    Context c(&base);
    c.SetWindow(10, 20, 110, 70);
    DevContext* ctx = c.get();
    ASSERT_EQ(1u, DevContextCreate(ctx));
    ASSERT_EQ(0x4c0u, DevBufferCreate(ctx, 0x4c0));
    EXPECT_EQ(Address(s_frameBuffer.data()) + 20 * 640 * a.bytes + 10 * a.bytes, ctx->front.bits);
    EXPECT_EQ(640 * a.bytes, ctx->front.pitch);
    EXPECT_EQ(a.bits, ctx->front.bitsPerPixel);
    EXPECT_EQ(a.bits, ctx->back.bitsPerPixel);
    EXPECT_EQ(128 * a.bytes, ctx->back.pitch);
    EXPECT_EQ(0x4c0u, DevBufferDelete(ctx, 0x4c0));
    EXPECT_EQ(1u, DevContextDelete(ctx));
}

INSTANTIATE_TEST_SUITE_P(Table, ThunkDepth,
                         ::testing::Values(DepthAnswer{16, 0, 16, 2}, DepthAnswer{16, 8, 16, 2},
                                           DepthAnswer{16, 15, 16, 2}, DepthAnswer{16, 16, 16, 2},
                                           DepthAnswer{16, 24, 24, 3}, DepthAnswer{16, 32, 32, 4},
                                           DepthAnswer{8, 24, 24, 3}, DepthAnswer{8, 32, 32, 4},
                                           DepthAnswer{24, 16, 24, 3}, DepthAnswer{32, 8, 32, 4}),
                         [](const ::testing::TestParamInfo<DepthAnswer>& i) {
                             return "Bits" + std::to_string(i.param.infoBits) + "Answer" +
                                    std::to_string(i.param.answer);
                         });

}  // namespace
