#include "gdi_support.h"

ThunkScript g_script;
static DWORD s_version = kVersionNt;

static DWORD WINAPI ScriptedVersion() { return s_version; }

DWORD WINAPI ScriptedThunk(void* args, DWORD service, void**)
{
    if (service < 32) g_script.calls[service]++;
    uint32_t* words = (uint32_t*)args;
    switch (service) {
    case 1:
        g_script.mapBase = words[0];
        g_script.mapSize = words[1];
        return g_script.mapped;
    case 3: {
        if (!g_script.bitmaps) return 0;
        BITMAP* bm = (BITMAP*)(uintptr_t)words[2];
        if (!GetObjectA((HBITMAP)(uintptr_t)words[0], sizeof *bm, bm)) return 0;
        bm->bmType = g_script.bitmapType;
        return 1;
    }
    case 16: return g_script.dciOpen;
    case 17: return 1;
    case 18: return g_script.dciPrimary;
    case 24: return g_script.displayDepth;
    default: return 0;
    }
}

void DriverTest::SetUp()
{
    g_script = ThunkScript();
    DevSeamThunk(nullptr);
    DevSeamVersion(ScriptedVersion);
    GdiSeamRasterCaps(nullptr);
    GdiSeamBitmapMaker(nullptr);
    Platform(kVersionNt);
    DeleteFileA(drvtest::VxnIni::Path().c_str());
}

void DriverTest::TearDown()
{
    DevTerminate();
    DevSeamThunk(nullptr);
    DevSeamVersion(nullptr);
    GdiSeamRasterCaps(nullptr);
    GdiSeamBitmapMaker(nullptr);
}

void DriverTest::Platform(DWORD version)
{
    s_version = version;
    g_platformId = GetPlatformId();
}
