// Runs the Win32s body as a program Wine reports Windows 3.1 to.
#include <gtest/gtest.h>
#include "harness.h"

TEST(Win31Run, LoadedModuleOnWin32s) {
    drvtest::AppVersion win31("driver_module_win31_body.exe", "win31");
    EXPECT_EQ(drvtest::RunChild("driver_module_win31_body.exe", ""), 0);
}
