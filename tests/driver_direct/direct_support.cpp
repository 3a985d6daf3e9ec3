#include "direct_support.h"

static DWORD WINAPI Windows95() { return 0xC0000004; }

DciStandInConfig DirectTest::Surface(int bits, int width, int height)
{
    DciStandInConfig c = {};
    c.width = width;
    c.height = height;
    c.stride = ((width * ((bits + 7) / 8)) + 255) & ~255;  // a pitch wider than the row
    c.bitCount = bits;
    if (bits == 16) {
        c.masks[0] = 0xf800, c.masks[1] = 0x7e0, c.masks[2] = 0x1f;
    } else if (bits > 16) {
        c.masks[0] = 0xff0000, c.masks[1] = 0xff00, c.masks[2] = 0xff;
    }
    return c;
}

void DirectTest::Begin(int bits, int width, int height)
{
    if (!terminated_ && g_directMode) TearDown();
    terminated_ = false;
    DevSeamVersion(Windows95);
    g_platformId = GetPlatformId();
    g_dirtyShift = 4;
    g_dirtyWidthClass = 0xffffffffu;
    DciStandInConfig c = Surface(bits, width, height);
    DciStandInConfigure(&c);
    info_ = drvtest::Device(640, 480, (uint16_t)bits, c.masks[0], c.masks[1], c.masks[2]);
    ASSERT_EQ(1u, DevInitialize(&info_));
    ASSERT_EQ(1u, g_directMode);
    ASSERT_EQ(1u, g_dciWin95);
}

void DirectTest::TearDown()
{
    for (auto& c : contexts_) {
        if ((*c)->driverBlock) {
            DevBufferDelete(c->get(), 0x4c0);
            DevContextDelete(c->get());
        }
    }
    contexts_.clear();
    DevTerminate();
    DevSeamVersion(nullptr);
    terminated_ = true;
}

std::unique_ptr<drvtest::Context> DirectTest::NewContext(int16_t x0, int16_t y0, int16_t x1, int16_t y1)
{
    std::unique_ptr<drvtest::Context> c(new drvtest::Context(&base_));
    c->SetWindow(x0, y0, x1, y1);
    (*c)->hdc = WindowDc();
    EXPECT_EQ(1u, DevContextCreate(c->get()));
    return c;
}

static drvtest::TestWindow& SharedWindow()
{
    static drvtest::TestWindow* window = new drvtest::TestWindow(0, 0, 64, 64);
    return *window;
}

HDC DirectTest::WindowDc() { return SharedWindow().dc(); }
HWND DirectTest::Window() { return SharedWindow().hwnd(); }

DciStandInCounters DirectTest::Counters()
{
    DciStandInCounters c;
    DciStandInGetCounters(&c);
    return c;
}

int DirectTest::PoolBlocksInUse()
{
    int used = 0;
    for (int b = 0; b < DEV_POOL_BLOCKS; ++b) used += g_blockRuns[b].free ? 0 : 1;
    return used;
}
