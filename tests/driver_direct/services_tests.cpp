// The family services on the direct path, called through the slots the
// selector installed: which columns of a row the clear and the present touch
// for a marked block pattern, the zoom-2 clear rectangle, the clip refresh
// and the refused access, the repaint requests, set colour's marking and
// pattern words, and the forwarders.
#include "direct_support.h"

#include "bpp16/trapezoid.h"

#include <string.h>

using namespace drvtest;

namespace {

struct Span {
    int from, to;  // columns from .. to - 1
};

struct PieceCase {
    const char* name;
    uint32_t shift;
    int left, right;
    uint32_t mask;
    std::vector<Span> touched;
    bool inB = false;  // present: the mask stands in B instead of A
};

// A window 1000 pixels wide at the surface's top left, 8 bits unless a
// test of the wider families says otherwise.
class Services : public DirectTest {
protected:
    void SetUp() override
    {
        Begin(bits_, 1024, 768);
        bpp_ = bits_ / 8;
        owner_ = NewContext(0, 0, 1000, 100);
        ctx_ = owner_->get();
        contexts_.push_back(std::move(owner_));
        ASSERT_EQ(0x4c0u, DevBufferCreate(ctx_, 0x4c0));
        ASSERT_EQ(1u, DevContextValidate(ctx_));
        ASSERT_NE(nullptr, ctx_->procs->present);
        procs_ = ctx_->procs;
        memset(A(), 0, 4 * ctx_->dirtyRows);
        memset(B(), 0, 4 * ctx_->dirtyRows);
        DciStandInScriptStatus(nullptr, 0);
    }
    uint32_t* A() { return ctx_->dirtyA; }
    uint32_t* B() { return ctx_->dirtyB; }
    uint8_t* Back(int x, int y) { return DevBufferBits(&ctx_->back) + y * ctx_->back.pitch + x * bpp_; }
    uint8_t* Screen(int x, int y) { return DevBufferBits(&ctx_->front) + y * (int)g_screenPitch + x * bpp_; }
    // Every byte of rows 0 and 1 of a buffer: `touched` spans of `written` in
    // row 0, `untouched` everywhere else.
    template <class At>
    void ExpectRow(At at, const std::vector<Span>& touched, uint8_t written, uint8_t untouched)
    {
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 1000; ++x) {
                bool in = false;
                for (const Span& s : touched) in = in || (y == 0 && x >= s.from && x < s.to);
                for (int i = 0; i < bpp_; ++i)
                    ASSERT_EQ(in ? written : untouched, at(x, y)[i]) << "column " << x << " row " << y;
            }
        }
    }
    void ClearCase(const PieceCase& c);
    void PresentCase(const PieceCase& c);
    void ZoomedClear();
    void ClipRefresh();

    int bits_ = 8;
    int bpp_ = 1;

    std::unique_ptr<Context> owner_;
    DevContext* ctx_ = nullptr;
    DevProcTable* procs_ = nullptr;
};

// Block 31 stands for every block right of it; a row narrower than a block
// is tested in each of the two blocks it touches; the clear writes a wide
// row's tail without a test, the present tests it.
const PieceCase kClearCases[] = {
    {"Block31StandsForTheRest", 4, 600, 700, 1u << 31, {{600, 700}}},
    {"PastBlock31OnlyTheTail", 4, 600, 700, 0x7fffffff, {{688, 700}}},
    {"NarrowStraddleRightBlock", 5, 60, 70, 1u << 2, {{64, 70}}},
    {"NarrowStraddleLeftBlock", 5, 60, 70, 1u << 1, {{60, 64}}},
    {"NarrowInsideUnmarked", 5, 66, 70, 1u << 1, {}},
    {"NarrowInsideMarked", 5, 66, 70, 1u << 2, {{66, 70}}},
    {"HeadAndTail", 5, 29, 100, 1u << 0, {{29, 32}, {96, 100}}},
    {"MiddleBlockOnly", 6, 10, 300, 1u << 2, {{128, 192}, {256, 300}}},
    {"Empty", 5, 70, 70, 0xffffffff, {}},
    {"Inverted", 5, 80, 70, 0xffffffff, {}},
};

class ClearPieces : public Services, public ::testing::WithParamInterface<PieceCase> {};

TEST_P(ClearPieces, TouchOnlyTheMarkedPieces) { ClearCase(GetParam()); }

void Services::ClearCase(const PieceCase& c)
{
    SCOPED_TRACE(c.name);
    g_dirtyShift = c.shift;
    for (int y = 0; y < 2; ++y) memset(Back(0, y), 0xee, 1024 * bpp_);
    memset(ctx_->clearPattern, 0x11, 16);
    ctx_->update = DevRect16{(int16_t)c.left, 0, (int16_t)c.right, 2};
    memset(A(), 0, 4 * ctx_->dirtyRows);
    A()[0] = c.mask;
    EXPECT_EQ(0x20u, procs_->clear(ctx_, 0x20));
    ExpectRow([&](int x, int y) { return Back(x, y); }, c.touched, 0x11, 0xee);
    for (uint32_t y = 0; y < ctx_->dirtyRows; ++y) ASSERT_EQ(0u, A()[y]);
}

INSTANTIATE_TEST_SUITE_P(Table, ClearPieces, ::testing::ValuesIn(kClearCases),
                         [](const ::testing::TestParamInfo<PieceCase>& i) { return std::string(i.param.name); });

const PieceCase kPresentCases[] = {
    {"Block31StandsForTheRest", 4, 600, 700, 1u << 31, {{600, 700}}},
    {"PastBlock31Unmarked", 4, 600, 700, 0x7fffffff, {}},
    {"NarrowStraddleRightBlock", 5, 60, 70, 1u << 2, {{64, 70}}},
    {"NarrowStraddleRightBlockOfB", 5, 60, 70, 1u << 2, {{64, 70}}, true},
    {"NarrowStraddleLeftBlock", 5, 60, 70, 1u << 1, {{60, 64}}},
    {"HeadWithoutTail", 5, 29, 100, 1u << 0, {{29, 32}}},
    {"TailOfB", 5, 29, 100, 1u << 3, {{96, 100}}, true},
    {"Empty", 5, 70, 70, 0xffffffff, {}},
};

class PresentPieces : public Services, public ::testing::WithParamInterface<PieceCase> {};

TEST_P(PresentPieces, CopyOnlyTheMarkedPieces) { PresentCase(GetParam()); }

void Services::PresentCase(const PieceCase& c)
{
    SCOPED_TRACE(c.name);
    g_dirtyShift = c.shift;
    memset(A(), 0, 4 * ctx_->dirtyRows);
    memset(B(), 0, 4 * ctx_->dirtyRows);
    for (int y = 0; y < 2; ++y) {
        memset(Back(0, y), 0x22, 1024 * bpp_);
        memset(Screen(0, y), 0xee, 1000 * bpp_);
    }
    ctx_->clipRects[0] = DevRect16{(int16_t)c.left, 0, (int16_t)c.right, 2};
    ctx_->clipCount = 1;
    (c.inB ? B() : A())[0] = c.mask;
    EXPECT_EQ(1u, procs_->present(ctx_));
    ExpectRow([&](int x, int y) { return Screen(x, y); }, c.touched, 0x22, 0xee);
    EXPECT_EQ(c.inB ? 0u : c.mask, B()[0]);
}

INSTANTIATE_TEST_SUITE_P(Table, PresentPieces, ::testing::ValuesIn(kPresentCases),
                         [](const ::testing::TestParamInfo<PieceCase>& i) { return std::string(i.param.name); });

// In zoom 2 the clear halves all four corners, as the present does, so a
// rectangle away from the origin stays inside the half-size buffer.
TEST_F(Services, ZoomedClearHalvesEveryCorner) { ZoomedClear(); }

void Services::ZoomedClear()
{
    DevBufferDelete(ctx_, 0x4c0);
    ctx_->state |= DEV_ZOOM2 | DEV_DEPTH;
    ctx_->zoomX = ctx_->zoomY = DEV_ZOOM_2;
    ASSERT_EQ(0x4c0u, DevBufferCreate(ctx_, 0x4c0));
    ASSERT_EQ(512, ctx_->back.width);
    const int w = ctx_->back.width, h = ctx_->back.height;
    for (int y = 0; y < h; ++y) memset(Back(0, y), 0xee, w * bpp_);
    for (int y = 0; y < 100; ++y) memset(DevBufferBits(&ctx_->depth) + y * ctx_->depth.pitch, 0xee, 2 * w);
    memset(ctx_->clearPattern, 0x11, 16);
    ctx_->depthClear = 0x33333333;
    ctx_->update = DevRect16{21, 11, 101, 51};
    EXPECT_EQ(0x420u, procs_->clear(ctx_, 0x420));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool in = x >= 10 && x < 50 && y >= 5 && y < 25;
            for (int i = 0; i < bpp_; ++i) ASSERT_EQ(in ? 0x11 : 0xee, Back(x, y)[i]) << x << ", " << y;
            uint8_t* d = DevBufferBits(&ctx_->depth) + y * ctx_->depth.pitch + 2 * x;
            ASSERT_EQ(in ? 0x33 : 0xee, d[0]) << x << ", " << y;
            ASSERT_EQ(in ? 0x33 : 0xee, d[1]) << x << ", " << y;
        }
    }
}

int calls;
DevContext* calledWith;
void DEVPROC ClipChanged(DevContext* ctx)
{
    ++calls;
    calledWith = ctx;
}

// The refreshed list is used within the 40 places of the arrays, the
// callback only when there is one.
TEST_F(Services, ClipRefreshKeepsTheCountWithinTheArrays) { ClipRefresh(); }

void Services::ClipRefresh()
{
    struct {
        int written, reported;
        uint32_t count;
        bool callback;
    } cases[] = {{3, 45, 40, false}, {3, -3, 0, true}, {2, 2, 2, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reported);
        POINT o = {0, 0};
        ClientToScreen(Window(), &o);
        RECT rects[3];
        for (int i = 0; i < 3; ++i) rects[i] = RECT{o.x + 10 * i, o.y, o.x + 10 * i + 5, o.y + 2};
        DciStandInSetClipList(rects, c.written, c.reported);
        static const int changed[] = {1};
        DciStandInScriptStatus(changed, 1);
        calls = 0;
        calledWith = nullptr;
        ctx_->clipChanged = c.callback ? ClipChanged : nullptr;
        ctx_->changeFlags = 0;
        memset(A(), 0xff, 4 * ctx_->dirtyRows);
        for (int y = 0; y < 2; ++y) {
            memset(Back(0, y), 0x22, 1024 * bpp_);
            memset(Screen(0, y), 0xee, 1000 * bpp_);
        }
        EXPECT_EQ(1u, procs_->present(ctx_));
        EXPECT_EQ(c.count, ctx_->clipCount);
        EXPECT_EQ(c.count, ctx_->clipCountCopy);
        EXPECT_EQ(8u, ctx_->changeFlags);
        EXPECT_EQ(c.callback ? 1 : 0, calls);
        if (c.callback) {
            EXPECT_EQ(ctx_, calledWith);
        }
        std::vector<Span> shown;
        for (int i = 0; i < (c.count ? c.written : 0); ++i) shown.push_back(Span{10 * i, 10 * i + 5});
        // Both rows of each written rectangle are shown.
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 1000; ++x) {
                bool in = false;
                for (const Span& s : shown) in = in || (x >= s.from && x < s.to);
                for (int i = 0; i < bpp_; ++i) ASSERT_EQ(in ? 0x22 : 0xee, Screen(x, y)[i]) << x << ", " << y;
            }
    }
    ctx_->clipChanged = nullptr;
}

// A visible rectangle reaching past the window (the window watch's, or the
// library's) is shown only where the window is.
TEST_F(Services, VisibleRectanglesStayInsideTheWindow)
{
    ctx_->clipRects[0] = DevRect16{-10, -5, 1100, 150};
    ctx_->clipCount = 1;
    memset(A(), 0xff, 4 * ctx_->dirtyRows);
    for (int y = 0; y < 100; ++y) memset(Back(0, y), 0x22, 1024);
    uint8_t* surface = DciStandInSurfaceMemory();
    const int stride = (int)g_screenPitch;
    memset(surface, 0xee, (size_t)stride * 768);
    EXPECT_EQ(1u, procs_->present(ctx_));
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < stride; ++x)
            ASSERT_EQ(x < 1000 && y < 100 ? 0x22 : 0xee, surface[y * stride + x]) << x << ", " << y;
}

// A refused access presents nothing and leaves B; a repaint request made
// before it has still marked all of A.
TEST_F(Services, RefusedAccessPresentsNothing)
{
    DciStandInConfig config = Surface(8, 1024, 768);
    config.accessResult = -1;
    DciStandInConfigure(&config);
    ctx_->clipRects[0] = DevRect16{0, 0, 1000, 100};
    ctx_->clipCount = 1;
    memset(Back(0, 0), 0x22, 1024);
    memset(Screen(0, 0), 0xee, 1000);
    B()[0] = 0x5;
    g_repaintAll = 1;
    EXPECT_EQ(1u, procs_->present(ctx_));
    EXPECT_EQ(0xee, *Screen(0, 0));
    EXPECT_EQ(0x5u, B()[0]);
    EXPECT_EQ(0xffffffffu, A()[7]);
    EXPECT_EQ(0u, g_repaintAll);
    DciStandInCounters c = Counters();
    EXPECT_EQ(1, c.begins);
    EXPECT_EQ(0, c.ends);
    EXPECT_EQ(0, c.unbalancedEnds);
}

// A line handed to the library repaints everything at the next present, once;
// the library's own request repaints every time until it takes it back.
TEST_F(Services, RepaintRequests)
{
    ctx_->clipRects[0] = DevRect16{0, 0, 1000, 100};
    ctx_->clipCount = 1;
    base_.result = 9;
    uint8_t line[208] = {};
    EXPECT_EQ(9u, procs_->line(ctx_, (DevLineRecord*)line, 0x1234));
    ASSERT_EQ(1u, base_.calls.size());
    EXPECT_EQ(DEV_SLOT_LINE, base_.calls[0].slot);
    EXPECT_EQ(ctx_, base_.calls[0].ctx);
    EXPECT_EQ((std::vector<uint32_t>{(uint32_t)(uintptr_t)line, 0x1234}), base_.calls[0].args);
    EXPECT_EQ(1u, g_repaintAll);
    for (int round = 0; round < 2; ++round) {
        memset(Back(0, 99), 0x20 + round, 1024);
        memset(Screen(0, 99), 0xee, 1000);
        EXPECT_EQ(1u, procs_->present(ctx_));
        EXPECT_EQ(round == 0 ? 0x20 : 0xee, *Screen(999, 99)) << round;
        EXPECT_EQ(0u, g_repaintAll);
        memset(A(), 0, 4 * ctx_->dirtyRows);  // as the next clear leaves it
        memset(B(), 0, 4 * ctx_->dirtyRows);
    }
    ctx_->repaint = 1;
    for (int round = 0; round < 2; ++round) {
        memset(Back(0, 99), 0x30 + round, 1024);
        EXPECT_EQ(1u, procs_->present(ctx_));
        EXPECT_EQ(0x30 + round, *Screen(999, 99)) << round;
        EXPECT_EQ(1u, ctx_->repaint);
    }
    ctx_->repaint = 0;
}

// The forwarder marks each row between its two ends, also where the right
// end lies left of the left one, and hands the same records to the library.
TEST_F(Services, TrapezoidForwarderMarksBetweenTheEnds)
{
    ctx_->state = 0x10;  // handed to the library
    ASSERT_EQ(1u, DevContextValidate(ctx_));
    g_dirtyShift = 5;
    DevTrapEdge left[2], right[1];
    memset(left, 0, sizeof left);
    memset(right, 0, sizeof right);
    left[0].x = 40u << 16;
    left[0].y = 3u << 16;
    left[0].dxdy = 0;
    left[0].rowCount = 2;
    left[1].x = 100u << 16;  // rows 5 and 6: left end right of the right end
    left[1].dxdy = 0;
    left[1].rowCount = 2;
    right[0].x = 70u << 16;
    right[0].dxdy = 0x8000;  // 70, 70.5, 71, 71.5
    right[0].rowCount = 4;
    DevTrapEdge same[2];
    memset(same, 0, sizeof same);
    DevTrapGradients g;
    base_.result = 5;
    EXPECT_EQ(5u, procs_->trapezoids(ctx_, left, right, &g));
    EXPECT_EQ(0u, A()[2]);
    EXPECT_EQ(0x6u, A()[3]);   // 40 .. 70: blocks 1, 2
    EXPECT_EQ(0x6u, A()[4]);
    EXPECT_EQ(0xcu, A()[5]);   // 71 .. 100: blocks 2, 3 (the block of 100 included)
    EXPECT_EQ(0xcu, A()[6]);
    EXPECT_EQ(0u, A()[7]);
    ASSERT_EQ(1u, base_.calls.size());
    EXPECT_EQ((std::vector<uint32_t>{(uint32_t)(uintptr_t)left, (uint32_t)(uintptr_t)right, (uint32_t)(uintptr_t)&g}),
              base_.calls[0].args);
    // Both ends on one pixel: nothing marked, still forwarded.
    same[0].x = same[1].x = 50u << 16;
    same[0].y = 8u << 16;
    same[0].rowCount = same[1].rowCount = 3;
    EXPECT_EQ(5u, procs_->trapezoids(ctx_, &same[0], &same[1], &g));
    for (int y = 8; y < 11; ++y) EXPECT_EQ(0u, A()[y]);
    EXPECT_EQ(2u, base_.calls.size());
}

// A packed clear colour marks both masks; a drawing colour or separate
// channels do not. The undithered forms fill the odd-row word too.
TEST_F(Services, SetColorMarksAndPatternWords)
{
    struct {
        uint32_t state, c0, separate;
        bool clear, marks;
        uint32_t color;
        uint8_t even[4], odd[4];
    } cases[] = {
        {0, 0xffffff, 0, true, true, 0xffffff, {0xc5, 0xc5, 0xc5, 0xc5}, {0xc5, 0xc5, 0xc5, 0xc5}},
        {0, 0xffffff, 0, false, false, 0xffffff, {0xc5, 0xc5, 0xc5, 0xc5}, {0xc5, 0xc5, 0xc5, 0xc5}},
        {DEV_COLORINDEX, 0x234, 0, true, true, 0x34, {0x34, 0x34, 0x34, 0x34}, {0x34, 0x34, 0x34, 0x34}},
        {DEV_COLORINDEX | DEV_DITHER, 0x234, 1, false, false, 0x34, {0x34, 0x34, 0x34, 0x34}, {0x34, 0x34, 0x34, 0x34}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.c0);
        ctx_->state = c.state;
        memset(A(), 0, 4 * ctx_->dirtyRows);
        memset(B(), 0, 4 * ctx_->dirtyRows);
        uint8_t* out = c.clear ? ctx_->clearPattern : ctx_->fillPattern;
        memset(out, 0x99, 32);
        EXPECT_EQ(1u, procs_->setColor(ctx_, c.c0, c.c0, c.c0, c.c0, c.separate, out));
        EXPECT_EQ(c.color, ctx_->color);
        EXPECT_EQ(0, memcmp(out, c.even, 4));
        EXPECT_EQ(0, memcmp(out + 8, c.odd, 4));
        EXPECT_EQ(c.marks ? 0xffffffffu : 0u, A()[ctx_->dirtyRows - 1]);
        EXPECT_EQ(c.marks ? 0xffffffffu : 0u, B()[0]);
    }
    // Colour-index dither: rows 2 and 3 hold the next index.
    EXPECT_EQ(0x35, ctx_->fillPattern[16]);
    EXPECT_EQ(0x35, ctx_->fillPattern[31]);
}

// The same pieces, zoom rule and clip refresh in the wider families, one
// surface per depth.
class WideServices : public Services, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        bits_ = GetParam();
        Services::SetUp();
    }
};

TEST_P(WideServices, PiecesZoomAndClipRefresh)
{
    for (const PieceCase& c : kClearCases) ClearCase(c);
    for (const PieceCase& c : kPresentCases) PresentCase(c);
    ClipRefresh();
    ZoomedClear();
}

INSTANTIATE_TEST_SUITE_P(Depths, WideServices, ::testing::Values(16, 24, 32));

}  // namespace
