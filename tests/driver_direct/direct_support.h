// Fixture of the direct-path tests: the driver's objects on Windows 95 with
// the stand-in DCI provider, a 1024 x 768 primary surface of the chosen depth.
#pragma once

#include "dcistandin.h"
#include "harness.h"
#include "frame/paths.h"

#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <vector>

#include "pool_support.h"

extern "C" uint32_t g_dirtyWidthClass;

class DirectTest : public ::testing::Test {
protected:
    void SetUp() override { Begin(16); }
    // One window for every test: Wine without a window manager waits for
    // each destroyed window to be unmapped.
    static HDC WindowDc();
    static HWND Window();
    void TearDown() override;
    // Initialises the direct path on a surface of bits per pixel.
    void Begin(int bits, int width = 1024, int height = 768);
    // A context with its driver block for a window at screen (x0, y0).
    std::unique_ptr<drvtest::Context> NewContext(int16_t x0, int16_t y0, int16_t x1, int16_t y1);
    DciStandInCounters Counters();
    static DciStandInConfig Surface(int bits, int width, int height);

    drvtest::RecordingBase base_;
    DeviceInfo info_;
    std::vector<std::unique_ptr<drvtest::Context>> contexts_;
    bool terminated_ = false;
};

// Stands in for this program's imports of GlobalAlloc and GlobalFree while
// alive (the driver's objects are linked in): counts the blocks allocated
// and not yet freed since it began, and can fail one allocation.
class GlobalLedger {
public:
    GlobalLedger();
    ~GlobalLedger();
    GlobalLedger(const GlobalLedger&) = delete;
    GlobalLedger& operator=(const GlobalLedger&) = delete;
    // The nth GlobalAlloc from now (1: the next one) fails; 0 fails none.
    void FailCall(int n);
    int Live() const;
    int Calls() const;  // GlobalAlloc calls since it began, the failed one included
};
