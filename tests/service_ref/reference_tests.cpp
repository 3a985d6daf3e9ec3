// The reference model itself against values worked out by hand: if these
// fail, the oracle is wrong, whatever the families do.
#include "service_ref.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string.h>

using namespace svcref;

namespace {

CanvasSpec Layout(const Display& d, uint16_t w = 100, uint16_t h = 12, uint32_t shift = 5)
{
    CanvasSpec s;
    s.display = d;
    s.width = w;
    s.height = h;
    s.dirtyShift = shift;
    return s;
}

uint32_t Word(const uint8_t* p)
{
    uint32_t v;
    memcpy(&v, p, 4);
    return v;
}

uint32_t Fx(double v) { return static_cast<uint32_t>(static_cast<int32_t>(v * 65536.0)); }

}  // namespace

// ---------------------------------------------------------------- set colour

TEST(ReferenceSetColor, EightBitColourIndexKeepsTheLowByte)
{
    Canvas c(Layout(Display8()), 1);
    c.ctx()->state = DEV_COLORINDEX;
    EXPECT_EQ(1u, RefSetColor(c, 0x234, 5, 6, 7, 1, c.ctx()->fillPattern));
    EXPECT_EQ(0x34u, c.ctx()->color);
    EXPECT_EQ(0x34343434u, Word(c.ctx()->fillPattern));
    EXPECT_EQ(0x34343434u, Word(c.ctx()->fillPattern + 8));  // the odd rows' word too
    uint8_t elsewhere[12];
    memset(elsewhere, 0x77, sizeof elsewhere);
    RefSetColor(c, 0x12, 0, 0, 0, 0, elsewhere);  // not a pattern: the word at +8 is not written
    EXPECT_EQ(0x12121212u, Word(elsewhere));
    EXPECT_EQ(0x77777777u, Word(elsewhere + 8));
}

TEST(ReferenceSetColor, EightBitColourIndexDitherAddsOneOnRowsTwoAndThree)
{
    Canvas c(Layout(Display8()), 1);
    c.ctx()->state = DEV_COLORINDEX | DEV_DITHER;
    RefSetColor(c, 0xff, 0, 0, 0, 0, c.ctx()->fillPattern);
    for (int r = 0; r < 4; ++r)
        for (int col = 0; col < 8; ++col)
            EXPECT_EQ(r < 2 ? 0xff : 0x00, c.ctx()->fillPattern[8 * r + col]) << r << "," << col;
}

TEST(ReferenceSetColor, EightBitCubeIndexOfWhiteAndBlack)
{
    Canvas c(Layout(Display8(10)), 1);
    RefSetColor(c, 0x00ffffff, 0x00ffffff, 0x00ffffff, 0, 1, c.ctx()->fillPattern);
    EXPECT_EQ(0xc5c5c5c5u, Word(c.ctx()->fillPattern));  // 10 + 0xa0 + 0x18 + 3
    EXPECT_EQ(0xc5c5c5c5u, Word(c.ctx()->fillPattern + 8));
    RefSetColor(c, 0, 0, 0, 0, 1, c.ctx()->fillPattern);
    EXPECT_EQ(0x0a0a0a0au, Word(c.ctx()->fillPattern));
}

TEST(ReferenceSetColor, EightBitPaletteBaseWrapsInEightBits)
{
    Canvas c(Layout(Display8(0xf0)), 1);
    RefSetColor(c, Fx(48.0), 0, 0, 0, 1, c.ctx()->fillPattern);  // scaled to 36.0: red level 1
    EXPECT_EQ(0x10u, c.ctx()->fillPattern[0]);
}

TEST(ReferenceSetColor, EightBitDitheredWhiteRowsAtZeroAndEight)
{
    Canvas c(Layout(Display8(10)), 1);
    c.ctx()->state = DEV_DITHER;
    uint8_t before[16];
    memcpy(before, c.ctx()->clearPattern, 16);
    RefSetColor(c, 0x00ffffff, 0, 0, 0, 0, c.ctx()->clearPattern);
    const uint8_t* p = c.ctx()->clearPattern;
    EXPECT_EQ(10 + 0xdf, p[3]);      // column 3 of an even row: d = 24.0
    EXPECT_EQ(10 + 0xbb, p[0]);      // d = 0: the undithered white
    EXPECT_EQ(10 + 0xdf, p[8 + 1]);  // odd row, column 1: d = 24.0
    EXPECT_EQ(10 + 0xbb, p[8 + 2]);
    for (int i = 4; i < 8; ++i) {
        EXPECT_EQ(before[i], p[i]);
        EXPECT_EQ(before[8 + i], p[8 + i]);
    }
}

TEST(ReferenceSetColor, PackedAndSeparateColours)
{
    Canvas c(Layout(Display8()), 1);
    RefSetColor(c, 0xab112233, 0, 0, 0, 0, c.ctx()->fillPattern);
    EXPECT_EQ(0xab112233u, c.ctx()->color);
    RefSetColor(c, 0x00ff8000, 0, 0, 0x01020000, 1, c.ctx()->fillPattern);  // red 255.5, alpha 258.0
    EXPECT_EQ(0x020000ffu, c.ctx()->color);
}

TEST(ReferenceSetColor, OnlyAPackedClearColourMarksBothMasks)
{
    Canvas c(Layout(Display565()), 1);
    c.SetMasks(0x5, 0x3);
    RefSetColor(c, 0x123456, 0, 0, 0, 0, c.ctx()->fillPattern);
    RefSetColor(c, 0x123456, 0, 0, 0, 1, c.ctx()->clearPattern);
    EXPECT_EQ(0x5u, c.A(3));
    EXPECT_EQ(0x3u, c.B(3));
    RefSetColor(c, 0x123456, 0, 0, 0, 0, c.ctx()->clearPattern);
    for (uint32_t y = 0; y < c.rows(); ++y) {
        EXPECT_EQ(0xffffffffu, c.A(y));
        EXPECT_EQ(0xffffffffu, c.B(y));
    }
    EXPECT_EQ(0u, c.A(c.rows()));  // the spare word
}

TEST(ReferenceSetColor, SixteenBitPixelTwice)
{
    Canvas c(Layout(Display565()), 1);
    RefSetColor(c, 0x00ffffff, 0, 0, 0, 0, c.ctx()->fillPattern);
    EXPECT_EQ(0xffffffffu, Word(c.ctx()->fillPattern));
    RefSetColor(c, 0x80, 0, 0, 0, 0, c.ctx()->fillPattern);
    EXPECT_EQ(0x80008000u, Word(c.ctx()->fillPattern));
    Canvas d(Layout(Display555()), 1);
    RefSetColor(d, 0xff, 0, 0, 0, 0, d.ctx()->fillPattern);
    EXPECT_EQ(0x7c007c00u, Word(d.ctx()->fillPattern));
    RefSetColor(d, 0, 0x00ff0000, 0x00080000, 0x00010000, 1, d.ctx()->fillPattern);  // green 31, blue 1
    EXPECT_EQ(0x03e103e1u, Word(d.ctx()->fillPattern));
    EXPECT_EQ(0x0108ff00u, d.ctx()->color);
}

TEST(ReferenceSetColor, TwentyFourBitTwelveBytesInEitherByteOrder)
{
    Canvas c(Layout(Display24(true)), 1);
    RefSetColor(c, 0x00336699, 0, 0, 0, 0, c.ctx()->fillPattern);
    const uint8_t bgr[3] = {0x33, 0x66, 0x99};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(bgr[i % 3], c.ctx()->fillPattern[i]) << i;
    RefSetColor(c, 0x00ff0000, 0x00800000, 0, 0x00400000, 1, c.ctx()->fillPattern);
    EXPECT_EQ(0x400080ffu, c.ctx()->color);
    RefSetColor(c, 0x00ff8000, 0x00400000, 0x00010000, 0, 1, c.ctx()->fillPattern);
    EXPECT_EQ(0x01, c.ctx()->fillPattern[0]);
    EXPECT_EQ(0x40, c.ctx()->fillPattern[1]);
    EXPECT_EQ(0xff, c.ctx()->fillPattern[2]);
    Canvas d(Layout(Display24(false)), 1);
    RefSetColor(d, 0x00ff8000, 0x00400000, 0x00010000, 0, 1, d.ctx()->fillPattern);
    EXPECT_EQ(0xff, d.ctx()->fillPattern[0]);
    EXPECT_EQ(0x40, d.ctx()->fillPattern[1]);
    EXPECT_EQ(0x01, d.ctx()->fillPattern[2]);
}

TEST(ReferenceSetColor, ThirtyTwoBitFinishedPixel)
{
    Canvas c(Layout(Display32(true)), 1);
    RefSetColor(c, 0x00ff8040, 0, 0, 0, 0, c.ctx()->fillPattern);
    EXPECT_EQ(0x4080ffu, Word(c.ctx()->fillPattern));
    EXPECT_EQ(0x00ff8040u, c.ctx()->color);
    RefSetColor(c, 0x00408000, 0x00800000, 0x00ff0000, 0x00ff0000, 1, c.ctx()->fillPattern);
    EXPECT_EQ(0x4080ffu, Word(c.ctx()->fillPattern));
    EXPECT_EQ(0xffff8040u, c.ctx()->color);
    Canvas d(Layout(Display32(false)), 1);
    RefSetColor(d, 0x00ff8040, 0, 0, 0, 0, d.ctx()->fillPattern);
    EXPECT_EQ(0xff8040u, Word(d.ctx()->fillPattern));
}

// --------------------------------------------------------------------- clear

namespace {
// Fills the clear pattern with distinct bytes (8-bit: row words 0x11.. and 0x21..).
void Pattern(Canvas& c)
{
    uint8_t* p = c.ctx()->clearPattern;
    for (int i = 0; i < 32; ++i) p[i] = static_cast<uint8_t>(0x11 + i);
    if (c.bpp() == 2) p[2] = p[0], p[3] = p[1];
    if (c.bpp() == 3)
        for (int i = 3; i < 12; ++i) p[i] = p[i % 3];
}
bool Cleared(Canvas& c, int x, int y)
{
    return memcmp(c.BackPixel(x, y), c.ctx()->clearPattern, c.bpp() == 1 ? 0 : c.bpp()) == 0 &&
           (c.bpp() != 1 || *c.BackPixel(x, y) == c.ctx()->clearPattern[8 * (y & 1) + (x & 3)]);
}
}  // namespace

TEST(ReferenceClear, NothingAskedStillEmptiesA)
{
    Canvas c(Layout(Display8()), 2), fresh(Layout(Display8()), 2);
    c.SetMasks(0xffffffff, 0x1234);
    fresh.SetMasks(0, 0x1234);
    EXPECT_EQ(0u, RefClear(c, 0));
    EXPECT_EQ("", c.Diff(fresh));
}

TEST(ReferenceClear, DepthWithoutDepthStateReportsButWritesNothing)
{
    Canvas c(Layout(Display8()), 2), fresh(Layout(Display8()), 2);
    c.SetMasks(0xffffffff, 0);
    fresh.SetMasks(0, 0);
    EXPECT_EQ(0x400u, RefClear(c, 0x400));
    EXPECT_EQ("", c.Diff(fresh));
    c.ctx()->state |= DEV_DEPTH;
    c.SetMasks(0xffffffff, 0);
    EXPECT_EQ(0x420u, RefClear(c, 0xffffffff));
    EXPECT_EQ(static_cast<uint16_t>(c.ctx()->depthClear), *c.DepthAt(99, 11));
}

TEST(ReferenceClear, EightBitRowsTakeTheirParitysWord)
{
    CanvasSpec s = Layout(Display8(), 100, 4);
    s.backAlign = 1;  // the pattern byte follows the address, not the column
    Canvas c(s, 3);
    Pattern(c);
    c.SetMasks(0xffffffff, 0);
    RefClear(c, 0x20);
    for (int x = 0; x < 100; ++x) {
        uint32_t a = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(c.BackPixel(x, 0)) & 3);
        EXPECT_EQ(0x11 + a, *c.BackPixel(x, 0));
        EXPECT_EQ(0x19 + a, *c.BackPixel(x, 1));
    }
}

TEST(ReferenceClear, ThreePixelHeadAndTheTailOfAPartlyMarkedRow)
{
    // 32-pixel blocks; a rectangle from 29 to 74: head 29..31, block 32..63,
    // tail 64..73. Only the first block's bit is set.
    Canvas c(Layout(Display32(true), 128, 2), 4);
    Pattern(c);
    c.ctx()->update = DevRect16{29, 0, 74, 1};
    c.SetMasks(0x1, 0);
    Canvas before(Layout(Display32(true), 128, 2), 4);
    RefClear(c, 0x20);
    for (int x = 0; x < 128; ++x) {
        bool expect = (x >= 29 && x < 32) || (x >= 64 && x < 74);
        EXPECT_EQ(expect, Cleared(c, x, 0)) << x;
        if (!expect) {
            EXPECT_EQ(0, memcmp(c.BackPixel(x, 0), before.BackPixel(x, 0), 4)) << x;
        }
    }
    EXPECT_FALSE(Cleared(c, 30, 1));  // outside the rectangle
}

TEST(ReferenceClear, NarrowRectangleTestsTheBlocksItTouches)
{
    Canvas c(Layout(Display565(), 100, 5), 5);
    Pattern(c);
    c.ctx()->update = DevRect16{30, 0, 36, 5};  // straddles 32
    c.A(0) = 0x1, c.A(1) = 0x2, c.A(2) = 0x3, c.A(3) = 0x4, c.A(4) = 0;
    RefClear(c, 0x20);
    for (int x = 30; x < 36; ++x) {
        EXPECT_EQ(x < 32, Cleared(c, x, 0)) << x;
        EXPECT_EQ(x >= 32, Cleared(c, x, 1)) << x;  // a change in the right block is not missed
        EXPECT_TRUE(Cleared(c, x, 2)) << x;
        EXPECT_FALSE(Cleared(c, x, 3)) << x;
        EXPECT_FALSE(Cleared(c, x, 4)) << x;
    }
    Canvas d(Layout(Display565(), 100, 2), 5);
    Pattern(d);
    d.ctx()->update = DevRect16{64, 0, 70, 2};  // on a boundary: no tail cleared without its bit
    d.A(0) = 0x1, d.A(1) = 0x4;
    RefClear(d, 0x20);
    EXPECT_FALSE(Cleared(d, 64, 0));
    EXPECT_TRUE(Cleared(d, 69, 1));
}

TEST(ReferenceClear, BlocksPastThirtyOneShareBitThirtyOne)
{
    // 16-pixel blocks on a 700-pixel row: blocks 31 to 43 are all bit 31.
    Canvas c(Layout(Display8(), 700, 2, 4), 6);
    Pattern(c);
    c.ctx()->update = DevRect16{5, 0, 690, 2};
    c.A(0) = 0x80000000u;
    c.A(1) = 0x7fffffffu;
    RefClear(c, 0x20);
    EXPECT_FALSE(Cleared(c, 495, 0));
    for (int x = 496; x < 690; ++x) EXPECT_TRUE(Cleared(c, x, 0)) << x;
    EXPECT_TRUE(Cleared(c, 495, 1));
    EXPECT_FALSE(Cleared(c, 496, 1));
    EXPECT_FALSE(Cleared(c, 687, 1));
    EXPECT_TRUE(Cleared(c, 688, 1));  // the tail 688, 689 is cleared without a bit
    EXPECT_TRUE(Cleared(c, 689, 1));
}

TEST(ReferenceClear, ZoomTwoHalvesTheRectangle)
{
    CanvasSpec s = Layout(Display32(true), 640, 480);
    s.zoom2 = true;
    Canvas c(s, 7);
    Pattern(c);
    c.SetMasks(0xffffffff, 0);
    RefClear(c, 0x20);
    EXPECT_TRUE(Cleared(c, 0, 0));
    EXPECT_TRUE(Cleared(c, 319, 239));
    Canvas d(s, 7);
    Pattern(d);
    d.SetMasks(0xffffffff, 0);
    d.ctx()->update = DevRect16{3, 5, 77, 13};  // back pixels 1..37, rows 2..5
    RefClear(d, 0x20);
    EXPECT_FALSE(Cleared(d, 0, 2));
    EXPECT_TRUE(Cleared(d, 1, 2));
    EXPECT_TRUE(Cleared(d, 37, 5));
    EXPECT_FALSE(Cleared(d, 38, 5));
    EXPECT_FALSE(Cleared(d, 1, 6));
    EXPECT_FALSE(Cleared(d, 1, 1));
}

TEST(ReferenceClear, EmptyOrInvertedRectangleClearsNothing)
{
    for (DevRect16 r : {DevRect16{10, 2, 10, 8}, DevRect16{20, 2, 10, 8}, DevRect16{5, 6, 50, 6}}) {
        Canvas c(Layout(Display8()), 8), fresh(Layout(Display8()), 8);
        c.ctx()->state = fresh.ctx()->state = DEV_DEPTH;
        c.ctx()->update = fresh.ctx()->update = r;
        c.SetMasks(0xffffffff, 0);
        fresh.SetMasks(0, 0);
        EXPECT_EQ(0x420u, RefClear(c, 0x420));
        EXPECT_EQ("", c.Diff(fresh));
    }
}

// ------------------------------------------------------------------- present

namespace {
bool Same(Canvas& c, int fx, int fy, int bx, int by)
{
    return memcmp(c.WindowAt(fx, fy), c.BackPixel(bx, by), c.bpp()) == 0;
}
}  // namespace

TEST(ReferencePresent, ZoomTwoDoublesEachPixel)
{
    CanvasSpec s = Layout(Display24(true), 128, 16);
    s.zoom2 = true;
    Canvas c(s, 9);
    c.SetMasks(0xffffffff, 0);
    c.SetClipRects({DevRect16{0, 0, 128, 16}});
    RefPresent(c, false, nullptr, nullptr);
    EXPECT_TRUE(Same(c, 20, 10, 10, 5));
    EXPECT_TRUE(Same(c, 21, 10, 10, 5));
    EXPECT_TRUE(Same(c, 20, 11, 10, 5));
    EXPECT_TRUE(Same(c, 21, 11, 10, 5));
}

TEST(ReferencePresent, ZoomTwoOddOriginStartsAtTheHalvedColumn)
{
    CanvasSpec s = Layout(Display8(), 128, 16);
    s.zoom2 = true;
    Canvas c(s, 10), before(s, 10);
    c.SetMasks(0xffffffff, 0);
    c.SetClipRects({DevRect16{3, 0, 8, 2}});  // back columns 1..3 of row 0
    RefPresent(c, false, nullptr, nullptr);
    EXPECT_EQ(*before.WindowAt(1, 0), *c.WindowAt(1, 0));
    EXPECT_TRUE(Same(c, 2, 0, 1, 0));
    EXPECT_TRUE(Same(c, 7, 1, 3, 0));
    EXPECT_EQ(*before.WindowAt(8, 0), *c.WindowAt(8, 0));
    EXPECT_EQ(*before.WindowAt(2, 2), *c.WindowAt(2, 2));
}

TEST(ReferencePresent, TranslatedZoomWritesEachTranslationFourTimes)
{
    CanvasSpec s = Layout(Display8(), 64, 4);
    s.zoom2 = true;
    Canvas c(s, 11);
    uint8_t t8[256];
    for (int i = 0; i < 256; ++i) t8[i] = static_cast<uint8_t>(i * 10);
    c.ctx()->translate = 1;
    c.ctx()->translate8 = t8;
    *c.BackPixel(0, 0) = 1;
    *c.BackPixel(1, 0) = 2;
    c.SetMasks(0xffffffff, 0);
    c.SetClipRects({DevRect16{0, 0, 4, 2}});
    RefPresent(c, true, nullptr, nullptr);
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(10, *c.WindowAt(0, y));
        EXPECT_EQ(10, *c.WindowAt(1, y));
        EXPECT_EQ(20, *c.WindowAt(2, y));
        EXPECT_EQ(20, *c.WindowAt(3, y));
    }
}

TEST(ReferencePresent, CopiesMarkedBlocksOfAOrBThenBTakesA)
{
    Canvas c(Layout(Display565(), 100, 4), 12), before(Layout(Display565(), 100, 4), 12);
    c.SetClipRects({DevRect16{0, 0, 100, 4}, DevRect16{40, 1, 44, 2}});
    c.A(0) = 0x1, c.B(0) = 0;  // block 0
    c.A(1) = 0, c.B(1) = 0x8;  // block 3 = the tail 96..99
    c.A(2) = 0, c.B(2) = 0;
    c.A(3) = 0x4, c.B(3) = 0x2;
    RefPresent(c, false, nullptr, nullptr);
    EXPECT_TRUE(Same(c, 31, 0, 31, 0));
    EXPECT_FALSE(Same(c, 32, 0, 32, 0));
    EXPECT_TRUE(Same(c, 96, 1, 96, 1));
    EXPECT_TRUE(Same(c, 99, 1, 99, 1));
    EXPECT_FALSE(Same(c, 95, 1, 95, 1));
    EXPECT_FALSE(Same(c, 40, 1, 40, 1));  // the narrow rectangle's block 1 is not marked
    for (int x = 0; x < 100; ++x) EXPECT_EQ(0, memcmp(c.WindowAt(x, 2), before.WindowAt(x, 2), 2));
    EXPECT_TRUE(Same(c, 32, 3, 32, 3));
    EXPECT_TRUE(Same(c, 95, 3, 95, 3));
    EXPECT_FALSE(Same(c, 31, 3, 31, 3));
    for (int y = 0; y < 4; ++y) EXPECT_EQ(c.A(y), c.B(y));
    EXPECT_EQ(0x4u, c.B(3));
}

TEST(ReferencePresent, ShowsRectanglesOnlyInsideTheWindow)
{
    Canvas c(Layout(Display32(true), 100, 12), 24), before(Layout(Display32(true), 100, 12), 24);
    c.SetMasks(0xffffffff, 0);
    c.SetClipRects({DevRect16{-10, -5, 110, 40}});
    RefPresent(c, false, nullptr, nullptr);
    for (int y = -3; y < 14; ++y)
        for (int x = -5; x < 103; ++x) {
            bool inside = x >= 0 && x < 100 && y >= 0 && y < 12;
            if (inside) {
                EXPECT_TRUE(Same(c, x, y, x, y)) << x << "," << y;
            } else {
                EXPECT_EQ(0, memcmp(c.WindowAt(x, y), before.WindowAt(x, y), 4)) << x << "," << y;
            }
        }
}

TEST(ReferencePresent, RepaintRequestsMarkEveryRow)
{
    Canvas c(Layout(Display8(), 64, 3), 13);
    c.SetMasks(0, 0);
    c.SetClipRects({DevRect16{0, 0, 64, 3}});
    c.globals.repaintAll = 1;
    RefPresent(c, false, nullptr, nullptr);
    EXPECT_EQ(0u, c.globals.repaintAll);
    EXPECT_TRUE(Same(c, 63, 2, 63, 2));
    EXPECT_EQ(0xffffffffu, c.B(2));
    Canvas d(Layout(Display8(), 64, 3), 13);
    d.SetMasks(0, 0);
    d.ctx()->repaint = 1;
    RefPresent(d, false, nullptr, nullptr);
    EXPECT_EQ(1u, d.ctx()->repaint);
    EXPECT_EQ(0xffffffffu, d.A(0));
}

TEST(ReferencePresent, RefusedAccessCopiesNothingAndKeepsB)
{
    Canvas c(Layout(Display8(), 64, 3), 14), before(Layout(Display8(), 64, 3), 14);
    c.SetMasks(0xffffffff, 0x5);
    c.SetClipRects({DevRect16{0, 0, 64, 3}});
    c.globals.dciWin95 = 1;
    DciScript dci;
    dci.accessRefused = true;
    DciExpect expect;
    EXPECT_EQ(1u, RefPresent(c, false, &dci, &expect));
    EXPECT_EQ(0, memcmp(c.screen(), before.screen(), c.screenBytes()));
    EXPECT_EQ(0x5u, c.B(1));
    EXPECT_EQ(1, expect.begins);
    EXPECT_EQ(0, expect.ends);
}

TEST(ReferencePresent, ClipRefreshFromTheWindowWatch)
{
    Canvas c(Layout(Display8(), 64, 8), 15);
    c.SetMasks(0, 0);
    c.globals.dciWin95 = 1;
    c.globals.screenWidth = 300, c.globals.screenHeight = 200;
    DciScript dci;
    dci.changed = true;
    dci.clientOrigin = POINT{100, 50};
    dci.screenRects = {RECT{100, 50, 120, 58}, RECT{130, 52, 164, 54}};
    dci.reportedCount = 2;
    DciExpect expect;
    RefPresent(c, false, &dci, &expect);
    EXPECT_EQ(2u, c.ctx()->clipCount);
    EXPECT_EQ(2u, c.ctx()->clipCountCopy);
    EXPECT_EQ(30, c.ctx()->clipRectsCopy[1].x0);
    EXPECT_EQ(4, c.ctx()->clipRects[1].y1);
    ASSERT_EQ(1u, c.clipCalls.size());
    EXPECT_EQ(2u, c.clipCalls[0].clipCount);
    EXPECT_TRUE(c.clipCalls[0].changeFlags & DEV_CHANGE_CLIP);
    EXPECT_EQ(299, expect.access.right);
    EXPECT_EQ(199, expect.access.bottom);
    dci.reportedCount = 45;  // more than 40: only 40 are used
    RefPresent(c, false, &dci, &expect);
    EXPECT_EQ(40u, c.ctx()->clipCount);
    dci.reportedCount = -3;
    RefPresent(c, false, &dci, &expect);
    EXPECT_EQ(0u, c.ctx()->clipCount);
}

// ---------------------------------------------------------------- forwarders

namespace {
DevTrapEdge Edge(double x, double dxdy, int rows, double y = 0)
{
    DevTrapEdge e;
    memset(&e, 0, sizeof e);
    e.x = Fx(x);
    e.dxdy = Fx(dxdy);
    e.rowCount = rows;
    e.y = Fx(y);
    return e;
}
}  // namespace

TEST(ReferenceForwarder, MarksTheBlockRuleAndReturnsTheBaseResult)
{
    Canvas c(Layout(Display8(), 1024, 8), 16);
    c.SetMasks(0, 0);
    c.baseResult = 0x1234;
    struct Span { double l, r; uint32_t bits; } spans[] = {
        {30, 33, 0x3}, {0, 32, 0x3}, {992, 1000, 0x80000000u}, {0, 1024, 0xffffffffu},
        {40, 40.5, 0}, {40, 10, 0x3},  // same pixel; reversed, from the smaller end
    };
    int row = 0;
    for (const Span& s : spans) {
        DevTrapEdge l = Edge(s.l, 0, 1, row), r = Edge(s.r, 0, 1);
        DevTrapGradients g;
        EXPECT_EQ(0x1234u, RefTrapezoidsGeneric(c, &l, &r, &g));
        EXPECT_EQ(s.bits, c.A(row)) << row;
        ASSERT_EQ(static_cast<size_t>(row + 1), c.baseCalls.size());
        EXPECT_EQ(DEV_SLOT_TRAPEZOIDS, c.baseCalls.back().slot);
        EXPECT_EQ(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(&l)), c.baseCalls.back().args[0]);
        ++row;
    }
}

TEST(ReferenceForwarder, WalksRecordsOfBothChains)
{
    Canvas c(Layout(Display8(), 256, 12), 17);
    c.SetMasks(0, 0);
    DevTrapEdge left[3] = {Edge(10, 0, 3, 2), Edge(100, 0, 0), Edge(200, 0, 5)};
    DevTrapEdge right[1] = {Edge(20, 8, 8)};
    DevTrapGradients g;
    RefTrapezoidsGeneric(c, left, right, &g);
    EXPECT_EQ(0u, c.A(1));
    EXPECT_EQ(0x1u, c.A(2));                 // 10 .. 20
    EXPECT_EQ(0x3u, c.A(4));                 // 10 .. 36
    EXPECT_EQ(0x7eu, c.A(5));    // reversed: 44 .. 200
    EXPECT_EQ(0u, c.A(10));
}

TEST(ReferenceForwarder, LineForwarderAsksForARepaint)
{
    Canvas c(Layout(Display8()), 18);
    c.baseResult = 77;
    LineRecord line = {};
    EXPECT_EQ(77u, RefLineGeneric(c, line.get(), 0xabc));
    EXPECT_EQ(1u, c.globals.repaintAll);
    ASSERT_EQ(1u, c.baseCalls.size());
    EXPECT_EQ(DEV_SLOT_LINE, c.baseCalls[0].slot);
    EXPECT_EQ(0xabcu, c.baseCalls[0].args[1]);
}

// --------------------------------------------------------------------- lines

namespace {
LineRecord Line(int x0, int y0, int x1, int y1)
{
    LineRecord l;
    memset(&l, 0, sizeof l);
    l.v[0].x = Fx(x0 + 0.25), l.v[0].y = Fx(y0 + 0.75);
    l.v[1].x = Fx(x1 + 0.5), l.v[1].y = Fx(y1);
    return l;
}
std::vector<std::pair<int, int>> Drawn(Canvas& c, Canvas& before, int w, int h)
{
    std::vector<std::pair<int, int>> out;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (*c.BackPixel(x, y) != *before.BackPixel(x, y)) out.push_back({x, y});
    return out;
}
}  // namespace

TEST(ReferenceLine, EndsCoincideOnePixel)
{
    Canvas c(Layout(Display8(), 64, 8), 19), before(Layout(Display8(), 64, 8), 19);
    c.SetMasks(0, 0);
    c.ctx()->fillPattern[0] = static_cast<uint8_t>(~*before.BackPixel(2, 3));
    RefLine8(c, kLineFsD, Line(2, 3, 2, 3));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{2, 3}}), Drawn(c, before, 64, 8));
    EXPECT_EQ(0x1u, c.A(3));
}

TEST(ReferenceLine, MinorStepsFallWhereTheErrorTermSays)
{
    CanvasSpec s = Layout(Display8(), 64, 12);
    Canvas before(s, 20);
    auto draw = [&](int x0, int y0, int x1, int y1) {
        Canvas c(s, 20);
        memset(c.BackPixel(0, 0), 0, c.backWidth() * 12);
        c.ctx()->fillPattern[0] = 1;
        RefLine8(c, kLineFsD, Line(x0, y0, x1, y1));
        std::vector<std::pair<int, int>> out;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 64; ++x)
                if (*c.BackPixel(x, y)) out.push_back({x, y});
        return out;
    };
    std::vector<std::pair<int, int>> shallow = {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 3},
                                                {6, 3}, {7, 4}, {8, 4}, {9, 5}, {10, 5}};
    EXPECT_EQ(shallow, draw(0, 0, 10, 5));
    std::vector<std::pair<int, int>> steep;  // y by row: 0 1 2 3 4 5 5 6 7 8 9, one x step without y
    int ys[11] = {0, 1, 2, 3, 4, 5, 5, 6, 7, 8, 9};
    for (int x = 0; x <= 10; ++x) steep.push_back({x, ys[x]});
    std::sort(steep.begin(), steep.end(), [](auto a, auto b) { return a.second != b.second ? a.second < b.second : a.first < b.first; });
    EXPECT_EQ(steep, draw(0, 0, 10, 9));
    EXPECT_EQ(draw(0, 0, 10, 10), draw(10, 10, 0, 0));
    EXPECT_EQ(11u, draw(10, 10, 0, 0).size());
}

TEST(ReferenceLine, DirtyBitsPerPixelBlock)
{
    Canvas c(Layout(Display8(), 700, 4, 5), 21);
    c.SetMasks(0, 0);
    RefLine8(c, kLineFsD, Line(30, 1, 33, 1));
    EXPECT_EQ(0x3u, c.A(1));
    Canvas d(Layout(Display8(), 700, 4, 4), 21);
    d.SetMasks(0, 0);
    RefLine8(d, kLineFsD, Line(600, 2, 690, 2));  // blocks 37 .. 43: bit 31
    EXPECT_EQ(0x80000000u, d.A(2));
}

TEST(ReferenceLine, SmoothLineScalesItsChannelsOnce)
{
    Canvas c(Layout(Display8(10), 256, 2), 22);
    LineRecord l = Line(0, 0, 255, 0);
    l.v[0].ch0Step = 0x10101;  // 255.99 / 255
    RefLine8(c, kLineSsD, l);
    EXPECT_EQ(10 + 0xc0, *c.BackPixel(255, 0));  // red 191.99 + dither 24.0: level 6
    EXPECT_EQ(10 + 0xa0, *c.BackPixel(252, 0));  // red 189.7, no dither: level 5
    EXPECT_EQ(10 + 0x00, *c.BackPixel(0, 0));
}

TEST(ReferenceLine, DepthTestPassesOnEqualAndStepsOnFailure)
{
    Canvas c(Layout(Display8(), 64, 2), 23), before(Layout(Display8(), 64, 2), 23);
    c.SetMasks(0, 0);
    LineRecord l = Line(0, 0, 2, 0);
    l.v[0].z = 0x100u << 12;
    l.v[0].zStep = 0x10u << 12;
    *c.DepthAt(0, 0) = 0x100;  // equal: drawn
    *c.DepthAt(1, 0) = 0x10f;  // 0x110 is greater: not drawn
    *c.DepthAt(2, 0) = 0x120;  // equal again (z stepped over the failing pixel)
    c.ctx()->fillPattern[0] = static_cast<uint8_t>(~*before.BackPixel(0, 0));
    RefLine8(c, kLineFsZD, l);
    EXPECT_NE(*before.BackPixel(0, 0), *c.BackPixel(0, 0));
    EXPECT_EQ(*before.BackPixel(1, 0), *c.BackPixel(1, 0));
    EXPECT_EQ(0x10fu, *c.DepthAt(1, 0));
    EXPECT_EQ(0x120u, *c.DepthAt(2, 0));
    EXPECT_EQ(c.ctx()->fillPattern[0], *c.BackPixel(2, 0));
    EXPECT_EQ(0x1u, c.A(0));
}
