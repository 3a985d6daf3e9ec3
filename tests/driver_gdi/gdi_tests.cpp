// The GDI path: contexts, DIB and device-bitmap back buffers, and the
// presents that bring a frame drawn into the back buffer to a destination.
#include "gdi_support.h"

#include <functional>
#include <set>
#include <vector>

#include "pool_support.h"
#include "testsupport.h"

using namespace drvtest;

namespace {

uint32_t Pattern(int x, int y) { return ((uint32_t)(x * 7) << 16 | (uint32_t)(y * 5) << 8 | (uint32_t)(x + y)) & 0xffffff; }

class GdiPath : public DriverTest {
protected:
    // GDI path for the device; one context on dest with the given window.
    void Start(DeviceInfo info, HDC dest, int16_t w, int16_t h)
    {
        info_ = info;
        ASSERT_EQ(1u, DevInitialize(&info_));
        ASSERT_EQ(0u, g_directMode);
        ctx_.reset(new Context(&base_));
        (*ctx_)->hdc = dest;
        ctx_->SetWindow(0, 0, w, h);
        ASSERT_EQ(1u, DevContextCreate(ctx_->get()));
    }
    void TearDown() override
    {
        if (ctx_ && (*ctx_)->procs) {
            DevBufferDelete(ctx_->get(), 0xc0);
            DevContextDelete(ctx_->get());
        }
        DriverTest::TearDown();
    }
    DevContext* ctx() { return ctx_->get(); }
    uint8_t* Row(int y) { return DevBufferBits(&ctx()->back) + (intptr_t)ctx()->back.pitch * y; }
    uint32_t Present() { return ctx()->procs->present(ctx()); }
    void Draw24(int w, int h);

    DeviceInfo info_;
    std::unique_ptr<Context> ctx_;
};


// Writes Pattern into a 24-bit back buffer (bytes blue, green, red).
void GdiPath::Draw24(int w, int h)
{
    for (int y = 0; y < h; ++y) {
        uint8_t* p = Row(y);
        for (int x = 0; x < w; ++x) {
            uint32_t c = Pattern(x, y);
            p[3 * x] = (uint8_t)c;
            p[3 * x + 1] = (uint8_t)(c >> 8);
            p[3 * x + 2] = (uint8_t)(c >> 16);
        }
    }
}

TEST_F(GdiPath, ContextGetsBlockSurfaceAndOnlyThePresent)
{
    MemoryTarget target(16, 16);
    Start(Device32(640, 480), target.dc(), 16, 16);
    ASSERT_NE(nullptr, ctx()->driverBlock);
    EXPECT_EQ(&ctx()->driverBlock->procs, ctx()->procs);
    EXPECT_NE(nullptr, ctx()->gdiSurface);
    EXPECT_EQ(0u, ctx()->caps);
    for (int slot = 0; slot < DEV_SLOT_COUNT; ++slot)
        EXPECT_EQ(slot == DEV_SLOT_PRESENT ? (DevProc)GdiPresent : nullptr, ctx()->procs->slot[slot]) << slot;
    EXPECT_EQ(1u, DevContextValidate(ctx()));
    EXPECT_EQ(1u, DevContextSwitch(ctx(), 1));
    EXPECT_EQ(1u, DevBufferNotify(ctx(), 0xc0, DEV_NOTIFY_NEW_SURFACE));
    EXPECT_EQ(nullptr, ctx()->procs->slot[DEV_SLOT_TRAPEZOIDS]);
}

struct MaskCase {
    uint32_t which;
    uint32_t created;
    bool front, back;
};

class GdiMasks : public GdiPath, public ::testing::WithParamInterface<MaskCase> {};

TEST_P(GdiMasks, CreateResizeDeleteReportTheirBuffers)
{
    const MaskCase& c = GetParam();
    MemoryTarget target(8, 8);
    Start(Device32(640, 480), target.dc(), 100, 50);
    EXPECT_EQ(c.created, DevBufferCreate(ctx(), c.which | 0xffff0000u));
    EXPECT_EQ(c.front ? 100 : 0, ctx()->front.width);
    EXPECT_EQ(c.front ? 50 : 0, ctx()->front.height);
    EXPECT_EQ(0, ctx()->front.pitch);
    EXPECT_EQ(c.back ? DEVBUF_GDI_DIB_BACK : 0, ctx()->back.flags);
    ctx_->SetWindow(0, 0, 60, 30);
    EXPECT_EQ(c.created, DevBufferResize(ctx(), c.which, DEV_RESIZE_SIZED));
    EXPECT_EQ(c.back ? 60 : 0, ctx()->back.width);
    EXPECT_EQ(c.front ? 30 : 0, ctx()->front.height);
    EXPECT_EQ(0xc0u, DevBufferDelete(ctx(), c.which));
    EXPECT_EQ(0, ctx()->back.flags & DEVBUF_VALID);
    EXPECT_EQ(0xc0u, DevBufferDelete(ctx(), 0));
}

INSTANTIATE_TEST_SUITE_P(Table, GdiMasks,
                         ::testing::Values(MaskCase{0x40, 0x40, true, false}, MaskCase{0x80, 0x80, false, true},
                                           MaskCase{0xc0, 0xc0, true, true}, MaskCase{0x400, 0, false, false},
                                           MaskCase{0x4c0, 0xc0, true, true}));

struct DibGeometry {
    int16_t w, h;
    bool zoom;
    uint32_t zoomX, zoomY;
    uint16_t width, height;  // descriptor
    int16_t pitch;
};

class GdiDibGeometry : public GdiPath, public ::testing::WithParamInterface<DibGeometry> {};

TEST_P(GdiDibGeometry, RowsRoundToFourPixelsBottomUp)
{
    const DibGeometry& c = GetParam();
    MemoryTarget target(8, 8);
    Start(Device32(640, 480), target.dc(), c.w, c.h);
    if (c.zoom) {
        ctx()->state |= DEV_ZOOM2;
        ctx()->zoomX = c.zoomX;
        ctx()->zoomY = c.zoomY;
    }
    ASSERT_EQ(0x80u, DevBufferCreate(ctx(), 0x80));
    const DevBuffer& b = ctx()->back;
    GdiSurface* s = ctx()->gdiSurface;
    EXPECT_EQ(c.width, b.width);
    EXPECT_EQ(c.height, b.height);
    EXPECT_EQ(24, b.bitsPerPixel);
    EXPECT_EQ(c.pitch, b.pitch);
    EXPECT_EQ(0, b.rows);
    EXPECT_EQ(nullptr, b.extra);
    EXPECT_EQ(b.bits, b.bitsCopy);
    ASSERT_NE(nullptr, s->bitmapInfo);
    EXPECT_EQ((uint8_t*)s->bitmapInfo + 552, s->dibBits);
    uint32_t rows = b.height ? b.height : 1;
    EXPECT_EQ((uint32_t)(uintptr_t)s->dibBits + (rows - 1) * (uint32_t)-b.pitch, b.bits);
    const BITMAPINFOHEADER* hdr = (const BITMAPINFOHEADER*)s->bitmapInfo;
    EXPECT_EQ(-b.pitch / 3, hdr->biWidth);
    EXPECT_EQ((LONG)rows, hdr->biHeight);
    EXPECT_EQ(24, hdr->biBitCount);
    const uint16_t* table = (const uint16_t*)((uint8_t*)s->bitmapInfo + 40);
    EXPECT_EQ(0, table[0]);
    EXPECT_EQ(255, table[255]);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GdiDibGeometry,
    ::testing::Values(DibGeometry{5, 3, false, 0, 0, 5, 3, -24}, DibGeometry{1000, 2, false, 0, 0, 1000, 2, -3000},
                      DibGeometry{0, 4, false, 0, 0, 0, 4, -12},
                      DibGeometry{640, 480, true, 0x20000, 0x20000, 320, 240, -960},
                      // An integer part of 0 leaves that side as it is.
                      DibGeometry{640, 480, true, 0x8000, 0x20000, 640, 240, -1920},
                      DibGeometry{640, 480, true, 0x20000, 0x4000, 320, 480, -960}));

// GDI reads every DIB row as whole 32-bit words, below 8 bits per pixel
// too: the block holds all the rows the present hands it.
TEST_F(GdiPath, DibBlockHoldsEveryRowThePresentReads)
{
    for (uint16_t bits : {1, 4, 8, 32}) {
        MemoryTarget target(16, 8);
        Start(Device(640, 480, bits), target.dc(), 13, 7);
        ASSERT_EQ(0x80u, DevBufferCreate(ctx(), 0x80)) << bits;
        const GdiSurface* s = ctx()->gdiSurface;
        const BITMAPINFOHEADER* hdr = (const BITMAPINFOHEADER*)s->bitmapInfo;
        SIZE_T stride = ((SIZE_T)hdr->biWidth * hdr->biBitCount + 31) / 32 * 4;
        HGLOBAL block = *(const HGLOBAL*)((const uint8_t*)s->bitmapInfo - 4);
        EXPECT_GE(GlobalSize(block), 4 + 552 + stride * hdr->biHeight) << bits;
        ctx()->update = DevRect16{0, 0, 13, 7};
        EXPECT_EQ(1u, Present());
        DevBufferDelete(ctx(), 0xc0);
        DevContextDelete(ctx());
    }
}

// Every row the back descriptor describes lies inside the DIB block, also
// for rows too wide for the 16-bit pitch (they get the one-row form).
TEST_F(GdiPath, DescribedRowsStayInsideTheBlock)
{
    for (int16_t w : {13, 10920, 12000}) {
        MemoryTarget target(16, 8);
        Start(Device32(640, 480), target.dc(), w, 4);
        ASSERT_EQ(0x80u, DevBufferCreate(ctx(), 0x80)) << w;
        const DevBuffer& b = ctx()->back;
        const uint8_t* start = ctx()->gdiSurface->dibBits;
        const uint8_t* end = start - 552 + GlobalSize(*(const HGLOBAL*)(start - 556)) - 4;
        for (int y = 0; y < b.height; ++y) {
            const uint8_t* row = DevBufferBits(&b) + (intptr_t)b.pitch * y;
            ASSERT_TRUE(row >= start && row + 3 * b.width <= end) << w << " row " << y;
        }
        DevBufferDelete(ctx(), 0xc0);
        DevContextDelete(ctx());
    }
}

TEST_F(GdiPath, PresentCopiesTheUpdateRectangle)
{
    MemoryTarget target(64, 32);
    Start(Device32(640, 480), target.dc(), 64, 32);
    ASSERT_EQ(0xc0u, DevBufferCreate(ctx(), 0xc0));
    Draw24(64, 32);
    ctx()->update = DevRect16{8, 4, 40, 20};
    EXPECT_EQ(1u, Present());
    GdiFlush();
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) {
            bool inside = x >= 8 && x < 40 && y >= 4 && y < 20;
            ASSERT_EQ(inside ? Pattern(x, y) : 0x123456u, target.Pixel(x, y)) << x << "," << y;
        }
}

TEST_F(GdiPath, Zoom2PresentDoublesEveryPixel)
{
    MemoryTarget target(64, 32);
    Start(Device32(640, 480), target.dc(), 64, 32);
    ctx_->SetZoom2();
    ASSERT_EQ(0x80u, DevBufferCreate(ctx(), 0x80));
    ASSERT_EQ(32, ctx()->back.width);
    Draw24(32, 16);
    for (DevRect16 update : {DevRect16{0, 0, 64, 32}, DevRect16{16, 8, 48, 24}}) {
        target.Fill(0x123456);
        ctx()->update = update;
        Present();
        GdiFlush();
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 64; ++x) {
                bool inside = x >= update.x0 && x < update.x1 && y >= update.y0 && y < update.y1;
                ASSERT_EQ(inside ? Pattern(x / 2, y / 2) : 0x123456u, target.Pixel(x, y)) << x << "," << y;
            }
    }
}

// The zoomed present of update rectangles with odd or unaligned edges, in
// windows of odd size: every window pixel of the rectangle shows a pixel of
// the half-size back buffer near half its position (source rows and columns
// from the halved rectangle, none past the buffer), nothing outside changes.
TEST_F(GdiPath, Zoom2PresentOfOddRectanglesReadsOnlyTheHalfSizeBuffer)
{
    const struct {
        int16_t w, h;
        DevRect16 update;
    } cases[] = {
        {65, 31, {0, 0, 65, 31}},  {65, 31, {1, 1, 65, 31}},  {65, 31, {0, 2, 64, 31}},
        {65, 31, {3, 5, 40, 31}},  {65, 31, {2, 27, 63, 31}}, {65, 31, {5, 29, 9, 31}},
        {64, 32, {1, 1, 63, 31}},  {64, 32, {5, 3, 12, 30}},  {63, 33, {60, 30, 63, 33}},
    };
    // Pixel (x, y) of the back buffer names itself: marker, column, row.
    auto colour = [](int x, int y) { return 0x800000u | (uint32_t)x << 8 | (uint32_t)y; };
    for (const auto& c : cases) {
        MemoryTarget target(c.w, c.h);
        Start(Device32(640, 480), target.dc(), c.w, c.h);
        ctx_->SetZoom2();
        ASSERT_EQ(0x80u, DevBufferCreate(ctx(), 0x80));
        const int W = ctx()->back.width, H = ctx()->back.height;
        ASSERT_EQ(c.w / 2, W);
        ASSERT_EQ(c.h / 2, H);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                uint32_t v = colour(x, y);
                Row(y)[3 * x] = (uint8_t)v, Row(y)[3 * x + 1] = (uint8_t)(v >> 8), Row(y)[3 * x + 2] = (uint8_t)(v >> 16);
            }
        const DevRect16& u = c.update;
        const int w = u.x1 - u.x0, h = u.y1 - u.y0, sx = u.x0 >> 1, sy = u.y0 >> 1, sw = w >> 1, sh = h >> 1;
        ASSERT_LE(sx + sw, W);
        ASSERT_LE(sy + sh, H);
        target.Fill(0x123456);
        ctx()->update = u;
        EXPECT_EQ(1u, Present());
        GdiFlush();
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                uint32_t got = target.Pixel(x, y);
                SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " update " << u.x0 << "," << u.y0 << ","
                                                << u.x1 << "," << u.y1 << " at " << x << "," << y);
                if (x < u.x0 || x >= u.x1 || y < u.y0 || y >= u.y1) {
                    ASSERT_EQ(0x123456u, got);
                    continue;
                }
                ASSERT_EQ(0x800000u, got & 0xff0000u) << "not a back-buffer pixel: " << std::hex << got;
                int gx = (int)(got >> 8 & 0xff), gy = (int)(got & 0xff);
                ASSERT_TRUE(gx >= sx && gx < sx + sw && gy >= sy && gy < sy + sh) << gx << "," << gy;
                ASSERT_LE(abs(gx - (sx + (x - u.x0) * sw / w)), 1) << gx;
                ASSERT_LE(abs(gy - (sy + (y - u.y0) * sh / h)), 1) << gy;
            }
        DevBufferDelete(ctx(), 0xc0);
        DevContextDelete(ctx());
        ctx_.reset();
        DevTerminate();
    }
}

TEST_F(GdiPath, OneRowFallbackRepeatsItsRowAndKeepsTheBit)
{
    MemoryTarget target(48, 16);
    MessageCatcher messages;
    Start(Device32(640, 480), target.dc(), 30000, 30000);
    EXPECT_EQ(0xc0u, DevBufferCreate(ctx(), 0xc0));
    EXPECT_EQ(0, ctx()->back.pitch);
    EXPECT_EQ(DEVBUF_GDI_DIB_BACK, ctx()->back.flags);
    Draw24(48, 1);
    ctx()->update = DevRect16{0, 0, 48, 16};
    Present();
    GdiFlush();
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 48; ++x) ASSERT_EQ(Pattern(x, 0), target.Pixel(x, y)) << x << "," << y;
}

// The global block a DIB lives in: its handle sits in front of the block.
HGLOBAL DibBlock(const GdiSurface* s)
{
    return s->bitmapInfo ? *(const HGLOBAL*)((const uint8_t*)s->bitmapInfo - 4) : NULL;
}

// Of the blocks seen, those not freed yet (a freed handle has no size).
size_t LiveBlocks(const std::set<HGLOBAL>& seen)
{
    size_t live = 0;
    for (HGLOBAL h : seen) live += GlobalSize(h) ? 1 : 0;
    return live;
}

// The library may create the back buffer again without deleting it first:
// each create frees the DIB block the context held, also when the new one
// takes the one-row form or is not made at all.
TEST_F(GdiPath, RepeatedCreatesHoldOneDibBlock)
{
    MemoryTarget target(8, 8);
    MessageCatcher messages;
    Start(Device32(640, 480), target.dc(), 40, 20);
    const struct {
        DevRect16 window;
        bool made;
    } steps[] = {
        {{0, 0, 40, 20}, true},       {{0, 0, 40, 20}, true},  {{0, 0, 64, 8}, true},
        {{0, 0, 30000, 30000}, true},  // no full-size block: one shared row
        {{0, 0, 40, 20}, true},       {{100, 0, 0, 20}, false}, {{0, 0, 5, 3}, true},
    };
    std::set<HGLOBAL> seen;
    int step = 0;
    for (const auto& c : steps) {
        ctx_->SetWindow(c.window.x0, c.window.y0, c.window.x1, c.window.y1);
        EXPECT_EQ(c.made ? 0xc0u : 0x40u, DevBufferCreate(ctx(), 0xc0)) << step;
        HGLOBAL block = DibBlock(ctx()->gdiSurface);
        EXPECT_EQ(c.made, block != NULL) << step;
        if (block) seen.insert(block);
        EXPECT_EQ(c.made ? 1u : 0u, LiveBlocks(seen)) << step;
        ++step;
    }
    EXPECT_EQ(0xc0u, DevBufferDelete(ctx(), 0xc0));
    EXPECT_EQ(0u, LiveBlocks(seen));
}

// A palette whose entry i is a colour that tells i apart.
uint32_t PaletteColor(int i) { return (uint32_t)i << 16 | (uint32_t)(255 - i) << 8 | (uint32_t)(i ^ 0x55); }
uint8_t Translate(uint8_t v) { return (uint8_t)(v * 7 + 3); }

struct Tables {
    uint8_t t8[256];
    std::vector<uint16_t> t16 = std::vector<uint16_t>(65536);
    Tables()
    {
        for (int i = 0; i < 256; ++i) t8[i] = Translate((uint8_t)i);
        for (int i = 0; i < 65536; ++i) t16[i] = (uint16_t)(t8[i & 0xff] | t8[i >> 8] << 8);
    }
};

TEST_F(GdiPath, EightBitPresentGoesThroughTheTranslationTables)
{
    const int w = 37, h = 9;
    MemoryTarget target(w, h);
    struct {
        LOGPALETTE head;
        PALETTEENTRY more[255];
    } pal;
    pal.head.palVersion = 0x300;
    pal.head.palNumEntries = 256;
    PALETTEENTRY* e = pal.head.palPalEntry;
    for (int i = 0; i < 256; ++i) {
        uint32_t c = PaletteColor(i);
        e[i] = PALETTEENTRY{(BYTE)(c >> 16), (BYTE)(c >> 8), (BYTE)c, 0};
    }
    HPALETTE palette = CreatePalette(&pal.head);
    HPALETTE old = SelectPalette(target.dc(), palette, FALSE);
    RealizePalette(target.dc());
    Tables tables;
    Start(Device8(640, 480), target.dc(), w, h);
    ASSERT_EQ(0x80u, DevBufferCreate(ctx(), 0x80));
    ASSERT_EQ(8, ctx()->back.bitsPerPixel);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) Row(y)[x] = (uint8_t)(x + 29 * y);
    ctx()->translate = 1;
    ctx()->translate8 = tables.t8;
    ctx()->translate16 = tables.t16.data();
    Present();
    GdiFlush();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(PaletteColor(Translate((uint8_t)(x + 29 * y))), target.Pixel(x, y)) << x << "," << y;
    SelectPalette(target.dc(), old, FALSE);
    DeleteObject(palette);
}

TEST_F(GdiPath, TranslationSkipsDisplaysAboveEightBits)
{
    MemoryTarget target(16, 4);
    Tables tables;
    Start(Device32(640, 480), target.dc(), 16, 4);
    ASSERT_EQ(0x80u, DevBufferCreate(ctx(), 0x80));
    Draw24(16, 4);
    ctx()->translate = 1;
    ctx()->translate8 = tables.t8;
    ctx()->translate16 = tables.t16.data();
    Present();
    EXPECT_EQ(Pattern(3, 2) & 0xff, Row(2)[9]);
}

// Odd row starts, odd widths and a negative pitch: every byte of every row
// is translated once, and nothing outside the rows is touched.
TEST(GdiTranslate8, TranslatesEachRowByteOnce)
{
    Tables tables;
    for (int start : {0, 1})
        for (int width : {0, 1, 2, 7, 8}) {
            std::vector<uint8_t> memory(4 * 11 + 8, 0xee);
            std::vector<uint8_t> bytes(memory.size());
            for (size_t i = 0; i < memory.size(); ++i) memory[i] = bytes[i] = (uint8_t)(i * 13);
            Context ctx;
            const int pitch = 11, rows = 4;
            uint8_t* top = memory.data() + 4 + start + pitch * (rows - 1);
            ctx->back.bits = (uint32_t)(uintptr_t)top;
            ctx->back.width = (uint16_t)width;
            ctx->back.height = rows;
            ctx->back.pitch = -pitch;
            ctx->translate8 = tables.t8;
            ctx->translate16 = tables.t16.data();
            GdiTranslate8(ctx.get());
            for (size_t i = 0; i < memory.size(); ++i) {
                ptrdiff_t off = (uint8_t*)memory.data() + i - (top - pitch * (rows - 1));
                bool inRow = off >= 0 && off < pitch * rows && off % pitch < width;
                ASSERT_EQ(inRow ? Translate(bytes[i]) : bytes[i], memory[i])
                    << "start " << start << " width " << width << " byte " << i;
            }
        }
}

// ---- device bitmaps, reached through the seams ----

int WINAPI NoDevBits(HDC, int index) { return index == RASTERCAPS ? RC_BITBLT : 0; }

// 5-5-5 top-down sections stand for device bitmaps with flat bits.
int s_makerFailsAbove = 1 << 30;
std::vector<SIZE> s_made;
std::vector<HBITMAP> s_bitmaps;
HBITMAP WINAPI SectionMaker(HDC, int width, int height)
{
    if (height > s_makerFailsAbove) return NULL;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 16;
    void* bits;
    HBITMAP b = CreateDIBSection(NULL, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    if (b) {
        memset(bits, 0x5a, (size_t)2 * width * height);  // the attach must clear it
        s_made.push_back(SIZE{width, height});
        s_bitmaps.push_back(b);
    }
    return b;
}

class GdiDdb : public GdiPath {
protected:
    void SetUp() override
    {
        GdiPath::SetUp();
        Platform(kVersion32s);
        GdiSeamRasterCaps(NoDevBits);
        GdiSeamBitmapMaker(SectionMaker);
        DevSeamThunk(ScriptedThunk);
        g_script.bitmaps = true;
        s_makerFailsAbove = 1 << 30;
        s_made.clear();
        s_bitmaps.clear();
    }
    void StartDdb(HDC dest, int16_t w, int16_t h)
    {
        Start(Device(640, 480, 16, 0x7c00, 0x3e0, 0x1f), dest, w, h);
        ASSERT_EQ(0u, g_useDib);
    }
    uint16_t* Row16(int y) { return (uint16_t*)Row(y); }
};

const uint16_t k555[5] = {0x0000, 0x7fff, 0x7c00, 0x03e0, 0x001f};
const uint32_t kRgb[5] = {0x000000, 0xffffff, 0xff0000, 0x00ff00, 0x0000ff};
int Shade(int x, int y) { return (x / 3 + y) % 5; }

TEST_F(GdiDdb, WidthsRoundToPowersOfTwo)
{
    MemoryTarget target(8, 8);
    StartDdb(target.dc(), 5, 3);
    struct {
        int16_t w;
        int bitmapWidth;
    } cases[] = {{5, 8}, {1000, 1024}, {1, 1}, {0, 1}, {64, 64}};
    for (auto c : cases) {
        ctx_->SetWindow(0, 0, c.w, 3);
        ASSERT_EQ(0x80u, DevBufferResize(ctx(), 0x80, DEV_RESIZE_SIZED)) << c.w;
        EXPECT_EQ(c.bitmapWidth, s_made.back().cx);
        EXPECT_EQ(DEVBUF_GDI_DDB_BACK, ctx()->back.flags);
        EXPECT_EQ(c.w, ctx()->back.width);
        EXPECT_EQ(2 * c.bitmapWidth, ctx()->back.pitch);
        EXPECT_EQ(0, Row16(0)[0]);
    }
}

TEST_F(GdiDdb, ReversedWindowIsRefusedNotLoopedOn)
{
    MemoryTarget target(8, 8);
    StartDdb(target.dc(), 5, 3);
    ctx_->SetWindow(100, 0, 0, 3);
    EXPECT_EQ(0u, DevBufferCreate(ctx(), 0x80));
    EXPECT_EQ(0, ctx()->back.flags & DEVBUF_VALID);
    EXPECT_EQ(0u, ctx()->back.bits);
}

TEST_F(GdiDdb, DescribedRowsStayInsideTheBitmap)
{
    MemoryTarget target(8, 8);
    StartDdb(target.dc(), 5, 3);
    for (int16_t w : {1000, 9000}) {
        ctx_->SetWindow(0, 0, w, 3);
        ASSERT_EQ(0x80u, DevBufferResize(ctx(), 0x80, DEV_RESIZE_SIZED)) << w;
        BITMAP bm;
        ASSERT_EQ((int)sizeof bm, GetObjectA(ctx()->gdiSurface->bitmap, sizeof bm, &bm));
        const uint8_t* start = (const uint8_t*)bm.bmBits;
        const uint8_t* end = start + (size_t)bm.bmWidthBytes * bm.bmHeight;
        const DevBuffer& b = ctx()->back;
        for (int y = 0; y < b.height; ++y) {
            const uint8_t* row = DevBufferBits(&b) + (intptr_t)b.pitch * y;
            ASSERT_TRUE(row >= start && row + 2 * b.width <= end) << w << " row " << y;
        }
    }
}

TEST_F(GdiDdb, PresentsPlainAndZoomed)
{
    MemoryTarget target(40, 20);
    StartDdb(target.dc(), 40, 20);
    ASSERT_EQ(0x80u, DevBufferCreate(ctx(), 0x80));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) Row16(y)[x] = k555[Shade(x, y)];
    ctx()->update = DevRect16{4, 2, 36, 18};
    Present();
    GdiFlush();
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) {
            bool inside = x >= 4 && x < 36 && y >= 2 && y < 18;
            ASSERT_EQ(inside ? kRgb[Shade(x, y)] : 0x123456u, target.Pixel(x, y)) << x << "," << y;
        }
    ctx_->SetZoom2();
    DevBufferDelete(ctx(), 0x80);
    ASSERT_EQ(0x80u, DevBufferCreate(ctx(), 0x80));
    ASSERT_EQ(20, ctx()->back.width);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) Row16(y)[x] = k555[Shade(x, y)];
    ctx()->update = DevRect16{0, 0, 40, 20};
    Present();
    GdiFlush();
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(kRgb[Shade(x / 2, y / 2)], target.Pixel(x, y)) << x << "," << y;
}

TEST_F(GdiDdb, FailuresAreNotReportedAsMade)
{
    MemoryTarget target(16, 8);
    StartDdb(target.dc(), 16, 8);
    // No bitmap at all.
    s_makerFailsAbove = 0;
    EXPECT_EQ(0x40u, DevBufferCreate(ctx(), 0xc0));
    EXPECT_EQ(0, ctx()->back.flags & DEVBUF_VALID);
    EXPECT_EQ(1u, Present());
    GdiFlush();
    EXPECT_EQ(0x123456u, target.Pixel(3, 3));
    // The bitmap service refuses it.
    s_makerFailsAbove = 1 << 30;
    g_script.bitmapType = 1;
    EXPECT_EQ(0u, DevBufferCreate(ctx(), 0x80));
    EXPECT_EQ(0u, ctx()->back.bits);
    EXPECT_EQ(nullptr, ctx()->gdiSurface->bitmap);
    EXPECT_EQ(nullptr, ctx()->gdiSurface->memoryDc);
    // A full-size bitmap cannot be had: one shared row, still reported.
    g_script.bitmapType = 0;
    s_makerFailsAbove = 1;
    EXPECT_EQ(0x80u, DevBufferCreate(ctx(), 0x80));
    EXPECT_EQ(1, s_made.back().cy);
    EXPECT_EQ(0, ctx()->back.pitch);
    for (int x = 0; x < 16; ++x) Row16(5)[x] = k555[Shade(x, 0)];  // every row is row 0
    ctx()->update = DevRect16{0, 0, 16, 8};
    Present();
    GdiFlush();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(kRgb[Shade(x, 0)], target.Pixel(x, y)) << x << "," << y;
}

// Of the GDI objects seen, those not deleted yet.
size_t LiveObjects(const std::set<HGDIOBJ>& seen)
{
    size_t live = 0;
    for (HGDIOBJ h : seen) live += GetObjectType(h) ? 1 : 0;
    return live;
}

// Each create deletes the memory DC and the bitmap an earlier one made,
// also when the new bitmap takes the one-row form or is not made at all.
TEST_F(GdiDdb, RepeatedCreatesHoldOneDcAndBitmap)
{
    MemoryTarget target(16, 8);
    StartDdb(target.dc(), 16, 8);
    const int any = 1 << 30;
    const struct {
        int16_t w, h;
        int failsAbove;
        WORD bmType;
        bool made;
    } steps[] = {
        {16, 8, any, 0, true}, {16, 8, any, 0, true}, {40, 20, any, 0, true},
        {40, 20, 1, 0, true},    // no full-size bitmap: one shared row
        {40, 20, any, 1, false},  // the bitmap service refuses it
        {16, 8, any, 0, true},
        {16, 8, 0, 0, false},  // no bitmap at all
        {16, 8, any, 0, true},
    };
    std::set<HGDIOBJ> seen;
    int step = 0;
    for (const auto& c : steps) {
        ctx_->SetWindow(0, 0, c.w, c.h);
        s_makerFailsAbove = c.failsAbove;
        g_script.bitmapType = c.bmType;
        EXPECT_EQ(c.made ? 0x80u : 0u, DevBufferCreate(ctx(), 0x80)) << step;
        const GdiSurface* s = ctx()->gdiSurface;
        EXPECT_EQ(c.made, s->memoryDc != NULL && s->bitmap != NULL) << step;
        if (s->memoryDc) seen.insert(s->memoryDc);
        seen.insert(s_bitmaps.begin(), s_bitmaps.end());
        EXPECT_EQ(c.made ? 2u : 0u, LiveObjects(seen)) << step;
        ++step;
    }
    EXPECT_EQ(0xc0u, DevBufferDelete(ctx(), 0xc0));
    EXPECT_EQ(0u, LiveObjects(seen));
}

// ---- resize ----

struct ResizeCase {
    const char* name;
    bool dib;
    uint32_t zoomX, zoomY;  // set with DEV_ZOOM2 when zoomed
    bool zoomed;
    int16_t w, h;  // the window resized to; the buffer was made for 40 x 20
    bool kept;
};

void PrintTo(const ResizeCase& c, std::ostream* os) { *os << c.name; }

class GdiResize : public GdiDdb, public ::testing::WithParamInterface<ResizeCase> {};

// A resize to the size the back buffer has keeps its DIB or bitmap and what
// was drawn in it; a zoomed DIB is made afresh (cleared) on every resize,
// even when its zoomed size is the window's.
TEST_P(GdiResize, SameSizeKeepsTheBufferAZoomedDibIsRemade)
{
    const ResizeCase& c = GetParam();
    MemoryTarget target(8, 8);
    if (c.dib)
        Start(Device32(640, 480), target.dc(), 40, 20);
    else
        StartDdb(target.dc(), 40, 20);
    ASSERT_EQ(c.dib ? 1 : 0, g_useDib);
    if (c.zoomed) {
        ctx()->state |= DEV_ZOOM2;
        ctx()->zoomX = c.zoomX;
        ctx()->zoomY = c.zoomY;
    }
    ASSERT_EQ(0x80u, DevBufferCreate(ctx(), 0x80));
    const GdiSurface* s = ctx()->gdiSurface;
    const void* block = s->bitmapInfo;
    const HBITMAP bitmap = s->bitmap;
    const HDC dc = s->memoryDc;
    const uint32_t bits = ctx()->back.bits;
    const size_t made = s_made.size();
    Row(0)[0] = 0x5c;
    ctx_->SetWindow(0, 0, c.w, c.h);
    ASSERT_EQ(0x80u, DevBufferResize(ctx(), 0x80, DEV_RESIZE_SIZED));
    ASSERT_EQ(DEVBUF_VALID, ctx()->back.flags & DEVBUF_VALID);
    if (c.kept) {
        EXPECT_EQ(block, s->bitmapInfo);
        EXPECT_EQ(bitmap, s->bitmap);
        EXPECT_EQ(dc, s->memoryDc);
        EXPECT_EQ(made, s_made.size());
        EXPECT_EQ(bits, ctx()->back.bits);
        EXPECT_EQ(0x5c, Row(0)[0]);
    } else {
        EXPECT_EQ(0, Row(0)[0]) << "a new back buffer starts cleared";
        EXPECT_EQ(c.dib ? made : made + 1, s_made.size());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, GdiResize,
    ::testing::Values(ResizeCase{"DibSameSize", true, 0, 0, false, 40, 20, true},
                      ResizeCase{"DibNewSize", true, 0, 0, false, 40, 21, false},
                      ResizeCase{"DibZoom2", true, 0x20000, 0x20000, true, 40, 20, false},
                      // Factors of 1.0 or 0: the zoomed size is the window's.
                      ResizeCase{"DibZoomedToItsOwnSize", true, 0x10000, 0x10000, true, 40, 20, false},
                      ResizeCase{"DibZoomFactorsZero", true, 0, 0, true, 40, 20, false},
                      ResizeCase{"DdbSameSize", false, 0, 0, false, 40, 20, true},
                      ResizeCase{"DdbNewSize", false, 0, 0, false, 41, 20, false},
                      ResizeCase{"DdbZoom2", false, 0x20000, 0x20000, true, 40, 20, false},
                      // The device bitmap's test looks only at the sizes.
                      ResizeCase{"DdbZoomedToItsOwnSize", false, 0x10000, 0x10000, true, 40, 20, true}),
    [](const ::testing::TestParamInfo<ResizeCase>& info) { return std::string(info.param.name); });

TEST_F(DriverTest, ContextBeyondThePoolIsRefusedWithTheMessage)
{
    testsupport::ScopedDeadline deadline("filling the block pool", 20000);
    MessageCatcher messages;
    DeviceInfo info = Device32(640, 480);
    DevInitialize(&info);
    std::vector<std::unique_ptr<Context>> contexts;
    for (int i = 0; i < 128; ++i) {
        contexts.emplace_back(new Context(&base_));
        contexts.back()->SetWindow(0, 0, 8, 8);
        ASSERT_EQ(1u, DevContextCreate(contexts.back()->get())) << i;
    }
    EXPECT_TRUE(messages.texts.empty());
    Context extra(&base_);
    extra.SetWindow(0, 0, 8, 8);
    EXPECT_EQ(0u, DevContextCreate(extra.get()));
    ASSERT_EQ(1u, messages.texts.size());
    EXPECT_EQ("VXN|VXN: Low on memory, unable to proceed", messages.texts[0]);
    EXPECT_EQ(nullptr, extra->procs);
    EXPECT_EQ(nullptr, extra->driverBlock);
    // The refused context is harmless to use and to delete.
    EXPECT_EQ(0x40u, DevBufferCreate(extra.get(), 0xc0));
    EXPECT_EQ(0xc0u, DevBufferDelete(extra.get(), 0xc0));
    EXPECT_EQ(1u, DevContextDelete(extra.get()));
    for (auto& c : contexts) EXPECT_EQ(1u, DevContextDelete(c->get()));
    Context again(&base_);
    EXPECT_EQ(1u, DevContextCreate(again.get()));
    DevContextDelete(again.get());
    EXPECT_EQ(1u, messages.texts.size());
}

// ---- records handed over unzeroed ----

class GdiUnzeroed : public GdiPath, public ::testing::WithParamInterface<uint8_t> {};

// The poisoned record presents what a zeroed one presents, also through the
// 8-bit translation, and a present before any back buffer reads nothing.
TEST_P(GdiUnzeroed, RecordPresentsAsAZeroedOne)
{
    const int w = 21, h = 7;
    Tables tables;
    std::vector<uint32_t> shown[2];
    for (int poisoned = 0; poisoned < 2; ++poisoned) {
        MemoryTarget target(w, h);
        Start(Device8(640, 480), target.dc(), w, h);
        if (poisoned) {
            DevContextDelete(ctx());
            ctx_.reset(new Context(&base_));
            (*ctx_)->hdc = target.dc();
            ctx_->SetWindow(0, 0, w, h);
            PoisonRecord(ctx(), GetParam(), RecordPath::Gdi);
            ASSERT_EQ(1u, DevContextCreate(ctx()));
        }
        ctx()->translate = 1;
        ctx()->translate8 = tables.t8;
        ctx()->translate16 = tables.t16.data();
        EXPECT_EQ(1u, Present());  // no back buffer made yet
        ASSERT_EQ(0xc0u, DevBufferCreate(ctx(), 0xc0));
        EXPECT_EQ(DEVBUF_GDI_DIB_BACK, ctx()->back.flags);
        EXPECT_EQ(nullptr, ctx()->back.extra);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) Row(y)[x] = (uint8_t)(x + 11 * y);
        Present();
        GdiFlush();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) shown[poisoned].push_back(target.Pixel(x, y));
        EXPECT_EQ(0xc0u, DevBufferDelete(ctx(), 0xc0));
        EXPECT_EQ(1u, DevContextDelete(ctx()));
        EXPECT_EQ(0, PoolBlocksInUse());
        ctx_.reset();
        DevTerminate();
    }
    EXPECT_EQ(shown[0], shown[1]);
}

INSTANTIATE_TEST_SUITE_P(Table, GdiUnzeroed, ::testing::Values((uint8_t)0xa5, (uint8_t)0xff));

// A context the full pool refuses, on a record full of old words: nothing
// the other calls follow is left in it.
TEST_F(DriverTest, RefusedContextOnAnUnzeroedRecordIsHarmless)
{
    MessageCatcher messages;
    DeviceInfo info = Device32(640, 480);
    DevInitialize(&info);
    Context live(&base_);
    live.SetWindow(0, 0, 8, 8);
    ASSERT_EQ(1u, DevContextCreate(live.get()));
    {
        PoolFiller full(0);
        const std::vector<uint8_t> pool(g_blockPool, g_blockPool + sizeof g_blockPool);
        Context extra(&base_);
        extra.SetWindow(0, 0, 8, 8);
        PoisonRecord(extra.get(), 0xa5, RecordPath::Gdi);
        extra->gdiSurface = live->gdiSurface;  // a live record of another context
        EXPECT_EQ(0u, DevContextCreate(extra.get()));
        EXPECT_EQ(nullptr, extra->gdiSurface);
        EXPECT_EQ(nullptr, extra->procs);
        EXPECT_EQ(nullptr, extra->driverBlock);
        EXPECT_EQ(0x40u, DevBufferCreate(extra.get(), 0xc0));
        EXPECT_EQ(0xc0u, DevBufferDelete(extra.get(), 0xc0));
        EXPECT_EQ(1u, DevContextDelete(extra.get()));
        EXPECT_TRUE(pool == std::vector<uint8_t>(g_blockPool, g_blockPool + sizeof g_blockPool));
    }
    EXPECT_EQ(1u, DevContextDelete(live.get()));
}

// ---- reversed windows ----

// A window whose right edge lies left of its left edge (or bottom above
// top) gets no back buffer, as on the direct path, and keeps none it had.
TEST_F(GdiPath, ReversedWindowIsRefused)
{
    MemoryTarget target(8, 8);
    Start(Device32(640, 480), target.dc(), 5, 3);
    const DevRect16 reversed[] = {{100, 0, 0, 3}, {0, 50, 5, 0}, {-20, -10, -40, -5}};
    for (const DevRect16& r : reversed) {
        ctx_->SetWindow(r.x0, r.y0, r.x1, r.y1);
        EXPECT_EQ(0x40u, DevBufferCreate(ctx(), 0xc0)) << r.x0 << "," << r.y0;
        EXPECT_EQ(0, ctx()->back.flags & DEVBUF_VALID);
        EXPECT_EQ(0u, ctx()->back.bits);
        EXPECT_EQ(nullptr, ctx()->gdiSurface->bitmapInfo);
        // A buffer made for a proper window goes when a resize reverses it.
        ctx_->SetWindow(0, 0, 5, 3);
        ASSERT_EQ(0xc0u, DevBufferCreate(ctx(), 0xc0));
        ctx_->SetWindow(r.x0, r.y0, r.x1, r.y1);
        EXPECT_EQ(0x40u, DevBufferResize(ctx(), 0xc0, DEV_RESIZE_SIZED));
        EXPECT_EQ(0, ctx()->back.flags & DEVBUF_VALID);
        EXPECT_EQ(nullptr, ctx()->gdiSurface->bitmapInfo);
        EXPECT_EQ(1u, Present());
    }
}

}  // namespace
