#include <gtest/gtest.h>
#include "driver.h"

TEST(Pool, FreshPoolServesWholePool) {
    DevMemoryInit();
    void* p = VnrDevMalloc(65536);
    EXPECT_EQ(p, g_blockPool);
}
