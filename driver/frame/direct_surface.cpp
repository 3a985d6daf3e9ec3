// Direct path: the screen geometry and the primary surface DevInitialize
// made, from initialise to terminate, and its rebuild when the display
// surface changes.
#include "frame/paths.h"

// The primary surface that DevInitialize created. Contexts share it; only
// surfaces a context made for itself are destroyed with that context.
DciSurfaceInfo* g_moduleSurface;

void DirectAdoptModuleSurface(DciSurfaceInfo* surface) { g_moduleSurface = surface; }

void DirectReleaseModuleSurface() {
    if (g_dciWin95 && g_moduleSurface) DevDciDestroySurface(g_moduleSurface);
    g_moduleSurface = nullptr;
}

uint32_t DirectInitialize(DeviceInfo* info) {
    info->devCaps = DEV_DEVCAPS_DIRECT;
    uint32_t pitch;
    DciSurfaceInfo* s = g_dciWin95 ? DevDciGetSurface() : nullptr;
    if (s) {
        info->width = static_cast<uint16_t>(s->dwWidth);
        info->height = static_cast<uint16_t>(s->dwHeight);
        pitch = static_cast<uint32_t>(s->lStride);
    } else {
        uint32_t d = ThunkGetDisplayDepth(1);
        if (d > 16) {
            info->bitsPerPixel = static_cast<uint16_t>(d);
            info->bytesPerPixel = static_cast<uint16_t>(d >> 3);
        }
        pitch = static_cast<uint32_t>(info->bytesPerPixel) * info->width;
    }
    g_screenPitch = pitch;
    g_screenWidth = info->width;
    g_screenHeight = info->height;
    g_bytesPerPixel = info->bytesPerPixel;
    g_bitsPerPixel = info->bitsPerPixel;
    g_depthStep = 2;
    DirectPixelFormatInit(info);
    return 1;
}

void DirectTerminate() {
    DirectReleaseModuleSurface();
    if (g_dciOpen) {
        DevDciClose();
        g_dciOpen = 0;
    }
}

// DEV_NOTIFY_NEW_SURFACE: the display surface was rebuilt. On failure the old
// geometry stays and the context has no surface, so presents are refused
// access instead of writing through the destroyed one; a later notify retries.
void DirectRebuildSurface(DevContext* ctx) {
    DriverBlock* block = ctx->driverBlock;
    if (!block) return;
    DciSurfaceInfo* old = block->dciSurface;
    bool wasModule = old && old == g_moduleSurface;
    if (old) DevDciDestroySurface(old);
    block->dciSurface = nullptr;
    if (wasModule) g_moduleSurface = nullptr;
    DciSurfaceInfo* before = DevDciGetSurface();
    uint32_t address = DevDciCreateSurface();
    DciSurfaceInfo* s = DevDciGetSurface();
    if (!address || !s) {
        if (s && s != before && s != old) DevDciDestroySurface(s);
        return;
    }
    g_frameBuffer = address;
    block->dciSurface = s;
    if (wasModule) g_moduleSurface = s;
    g_screenWidth = s->dwWidth;
    g_screenHeight = s->dwHeight;
    g_screenPitch = static_cast<uint32_t>(s->lStride);
    DevBuffer* f = &ctx->front;
    f->width = static_cast<uint16_t>(g_screenWidth);
    f->height = f->rows = static_cast<uint16_t>(g_screenHeight);
    f->pitch = static_cast<int16_t>(g_screenPitch);
    f->bits = f->bitsCopy = g_frameBuffer + static_cast<uint32_t>(ctx->window.y0) * g_screenPitch +
                            static_cast<uint32_t>(ctx->window.x0) * g_bytesPerPixel;
}
