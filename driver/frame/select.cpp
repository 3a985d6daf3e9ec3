#include "select.h"

uint32_t DevSelectKey(const DevFamily* family, uint32_t state)
{
    return state & ((state & DEV_TEXTURE) ? family->texturedKeyMask : family->untexturedKeyMask);
}

void DevSelectFamily(DevContext* ctx, const DevFamily* family)
{
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
