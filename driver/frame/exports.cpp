// The ten exports of the driver interface. DevInitialize chooses the path
// once; every other export hands its arguments to that path's routine.
#include "frame/paths.h"

uint32_t g_ignoreDci;
uint32_t g_forceGdi;

// Closing DCI on Windows 95 leaves the provider open; a surface made here
// would then never be destroyed.
static void CloseDci() {
    if (g_platformId == DEV_PLATFORM_WIN95 && DevDciGetSurface()) DevDciDestroySurface(DevDciGetSurface());
    if (g_dciOpen) DevDciClose();
    g_dciOpen = 0;
}

// A frame buffer the direct path can write: an address, and for a linear
// mapping at least pitch x height bytes of it.
static bool FrameBufferUsable() {
    if (!g_frameBuffer) return false;
    if (g_dciOpen) return true;
    return g_lfbSize >= static_cast<uint64_t>(g_screenPitch) * g_screenHeight;
}

extern "C" uint32_t DEVEXPORT DevInitialize(DeviceInfo* info) {
    g_directMode = 0;
    g_frameBuffer = 0;
    g_dciWin95 = 0;
    g_dciOpen = 0;
    DirectAdoptModuleSurface(nullptr);
    g_directContextCount = 0;  // the pool forgets every earlier context
    DevMemoryInit();
    DirectForgetRecords();
    g_ignoreDci = GetPrivateProfileIntA("VXN", "IGNORE_DCI", 0, "vxn.ini");
    g_forceGdi = GetPrivateProfileIntA("VXN", "FORCE_GDI", 0, "vxn.ini");

    g_dciOpen = DevDciOpen();
    if (g_dciOpen) {
        g_frameBuffer = DevDciPrimaryAddress();
        if (g_frameBuffer) {
            g_directMode = 1;
        } else {
            CloseDci();
        }
    }
    if (g_forceGdi || info->bitsPerPixel < 8) {
        if (g_frameBuffer) CloseDci();
        g_frameBuffer = 0;
        g_directMode = 0;
    } else if (g_ignoreDci) {
        if (g_frameBuffer) CloseDci();
        g_frameBuffer = 0;
        g_directMode = 1;
    }
    if (g_dciOpen && g_platformId == DEV_PLATFORM_WIN95) {
        g_dciWin95 = 1;
        DirectAdoptModuleSurface(DevDciGetSurface());
    }
    g_paletteBase = info->paletteBase;

    if (!g_directMode) return GdiInitialize(info);
    if (!g_dciOpen) GetPrivateProfileIntA("VXN", "LFB_LINES_TO_SKIP", 0, "vxn.ini");  // read, no effect
    DirectInitialize(info);
    if (FrameBufferUsable()) return 1;
    // Nothing to write through: present with GDI instead.
    DirectReleaseModuleSurface();
    CloseDci();
    g_dciWin95 = 0;
    g_frameBuffer = 0;
    g_directMode = 0;
    return GdiInitialize(info);
}

extern "C" uint32_t DEVEXPORT DevTerminate(void) {
    if (g_directMode)
        DirectTerminate();
    else
        GdiTerminate();
    return 1;
}

extern "C" uint32_t DEVEXPORT DevBufferCreate(DevContext* ctx, uint32_t which) {
    uint16_t mask = static_cast<uint16_t>(which);
    return g_directMode ? DirectBufferCreate(ctx, mask) : GdiBufferCreate(ctx, mask);
}

extern "C" uint32_t DEVEXPORT DevBufferResize(DevContext* ctx, uint32_t which, uint32_t how) {
    uint16_t mask = static_cast<uint16_t>(which), h = static_cast<uint16_t>(how);
    return g_directMode ? DirectBufferResize(ctx, mask, h) : GdiBufferResize(ctx, mask, h);
}

extern "C" uint32_t DEVEXPORT DevBufferDelete(DevContext* ctx, uint32_t which) {
    uint16_t mask = static_cast<uint16_t>(which);
    return g_directMode ? DirectBufferDelete(ctx, mask) : GdiBufferDelete(ctx, mask);
}

extern "C" uint32_t DEVEXPORT DevBufferNotify(DevContext* ctx, uint32_t which, uint32_t event) {
    uint16_t mask = static_cast<uint16_t>(which), e = static_cast<uint16_t>(event);
    return g_directMode ? DirectBufferNotify(ctx, mask, e) : GdiBufferNotify(ctx, mask, e);
}

extern "C" uint32_t DEVEXPORT DevContextCreate(DevContext* ctx) {
    return g_directMode ? DirectContextCreate(ctx) : GdiContextCreate(ctx);
}

extern "C" uint32_t DEVEXPORT DevContextDelete(DevContext* ctx) {
    return g_directMode ? DirectContextDelete(ctx) : GdiContextDelete(ctx);
}

extern "C" uint32_t DEVEXPORT DevContextSwitch(DevContext* ctx, uint32_t n) {
    uint16_t count = static_cast<uint16_t>(n);
    return g_directMode ? DirectContextSwitch(ctx, count) : GdiContextSwitch(ctx, count);
}

extern "C" uint32_t DEVEXPORT DevContextValidate(DevContext* ctx) {
    return g_directMode ? DirectContextValidate(ctx) : GdiContextValidate(ctx);
}
