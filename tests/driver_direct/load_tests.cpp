// The dirty-block values as the module loads them. Every other direct-path
// test resets them before it starts, so this program runs one test and
// nothing else touches them before it reads them.
#include "harness.h"
#include "frame/paths.h"

#include <gtest/gtest.h>

extern "C" uint32_t g_dirtyWidthClass;

namespace {

TEST(LoadTime, DirtyBlocksStartSixteenWideWithNoWidthClass)
{
    EXPECT_EQ(4u, g_dirtyShift);
    EXPECT_EQ(0xffffffffu, g_dirtyWidthClass);

    // No class yet: the first switch applies even for the narrowest class,
    // and marks the masks it finds.
    drvtest::Context c;
    c.SetWindow(0, 0, 100, 2);
    DevContext* ctx = c.get();
    uint32_t a[3] = {0, 0, 0}, b[3] = {0, 0, 0};
    ctx->dirtyA = a;
    ctx->dirtyB = b;
    ctx->dirtyRows = 2;
    EXPECT_EQ(1u, DirectContextSwitch(ctx, 1));
    EXPECT_EQ(5u, g_dirtyShift);
    EXPECT_EQ(0u, g_dirtyWidthClass);
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(0xffffffffu, a[r]) << r;
        EXPECT_EQ(0xffffffffu, b[r]) << r;
    }
    EXPECT_EQ(0u, a[2]);
}

}  // namespace
