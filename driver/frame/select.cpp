#include "frame/select.h"
#include "frame/paths.h"  // DirtyMarkCopy

#include <stdio.h>

namespace {
void Select(DevContext* ctx, const DevFamily* family);
void TraceSelection(const DevContext* ctx, const DevFamily* family);
}  // namespace

void DevSelectFamily(DevContext* ctx, const DevFamily* family) {
    Select(ctx, family);
    TraceSelection(ctx, family);
}

uint32_t DevSelectKey(const DevFamily* family, uint32_t state) {
    return state & ((state & DEV_TEXTURE) ? family->texturedKeyMask : family->untexturedKeyMask);
}

namespace {

void Select(DevContext* ctx, const DevFamily* family) {
    // The library draws into a front buffer it made itself: not ours to drive.
    if (ctx->drawBuffer == &ctx->front && !(ctx->front.flags & DEVBUF_DRIVER)) return;
    DriverBlock* block = ctx->driverBlock;
    if (!block) return;
    DevProcTable* t = &block->procs;
    t->clear = family->clear;
    t->setColor = family->setColor;
    t->line = family->lineGeneric;
    t->trapezoids = family->trapezoidsGeneric;
    t->copyRect = DirtyMarkCopy;
    // Also for states handed to the library: the forwarders' marks and
    // repaint requests are consumed only by the family's present.
    t->present = ctx->translate ? family->presentTranslated : family->present;
    uint32_t state = ctx->state;
    if (state & DEV_GENERIC_MASK) return;
    if ((state & DEV_DEPTH) && ctx->depthFunc != 1 && ctx->depthFunc != 3) return;
    uint32_t key = DevSelectKey(family, state);
    const DevTrapVariant* v = DevTrapVariantFind(family->variants, family->variantCount, key, ctx->lightMode);
    if (!v) return;
    t->trapezoids = v->proc;
    for (uint32_t i = 0; i < family->lineCount; ++i)
        if (family->lines[i].key == key) t->line = family->lines[i].proc;
}

// With the call trace on (VISTARO_TRACE names a file), one line per
// selection naming what it was made for (state, depth compare, light) and
// the rasterizer and line routine installed, so a frame's trace shows
// which routine drew what.
void TraceSelection(const DevContext* ctx, const DevFamily* family) {
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("VISTARO_TRACE", path, sizeof path);
    if (n == 0 || n >= sizeof path || !ctx->driverBlock) return;
    const DevProcTable* t = &ctx->driverBlock->procs;
    const char* trapezoids = t->trapezoids == family->trapezoidsGeneric ? "generic" : "none";
    for (uint32_t i = 0; i < family->variantCount; ++i)
        if (family->variants[i].proc == t->trapezoids) trapezoids = family->variants[i].name;
    const char* line = t->line == family->lineGeneric ? "generic" : "none";
    for (uint32_t i = 0; i < family->lineCount; ++i)
        if (family->lines[i].proc == t->line) line = family->lines[i].name;
    char text[256];
    int len =
        snprintf(text, sizeof text, "DevSelectProcs state=0x%x depthFunc=%u light=%u trapezoids=%s line=%s -> 1\n",
                 (unsigned)ctx->state, (unsigned)ctx->depthFunc, (unsigned)ctx->lightMode, trapezoids, line);
    HANDLE f = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written;
    WriteFile(f, text, (DWORD)len, &written, NULL);
    CloseHandle(f);
}

}  // namespace
