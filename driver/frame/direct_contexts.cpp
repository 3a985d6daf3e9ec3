// Direct path: per-context driver blocks, DCI surfaces and window watches,
// and validation through the family selectors.
#include "frame/paths.h"
#include "frame/select.h"

uint32_t g_directContextCount;

static void ReleaseContextSurface(DriverBlock* block) {
    DciSurfaceInfo* surface = block->dciSurface;
    if (surface && surface != g_moduleSurface) DevDciDestroySurface(surface);
    block->dciSurface = nullptr;
}

// A new primary surface of the context's own, or 0. A surface the manager
// made but refused is destroyed here; a pointer the manager left from an
// earlier creation belongs to someone else and is not taken.
static DciSurfaceInfo* CreateOwnSurface() {
    DciSurfaceInfo* before = DevDciGetSurface();
    if (DevDciCreateSurface()) return DevDciGetSurface();
    DciSurfaceInfo* after = DevDciGetSurface();
    if (after && after != before) DevDciDestroySurface(after);
    return nullptr;
}

// The words of a context record that are the driver's, as a fresh context
// has them: the library hands the record over without promising it is
// zeroed, and nothing the driver later follows may come from before.
static void ForgetContextWords(DevContext* ctx) {
    ctx->procs = nullptr;
    ctx->driverBlock = nullptr;
    ctx->front.extra = ctx->back.extra = ctx->depth.extra = nullptr;
    ctx->dirtyA = ctx->dirtyB = nullptr;
    ctx->dirtyRows = 0;
}

uint32_t DirectContextCreate(DevContext* ctx) {
    ForgetContextWords(ctx);
    DriverBlock* block = static_cast<DriverBlock*>(VnrDevMalloc(sizeof(DriverBlock)));
    if (!block) return 0;
    ctx->driverBlock = block;
    ctx->procs = &block->procs;
    g_directContextCount += 1;
    if (g_dciWin95) {
        DciSurfaceInfo* surface = g_moduleSurface;
        if (g_directContextCount > 1) {
            DevDciLoadManager();
            surface = CreateOwnSurface();
        }
        block->dciSurface = surface;
        block->hwnd = GetWindowFromDC(ctx->hdc);
        block->winWatch = DevWinWatchOpen(block->hwnd);
    }
    ctx->caps = DEV_CAPS_DIRECT;
    return 1;
}

uint32_t DirectContextDelete(DevContext* ctx) {
    DriverBlock* block = ctx->driverBlock;
    if (!block) return 1;
    if (g_directContextCount) g_directContextCount -= 1;
    if (g_dciWin95) {
        if (block->winWatch) DevWinWatchClose(block->winWatch);
        block->winWatch = nullptr;
        ReleaseContextSurface(block);
    }
    VnrDevFree(block);
    ctx->driverBlock = nullptr;
    ctx->procs = nullptr;
    return 1;
}

uint32_t DirectContextValidate(DevContext* ctx) {
    switch (g_bytesPerPixel) {
    case 1: BPP08_DevSelectProcs(ctx); break;
    case 2: BPP16_DevSelectProcs(ctx); break;
    case 3: BPP24_DevSelectProcs(ctx); break;
    case 4: BPP32_DevSelectProcs(ctx); break;
    default: break;
    }
    return 1;
}
