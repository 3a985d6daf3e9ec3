// DevInitialize: the path choice, the device-description rewrite and the
// module state it leaves.
#include "gdi_support.h"

#include <vector>

using namespace drvtest;

namespace {

struct PathCase {
    const char* name;
    DWORD version;
    const char* ini;        // text of vxn.ini, or null for none
    uint16_t bitsPerPixel;
    uint32_t dciOpen;       // thunk services 16 and 18
    bool dciPrimary;
    uint32_t mapSize;       // >0: service 1 maps a buffer; LFB_VRAM_SIZE below
    uint32_t directMode;
    uint32_t dciWin95;
    uint16_t devCaps;
    int closes;             // calls of service 17
};

std::vector<uint8_t> s_frame(4 << 20);

class PathChoice : public DriverTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(PathChoice, FollowsPlatformSettingsAndFrameBuffer)
{
    const PathCase& c = GetParam();
    Platform(c.version);
    DevSeamThunk(ScriptedThunk);
    g_script.dciOpen = c.dciOpen;
    g_script.dciPrimary = c.dciPrimary ? (uint32_t)(uintptr_t)s_frame.data() : 0;
    g_script.displayDepth = c.bitsPerPixel;
    g_script.mapped = c.mapSize ? (uint32_t)(uintptr_t)s_frame.data() : 0;
    std::unique_ptr<VxnIni> ini(c.ini ? new VxnIni(c.ini) : nullptr);

    DeviceInfo info = Device(640, 480, c.bitsPerPixel, 0xf800, 0x7e0, 0x1f);
    ASSERT_EQ(1u, DevInitialize(&info));
    EXPECT_EQ(c.directMode, g_directMode);
    EXPECT_EQ(c.dciWin95, g_dciWin95);
    EXPECT_EQ(c.devCaps, info.devCaps);
    EXPECT_EQ(c.closes, g_script.calls[17]);
    if (c.directMode)
        EXPECT_EQ((uint32_t)(uintptr_t)s_frame.data(), g_frameBuffer);
    else
        EXPECT_EQ(0u, g_frameBuffer);
}

const char kForce[] = "[VXN]\nFORCE_GDI=1\n";
const char kIgnore[] = "[VXN]\nIGNORE_DCI=1\nLFB_VRAM_SIZE=0x00100000\n";
const char kIgnoreSmall[] = "[VXN]\nIGNORE_DCI=1\nLFB_VRAM_SIZE=0x1000\n";
const char kBoth[] = "[VXN]\nIGNORE_DCI=1\nFORCE_GDI=1\n";
const char kZero[] = "[VXN]\nIGNORE_DCI=0\nFORCE_GDI=0\n";

INSTANTIATE_TEST_SUITE_P(
    Table, PathChoice,
    ::testing::Values(
        PathCase{"NtNoThunk", kVersionNt, nullptr, 16, 0, false, 0, 0, 0, 3, 0},
        PathCase{"ThunkDci", kVersion32s, nullptr, 16, 1, true, 0, 1, 0, 15, 0},
        PathCase{"ThunkDciZeroKeys", kVersion32s, kZero, 16, 1, true, 0, 1, 0, 15, 0},
        PathCase{"ThunkDciForceGdi", kVersion32s, kForce, 16, 1, true, 0, 0, 0, 3, 1},
        PathCase{"ThunkDciNoSurface", kVersion32s, nullptr, 16, 1, false, 0, 0, 0, 3, 1},
        PathCase{"ThunkDciFourBits", kVersion32s, nullptr, 4, 1, true, 0, 0, 0, 3, 1},
        PathCase{"IgnoreDciMapsFrameBuffer", kVersion32s, kIgnore, 16, 1, true, 0x100000, 1, 0, 15, 1},
        PathCase{"IgnoreDciWithoutMapping", kVersion32s, kIgnore, 16, 0, false, 0, 0, 0, 3, 0},
        PathCase{"IgnoreDciMappingTooSmall", kVersion32s, kIgnoreSmall, 16, 0, false, 0x1000, 0, 0, 3, 0},
        PathCase{"IgnoreAndForce", kVersion32s, kBoth, 16, 0, false, 0x100000, 0, 0, 3, 0},
        PathCase{"Win95WithoutProvider", kVersion95, nullptr, 16, 1, true, 0, 0, 0, 3, 0}),
    [](const ::testing::TestParamInfo<PathCase>& i) { return std::string(i.param.name); });

TEST_F(DriverTest, LinearFrameBufferComesFromTheSettingsFile)
{
    Platform(kVersion32s);
    DevSeamThunk(ScriptedThunk);
    g_script.mapped = (uint32_t)(uintptr_t)s_frame.data();
    VxnIni ini("[VXN]\nIGNORE_DCI=1\nLFB_BASE_ADDR=0xE0000000\nLFB_VRAM_SIZE=200000\nLFB_LINES_TO_SKIP=7\n");
    DeviceInfo info = Device565(640, 480);
    DevInitialize(&info);
    EXPECT_EQ(1u, g_directMode);
    EXPECT_EQ(0xE0000000u, g_script.mapBase);
    EXPECT_EQ(0x200000u, g_script.mapSize);
}

TEST_F(DriverTest, PaletteBaseIsKept)
{
    DeviceInfo info = Device8(640, 480);
    info.paletteBase = 0xbeef;
    DevInitialize(&info);
    EXPECT_EQ(0xbeefu, g_paletteBase);
}

struct RewriteCase {
    uint16_t bits;
    uint32_t red, green, blue;
    uint16_t wantBits, wantBytes;
    uint32_t wantRed, wantGreen, wantBlue, wantMax;
};

class GdiRewrite : public DriverTest, public ::testing::WithParamInterface<RewriteCase> {};

TEST_P(GdiRewrite, DibsAboveEightBitsBecomeRgb888)
{
    const RewriteCase& c = GetParam();
    DeviceInfo info = Device(800, 600, c.bits, c.red, c.green, c.blue);
    uint32_t maxBefore = info.redMax;
    DevInitialize(&info);
    EXPECT_EQ(0u, g_directMode);
    EXPECT_EQ(1u, g_useDib);
    EXPECT_EQ(3, info.devCaps);
    EXPECT_EQ(c.wantBits, info.bitsPerPixel);
    EXPECT_EQ(c.wantBytes, info.bytesPerPixel);
    EXPECT_EQ(c.wantRed, info.redMask);
    EXPECT_EQ(c.wantGreen, info.greenMask);
    EXPECT_EQ(c.wantBlue, info.blueMask);
    uint32_t wantMax = c.wantMax ? c.wantMax : maxBefore;
    EXPECT_EQ(wantMax, info.redMax);
    if (c.wantMax) {
        EXPECT_EQ(c.wantMax, info.greenMax);
        EXPECT_EQ(c.wantMax, info.blueMax);
    }
    EXPECT_EQ(c.wantBits, g_gdiBitsPerPixel);
    EXPECT_EQ(800, info.width);
}

INSTANTIATE_TEST_SUITE_P(Table, GdiRewrite,
                         ::testing::Values(RewriteCase{32, 0xff0000, 0xff00, 0xff, 24, 3, 0xff0000, 0xff00, 0xff, 255},
                                           RewriteCase{16, 0xf800, 0x7e0, 0x1f, 24, 3, 0xff0000, 0xff00, 0xff, 255},
                                           RewriteCase{16, 0x7c00, 0x3e0, 0x1f, 24, 3, 0xff0000, 0xff00, 0xff, 255},
                                           RewriteCase{8, 0, 0, 0, 8, 1, 0, 0, 0, 0},
                                           RewriteCase{4, 0, 0, 0, 4, 0, 0, 0, 0, 0}));

// Device bitmaps only on Win32s with 8 or 16 bits and no device-bitmap
// raster capability, and never with "DIBS".
struct DdbCase {
    DWORD version;
    uint16_t bits;
    int rasterCaps;
    const char* ini;
    uint16_t useDib;
    uint16_t wantBits;
};

int s_rasterCaps;
int WINAPI ScriptedRasterCaps(HDC, int index) { return index == RASTERCAPS ? s_rasterCaps : 0; }

class DdbChoice : public DriverTest, public ::testing::WithParamInterface<DdbCase> {};

TEST_P(DdbChoice, FollowsPlatformDepthAndCaps)
{
    const DdbCase& c = GetParam();
    Platform(c.version);
    s_rasterCaps = c.rasterCaps;
    GdiSeamRasterCaps(ScriptedRasterCaps);
    std::unique_ptr<VxnIni> ini(c.ini ? new VxnIni(c.ini) : nullptr);
    DeviceInfo info = Device(640, 480, c.bits, 0xf800, 0x7e0, 0x1f);
    DevInitialize(&info);
    EXPECT_EQ(c.useDib, g_useDib);
    EXPECT_EQ(c.wantBits, info.bitsPerPixel);
}

INSTANTIATE_TEST_SUITE_P(Table, DdbChoice,
                         ::testing::Values(DdbCase{kVersion32s, 16, RC_BITBLT, nullptr, 0, 16},
                                           DdbCase{kVersion32s, 8, RC_BITBLT, nullptr, 0, 8},
                                           DdbCase{kVersion32s, 16, RC_BITBLT, "[VXN]\nDIBS=1\n", 1, 24},
                                           DdbCase{kVersion32s, 16, RC_BITBLT | RC_DEVBITS, nullptr, 1, 24},
                                           DdbCase{kVersion32s, 32, RC_BITBLT, nullptr, 1, 24},
                                           DdbCase{kVersion95, 16, RC_BITBLT, nullptr, 1, 24},
                                           DdbCase{kVersionNt, 8, RC_BITBLT, nullptr, 1, 8}));

}  // namespace
