// Runs the direct-path body as a program Wine reports Windows 95 to.
#include "harness.h"

#include <gtest/gtest.h>

TEST(Win95Run, DirectPathOnTheStandInProvider)
{
    drvtest::AppVersion win95("driver_direct_win95_body.exe", "win95");
    EXPECT_EQ(0, drvtest::RunChild("driver_direct_win95_body.exe", ""));
}
