// Pixel-format tables, the doubling tables and the linear frame buffer.
#include <string.h>
#include "frame_fixtures.h"

namespace {

const uint32_t kUntouched = 0xDEADBEEF;

struct FormatCase {
    const char* name;
    uint16_t bitsPerPixel, bytesPerPixel;
    uint32_t masks[3], ranges[3];
    // red, green, blue
    uint32_t composeMask[3], composeShift[3];  // kUntouched: not written
    uint32_t texelShift[3];
    uint16_t colorShift[3];
    uint32_t byteMask[3], byteShift[3];        // kUntouched: not written
};

const uint32_t U = kUntouched;

const FormatCase kFormats[] = {
    {"5-6-5", 16, 2, {0xf800, 0x7e0, 0x1f}, {31, 63, 31},
     {0xf80000, 0xfc0000, 0xf80000}, {8, 13, 19}, {8, 13, 19}, {11, 5, 0}, {U, U, U}, {U, U, U}},
    {"5-5-5", 16, 2, {0x7c00, 0x3e0, 0x1f}, {31, 31, 31},
     {0xf80000, 0xf80000, 0xf80000}, {9, 14, 19}, {9, 14, 19}, {10, 5, 0}, {U, U, U}, {U, U, U}},
    {"24-bit BGR", 24, 3, {0xff0000, 0xff00, 0xff}, {255, 255, 255},
     {0xff0000, 0xff0000, 0xff0000}, {0, 8, 16}, {0, 8, 16}, {16, 8, 0},
     {0xff0000, 0xff00, 0xff}, {16, 8, 0}},
    {"24-bit RGB", 24, 3, {0xff, 0xff00, 0xff0000}, {255, 255, 255},
     {0xff0000, 0xff0000, 0xff0000}, {16, 8, 0}, {16, 8, 0}, {0, 8, 16},
     {0xff, 0xff00, 0xff0000}, {0, 8, 16}},
    // A channel off a byte boundary sets no pair; the others still do.
    {"24-bit odd red", 24, 3, {0xff0, 0xff0000, 0xff}, {255, 255, 255},
     {0xff0000, 0xff0000, 0xff0000}, {12, 0, 16}, {12, 0, 16}, {4, 16, 0},
     {0xff0000, U, 0xff00}, {16, U, 8}},
    {"32-bit", 32, 4, {0xff0000, 0xff00, 0xff}, {255, 255, 255},
     {0xff0000, 0xff0000, 0xff0000}, {0, 8, 16}, {0, 8, 16}, {16, 8, 0}, {U, U, U}, {U, U, U}},
    {"8-bit palette", 8, 1, {0, 0, 0}, {0, 0, 0},
     {U, U, U}, {U, U, U}, {0, 0, 0}, {5, 2, 0}, {U, U, U}, {U, U, U}},
    {"4-bit", 4, 1, {0, 0, 0}, {0, 0, 0},
     {U, U, U}, {U, U, U}, {0, 0, 0}, {1, 3, 5}, {U, U, U}, {U, U, U}},
    {"15 bits reported as other", 15, 2, {0x7c00, 0x3e0, 0x1f}, {31, 31, 31},
     {0xf80000, 0xf80000, 0xf80000}, {9, 14, 19}, {0, 0, 0}, {5, 2, 0}, {U, U, U}, {U, U, U}},
};

class PixelFormats : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        g_dciOpen = 1;  // no frame-buffer mapping here
    }
    void TearDown() override {
        g_dciOpen = 0;
        g_bytesPerPixel = 0;
        FrameTest::TearDown();
    }
};

TEST_F(PixelFormats, TablesForEveryDisplayLayout) {
    for (const FormatCase& c : kFormats) {
        SCOPED_TRACE(c.name);
        g_pixelCompose16 = {U, U, U, U, U, U};
        g_byteMasks24 = {{U, U, U}, {U, U, U}};
        DeviceInfo info = {};
        info.bitsPerPixel = c.bitsPerPixel;
        info.bytesPerPixel = c.bytesPerPixel;
        info.redMask = c.masks[0];
        info.greenMask = c.masks[1];
        info.blueMask = c.masks[2];
        info.redMax = c.ranges[0];
        info.greenMax = c.ranges[1];
        info.blueMax = c.ranges[2];
        g_bytesPerPixel = c.bytesPerPixel;
        DirectPixelFormatInit(&info);

        EXPECT_EQ(g_pixelCompose16.redMask, c.composeMask[0]);
        EXPECT_EQ(g_pixelCompose16.greenMask, c.composeMask[1]);
        EXPECT_EQ(g_pixelCompose16.blueMask, c.composeMask[2]);
        EXPECT_EQ(g_pixelCompose16.redShift, c.composeShift[0]);
        EXPECT_EQ(g_pixelCompose16.greenShift, c.composeShift[1]);
        EXPECT_EQ(g_pixelCompose16.blueShift, c.composeShift[2]);
        EXPECT_EQ(g_colorMasks.red, c.masks[0]);
        EXPECT_EQ(g_colorMasks.green, c.masks[1]);
        EXPECT_EQ(g_colorMasks.blue, c.masks[2]);
        EXPECT_EQ(g_texelShift16.red, c.texelShift[0]);
        EXPECT_EQ(g_texelShift16.green, c.texelShift[1]);
        EXPECT_EQ(g_texelShift16.blue, c.texelShift[2]);
        EXPECT_EQ(g_colorShift32.red, c.colorShift[0]);
        EXPECT_EQ(g_colorShift32.green, c.colorShift[1]);
        EXPECT_EQ(g_colorShift32.blue, c.colorShift[2]);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(g_byteMasks24.mask[k], c.byteMask[k]) << "byte " << k;
            EXPECT_EQ(g_byteMasks24.shift[k], c.byteShift[k]) << "byte " << k;
        }
    }
}

TEST_F(PixelFormats, ZeroMasksStillFinish) {
    DeviceInfo info = {};
    for (uint16_t bpp : {16, 24, 32}) {
        info.bitsPerPixel = bpp;
        g_bytesPerPixel = bpp / 8;
        DirectPixelFormatInit(&info);
        EXPECT_EQ(PixelFormatTables(&info), 1u);
    }
}

TEST_F(PixelFormats, DoublingTables) {
    memset(&g_double8, 0, sizeof g_double8);
    DeviceInfo info = {};
    info.bitsPerPixel = 8;
    g_bytesPerPixel = 1;
    DirectPixelFormatInit(&info);
    const struct { uint32_t i; uint16_t single; } singles[] = {
        {0, 0}, {0x12, 0x1212}, {0x80, 0x8080}, {0xff, 0xffff}};
    for (const auto& s : singles) EXPECT_EQ(g_double8.single[s.i], s.single) << s.i;
    const struct { uint32_t i, pair; } pairs[] = {
        {0x0000, 0}, {0x3412, 0x34341212}, {0x00ff, 0x0000ffff}, {0xff00, 0xffff0000},
        {0xffff, 0xffffffff}, {0x0180, 0x01018080}};
    for (const auto& p : pairs) EXPECT_EQ(g_double8.pair[p.i], p.pair) << std::hex << p.i;
    // Every entry, through the byte view the present uses.
    for (uint32_t i = 0; i < 65536; ++i) {
        uint8_t b[4];
        memcpy(b, &g_double8.pair[i], 4);
        ASSERT_TRUE(b[0] == (i & 0xff) && b[1] == (i & 0xff) && b[2] == (i >> 8) && b[3] == (i >> 8))
            << i;
    }
}

// vxn.ini lives in the Windows folder; the keys are written through the
// profile API so Wine's profile cache stays coherent.
void SetLfbKeys(const char* base, const char* size) {
    WritePrivateProfileStringA("VXN", nullptr, nullptr, "vxn.ini");
    if (base) WritePrivateProfileStringA("VXN", "LFB_BASE_ADDR", base, "vxn.ini");
    if (size) WritePrivateProfileStringA("VXN", "LFB_VRAM_SIZE", size, "vxn.ini");
}

class FrameBuffer : public FrameTest {
protected:
    void TearDown() override {
        SetLfbKeys(nullptr, nullptr);
        g_frameBuffer = 0;
        FrameTest::TearDown();
    }
};

TEST_F(FrameBuffer, AddressesFromVxnIniThroughTheMapService) {
    const struct {
        const char* name;
        const char* base;
        const char* size;
        uint32_t expectBase, expectSize;
    } cases[] = {
        {"no keys: defaults", nullptr, nullptr, 0xA0000000, 0x00100000},
        {"with 0x", "0xE0000000", "0x00400000", 0xE0000000, 0x00400000},
        {"bare digits, lower case", "d0000000", "200000", 0xD0000000, 0x200000},
        {"blanks and capital X", "  0XFD000000", " 0x1e0000", 0xFD000000, 0x1e0000},
        {"trailing text ignored", "0xC0000000 video", "300000h", 0xC0000000, 0x300000},
        {"no digits keep the earlier values", "vram", "none", 0x11111111, 0x22222222},
        {"empty keeps the earlier values", "", "", 0x11111111, 0x22222222},
    };
    DevSeamThunk(ThunkRecorder::Entry);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetLfbKeys(c.base, c.size);
        g_lfbBase = 0x11111111;
        g_lfbSize = 0x22222222;
        ThunkRecorder::Calls().clear();
        ThunkRecorder::Result() = 0x00C00000;
        LfbMap();
        EXPECT_EQ(g_lfbBase, c.expectBase);
        EXPECT_EQ(g_lfbSize, c.expectSize);
        EXPECT_EQ(g_frameBuffer, 0x00C00000u);
        ASSERT_EQ(ThunkRecorder::Calls().size(), 1u);
        const ThunkCall& t = ThunkRecorder::Calls()[0];
        EXPECT_EQ(t.service, 1u);
        EXPECT_EQ(t.args[0], c.expectBase);
        EXPECT_EQ(t.args[1], c.expectSize);
        EXPECT_FALSE(t.listNull);
        EXPECT_TRUE(t.translated.empty());
    }
}

TEST_F(FrameBuffer, NoThunkNoFrameBuffer) {
    g_frameBuffer = 0x1234;
    LfbMap();
    EXPECT_EQ(g_frameBuffer, 0u);

    // Only without an open DCI provider does the format set-up map it.
    DevSeamThunk(ThunkRecorder::Entry);
    DeviceInfo info = {};
    info.bitsPerPixel = 8;
    g_dciOpen = 1;
    DirectPixelFormatInit(&info);
    EXPECT_TRUE(ThunkRecorder::Calls().empty());
    g_dciOpen = 0;
    DirectPixelFormatInit(&info);
    EXPECT_EQ(ThunkRecorder::Calls().size(), 1u);
}

}  // namespace
