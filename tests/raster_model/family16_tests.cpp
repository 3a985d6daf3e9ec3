// The 16-bit family's record carries its whole variant table.
#include "bpp16/bpp16_trapezoids.h"
#include "frame/select.h"

#include <gtest/gtest.h>

TEST(Family16, RecordHoldsTheVariantTable) {
    EXPECT_EQ(g_bpp16Family.variants, g_bpp16TrapVariants);
    EXPECT_EQ(g_bpp16Family.variantCount, g_bpp16TrapVariantCount);
}
