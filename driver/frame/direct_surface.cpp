// Direct path: the screen geometry and the primary surface DevInitialize
// made, from initialise to terminate, and its rebuild when the display
// surface changes.
#include "frame/paths.h"

// The primary surface that DevInitialize created. Contexts share it; only
// surfaces a context made for itself are destroyed with that context.
DciSurfaceInfo* g_moduleSurface;

void DirectAdoptModuleSurface(DciSurfaceInfo* surface) { g_moduleSurface = surface; }

void DirectReleaseModuleSurface()
{
    if (g_dciWin95 && g_moduleSurface) DevDciDestroySurface(g_moduleSurface);
    g_moduleSurface = 0;
}

uint32_t DirectInitialize(DeviceInfo* info)
{
    info->devCaps = DEV_DEVCAPS_DIRECT;
    uint32_t pitch;
    DciSurfaceInfo* s = g_dciWin95 ? DevDciGetSurface() : 0;
    if (s) {
        info->width = (uint16_t)s->dwWidth;
        info->height = (uint16_t)s->dwHeight;
        pitch = (uint32_t)s->lStride;
    } else {
        uint32_t d = ThunkGetDisplayDepth(1);
        if (d > 16) {
            info->bitsPerPixel = (uint16_t)d;
            info->bytesPerPixel = (uint16_t)(d >> 3);
        }
        pitch = (uint32_t)info->bytesPerPixel * info->width;
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

void DirectTerminate()
{
    DirectReleaseModuleSurface();
    if (g_dciOpen) {
        DevDciClose();
        g_dciOpen = 0;
    }
}

// DEV_NOTIFY_NEW_SURFACE: the display surface was rebuilt. On failure the old
// geometry stays and the context has no surface, so presents are refused
// access instead of writing through the destroyed one; a later notify retries.
void DirectRebuildSurface(DevContext* ctx)
{
    DriverBlock* block = (DriverBlock*)ctx->driverBlock;
    if (!block) return;
    DciSurfaceInfo* old = block->dciSurface;
    bool wasModule = old && old == g_moduleSurface;
    if (old) DevDciDestroySurface(old);
    block->dciSurface = 0;
    if (wasModule) g_moduleSurface = 0;
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
    g_screenPitch = (uint32_t)s->lStride;
    DevBuffer* f = &ctx->front;
    f->width = (uint16_t)g_screenWidth;
    f->height = f->rows = (uint16_t)g_screenHeight;
    f->pitch = (int16_t)g_screenPitch;
    f->bits = f->bitsCopy = g_frameBuffer + (uint32_t)(int32_t)ctx->window.y0 * g_screenPitch +
                            (uint32_t)(int32_t)ctx->window.x0 * g_bytesPerPixel;
}
