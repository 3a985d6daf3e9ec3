// The module as the rendering library sees it: ten exports by name and
// ordinal, each removing its own arguments, driven in the documented order.
#include "harness.h"

#include <gtest/gtest.h>

using namespace drvtest;

namespace {

TEST(DriverExports, NamesAndOrdinalsAgree)
{
    DriverModule module;
    ASSERT_NE(nullptr, module.handle());
    for (int ordinal = 1; ordinal <= 10; ++ordinal) {
        FARPROC named = module.byName(kExportNames[ordinal - 1]);
        EXPECT_NE(nullptr, named) << kExportNames[ordinal - 1];
        EXPECT_EQ(named, module.byOrdinal(ordinal)) << kExportNames[ordinal - 1];
    }
}

// The platform seams are for tests (their own build of the module): a
// program that loads the shipped one cannot replace its thunk or version.
TEST(DriverExports, ShipsNoSeams)
{
    DriverModule module;
    ASSERT_NE(nullptr, module.handle());
    for (const char* name : {"DevSeamVersion", "DevSeamMessageBox", "DevSeamThunk"})
        EXPECT_EQ(nullptr, module.byName(name)) << name;
    for (int ordinal : {11, 101, 102, 103}) EXPECT_EQ(nullptr, module.byOrdinal(ordinal)) << ordinal;
}

uint32_t Word(const void* p) { return (uint32_t)(uintptr_t)p; }

// Every call in the library's order: each export removes its arguments,
// ignores the upper halves of its u16 arguments, and the GDI path's frame
// reaches the window.
TEST(DriverExports, DocumentedOrderOnTheGdiPathReachesAWindow)
{
    DriverModule module;
    ASSERT_NE(nullptr, module.handle());
    TestWindow window(40, 40, 48, 24);
    ASSERT_NE(nullptr, window.dc());
    RecordingBase base;
    Context ctx(&base);
    ctx->hdc = window.dc();
    ctx.SetWindow(40, 40, 88, 64);
    DeviceInfo info = Device32(1280, 1024);

    struct Step {
        const char* name;
        std::vector<uint32_t> args;
        uint32_t result;
    };
    auto call = [&](const Step& s) {
        uint32_t result = 0;
        uint32_t left = StackLeftAfterCall(module.byName(s.name), s.args.data(), (int)s.args.size(), &result);
        EXPECT_EQ(0u, left) << s.name << " left its arguments";
        EXPECT_EQ(s.result, result) << s.name;
    };
    call({"DevInitialize", {Word(&info)}, 1});
    EXPECT_EQ(3, info.devCaps);
    EXPECT_EQ(24, info.bitsPerPixel);
    call({"DevContextCreate", {Word(ctx.get())}, 1});
    ASSERT_NE(nullptr, ctx->procs);
    call({"DevBufferCreate", {Word(ctx.get()), 0xabcd00c0}, 0xc0});
    call({"DevContextSwitch", {Word(ctx.get()), 0x10001}, 1});
    call({"DevContextValidate", {Word(ctx.get())}, 1});
    ASSERT_NE(nullptr, ctx->procs->present);

    for (int y = 0; y < 24; ++y) {
        uint8_t* row = DevBufferBits(&ctx->back) + (intptr_t)ctx->back.pitch * y;
        for (int x = 0; x < 48; ++x) {
            row[3 * x] = (uint8_t)(x * 5);      // blue
            row[3 * x + 1] = (uint8_t)(y * 9);  // green
            row[3 * x + 2] = 0xc0;              // red
        }
    }
    EXPECT_EQ(1u, ctx->procs->present(ctx.get()));
    MemoryTarget seen(48, 24);
    BitBlt(seen.dc(), 0, 0, 48, 24, window.dc(), 0, 0, SRCCOPY);
    GdiFlush();
    for (int y = 0; y < 24; y += 5)
        for (int x = 0; x < 48; x += 7)
            EXPECT_EQ(0xc00000u | (uint32_t)(y * 9) << 8 | (uint32_t)(x * 5), seen.Pixel(x, y)) << x << "," << y;

    call({"DevBufferResize", {Word(ctx.get()), 0xc0, 0x10010}, 0xc0});
    call({"DevBufferNotify", {Word(ctx.get()), 0xc0, DEV_NOTIFY_NEW_SURFACE}, 1});
    call({"DevBufferDelete", {Word(ctx.get()), 0xc0}, 0xc0});
    call({"DevContextDelete", {Word(ctx.get())}, 1});
    EXPECT_EQ(nullptr, ctx->procs);
    call({"DevTerminate", {}, 1});
    EXPECT_TRUE(base.calls.empty());
}

}  // namespace
