// Shared fixture of the initialisation and GDI-path tests.
#pragma once

#include "harness.h"
#include "frame/paths.h"

#include <gtest/gtest.h>

// A 32-bit stand-in behind the universal thunk, answering each service as
// scripted and counting the calls.
struct ThunkScript {
    uint32_t dciOpen = 0;       // service 16
    uint32_t dciPrimary = 0;    // service 18
    uint32_t displayDepth = 0;  // service 24
    uint32_t mapped = 0;        // service 1
    bool bitmaps = false;       // service 3 answers with GetObject of the bitmap
    WORD bitmapType = 0;        // bmType it reports
    int calls[32] = {};
    uint32_t mapBase = 0, mapSize = 0;
};
extern ThunkScript g_script;
DWORD WINAPI ScriptedThunk(void* args, DWORD service, void** translate);

enum : DWORD { kVersionNt = 0x0A280105, kVersion95 = 0xC0000004, kVersion32s = 0x80000A03 };

// Each test starts from the NT platform without a thunk or settings file
// and ends with DevTerminate.
class DriverTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Platform as the module entry would have found it.
    void Platform(DWORD version);
    drvtest::RecordingBase base_;
};
