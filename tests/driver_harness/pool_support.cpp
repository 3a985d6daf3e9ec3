#include "pool_support.h"

#include <gtest/gtest.h>
#include <string.h>

namespace drvtest {

int PoolBlocksInUse()
{
    int used = 0;
    for (int b = 0; b < DEV_POOL_BLOCKS; ++b) used += g_blockRuns[b].free ? 0 : 1;
    return used;
}

PoolFiller::PoolFiller(int spare)
{
    // Whole free runs in order, each taken by one request of its length, so
    // that giving them back leaves the runs as they were.
    int free = DEV_POOL_BLOCKS - PoolBlocksInUse();
    uint32_t b = 0;
    while (b < DEV_POOL_BLOCKS && free > spare) {
        uint32_t n = g_blockRuns[b].length;
        if (g_blockRuns[b].free) {
            uint32_t take = n < (uint32_t)(free - spare) ? n : (uint32_t)(free - spare);
            void* p = VnrDevMalloc(take * DEV_POOL_BLOCK_SIZE);
            EXPECT_EQ(g_blockPool + b * DEV_POOL_BLOCK_SIZE, p);
            if (!p) break;
            taken_.push_back(p);
            free -= (int)take;
        }
        b += n;
    }
    EXPECT_EQ(spare, DEV_POOL_BLOCKS - PoolBlocksInUse());
}

PoolFiller::~PoolFiller()
{
    for (void* p : taken_) VnrDevFree(p);
}

void PoisonRecord(DevContext* ctx, uint8_t byte, RecordPath path)
{
    DevContext keep = *ctx;
    memset(ctx, byte, sizeof *ctx);
    ctx->hdc = keep.hdc;
    ctx->state = keep.state;
    ctx->window = keep.window;
    ctx->update = keep.update;
    ctx->clipRects = keep.clipRects;
    ctx->clipRectsCopy = keep.clipRectsCopy;
    ctx->drawBuffer = keep.drawBuffer;
    ctx->baseProcs = keep.baseProcs;
    ctx->zoomX = keep.zoomX;
    ctx->zoomY = keep.zoomY;
    if (path == RecordPath::Direct) {
        ctx->clipCount = 0;
        ctx->clipCountCopy = 0;
        ctx->texture = keep.texture;
        ctx->front.flags = ctx->back.flags = ctx->depth.flags = 0;
    }
}

}  // namespace drvtest
