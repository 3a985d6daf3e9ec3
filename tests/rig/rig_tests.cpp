// Checks the test rig itself: a 32-bit program under Wine with a display.
#include <gtest/gtest.h>
#include "testsupport.h"

TEST(Rig, RunsAs32BitProcessWithADisplay) {
    static_assert(sizeof(void*) == 4, "the product is 32-bit");
    HDC dc = GetDC(nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_GE(GetDeviceCaps(dc, BITSPIXEL), 8);
    ReleaseDC(nullptr, dc);
    HWND w = CreateWindowA("STATIC", "rig", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(w, nullptr) << "tests run under an X display";
    DestroyWindow(w);
}

TEST(Rig, TempDirHoldsFiles) {
    std::string kept;
    {
        testsupport::TempDir dir;
        kept = dir.file("a.txt");
        testsupport::WriteFile(kept, "x\r\ny");
        EXPECT_EQ(testsupport::ReadFile(kept), "x\r\ny");
    }
    EXPECT_EQ(GetFileAttributesA(kept.c_str()), INVALID_FILE_ATTRIBUTES);
}
