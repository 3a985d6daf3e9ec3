// Direct path: the three buffer descriptors of a context, their side
// records and the two dirty-mask arrays.
#include "frame/paths.h"

#include <string.h>

static int32_t WindowWidth(const DevContext* ctx) { return ctx->window.x1 - ctx->window.x0; }
static int32_t WindowHeight(const DevContext* ctx) { return ctx->window.y1 - ctx->window.y0; }

static uint32_t FrontAddress(const DevContext* ctx) {
    return g_frameBuffer + static_cast<uint32_t>(ctx->window.y0) * g_screenPitch +
           static_cast<uint32_t>(ctx->window.x0) * g_bytesPerPixel;
}

static void* Align(void* p, uint32_t to) {
    return reinterpret_cast<void*>((reinterpret_cast<uintptr_t>(p) + (to - 1)) & ~static_cast<uintptr_t>(to - 1));
}

// The descriptors and side records hold addresses as u32 words.
static uint32_t AddressOf(const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }
static void* PointerAt(uint32_t address) { return reinterpret_cast<void*>(static_cast<uintptr_t>(address)); }

// The side record each pool block holds for a descriptor, by block. The
// library owns and fills the context record and nothing promises it comes
// zeroed, so a descriptor's extra word is followed only when the driver put
// that record there itself and has not freed it since.
static const DevBuffer* s_recordOwner[DEV_POOL_BLOCKS];

static int PoolBlockOf(const void* p) {
    uintptr_t at = reinterpret_cast<uintptr_t>(p), start = reinterpret_cast<uintptr_t>(g_blockPool);
    if (at < start || at >= start + sizeof g_blockPool || (at - start) % DEV_POOL_BLOCK_SIZE) return -1;
    return static_cast<int>((at - start) / DEV_POOL_BLOCK_SIZE);
}

static DevBufferExtra* ExtraOf(const DevBuffer* b) {
    int k = PoolBlockOf(b->extra);
    if (k < 0 || s_recordOwner[k] != b || g_blockRuns[k].free) return nullptr;
    return b->extra;
}

static void AttachRecord(DevBuffer* b, DevBufferExtra* rec) {
    int k = PoolBlockOf(rec);
    if (k >= 0) s_recordOwner[k] = b;
    b->extra = rec;
}

static void FreeRecord(DevBufferExtra* rec) {
    int k = PoolBlockOf(rec);
    if (k >= 0) s_recordOwner[k] = nullptr;
    DevRecordFree(rec);
}

void DirectForgetRecords() { memset(s_recordOwner, 0, sizeof s_recordOwner); }

static void FillDescriptor(DevBuffer* b, uint32_t bits, uint16_t width, uint16_t height, uint16_t bitsPerPixel,
                           int16_t pitch, uint16_t flags, DevBufferExtra* extra) {
    b->bits = bits;
    b->width = width;
    b->height = height;
    b->bitsPerPixel = bitsPerPixel;
    b->pitch = pitch;
    b->zero12 = 0;
    b->zero13 = 0;
    b->rows = height;
    b->flags = flags;
    b->zero52[0] = b->zero52[1] = b->zero52[2] = 0;
    b->bitsCopy = bits;
    AttachRecord(b, extra);
}

// Frees the dirty-mask pair that a back record holds and clears the context's view of it.
static void FreeDirtyPair(DevContext* ctx, DevBufferExtra* rec) {
    if (rec) {
        DevGlobalFree(PointerAt(rec->rawDirtyA));
        DevGlobalFree(PointerAt(rec->rawDirtyB));
        rec->rawDirtyA = rec->rawDirtyB = 0;
        rec->alignedDirtyA = rec->alignedDirtyB = 0;
        rec->rows = 0;
    }
    ctx->dirtyA = nullptr;
    ctx->dirtyB = nullptr;
    ctx->dirtyRows = 0;
}

// Makes a fresh pair of rows words each, all ones, for the back record.
static bool MakeDirtyPair(DevContext* ctx, DevBufferExtra* rec, uint32_t rows) {
    uint32_t bytes = 4 * rows + 4;
    void* rawA = DevGlobalAlloc(bytes);
    void* rawB = rawA ? DevGlobalAlloc(bytes) : nullptr;
    if (!rawB) {
        DevGlobalFree(rawA);
        return false;
    }
    uint32_t* a = static_cast<uint32_t*>(Align(rawA, 4));
    uint32_t* b = static_cast<uint32_t*>(Align(rawB, 4));
    rec->rawDirtyA = AddressOf(rawA);
    rec->rawDirtyB = AddressOf(rawB);
    rec->alignedDirtyA = AddressOf(a);
    rec->alignedDirtyB = AddressOf(b);
    rec->rows = rows;
    ctx->dirtyRows = rows;
    ctx->dirtyA = a;
    ctx->dirtyB = b;
    DirtyMarkAll(ctx);
    return true;
}

// Releases everything the driver holds for one buffer and marks a
// driver-filled descriptor invalid, so a second delete finds nothing.
static uint32_t ReleaseBuffer(DevContext* ctx, DevBuffer* b, uint16_t bit) {
    uint32_t freed = (b->flags & DEVBUF_VALID) ? bit : 0;
    DevBufferExtra* rec = ExtraOf(b);
    bool callerMemory = (b->flags & DEVBUF_CALLER_MEMORY) != 0;
    if (rec) {
        if (bit == DEV_BUFFER_BACK) {
            if (!callerMemory) DevGlobalFree(PointerAt(rec->rawBack));
            FreeDirtyPair(ctx, rec);
        } else if (bit == DEV_BUFFER_DEPTH && !callerMemory) {
            DevGlobalFree(PointerAt(rec->rawDepth));
        }
        FreeRecord(rec);
    } else if (bit == DEV_BUFFER_BACK) {
        FreeDirtyPair(ctx, nullptr);  // masks without a record of ours are not ours
    }
    b->extra = nullptr;
    if (!callerMemory && (b->flags & DEVBUF_DRIVER)) {
        b->flags &= static_cast<uint16_t>(~DEVBUF_VALID);
        if (bit != DEV_BUFFER_FRONT) b->bits = b->bitsCopy = 0;
    }
    return freed;
}

// A side record for a descriptor the driver leaves as it is: the one it
// already has (with the memory it owns kept), or a fresh one.
static DevBufferExtra* KeptRecord(DevContext* ctx, DevBuffer* b, bool back) {
    DevBufferExtra* rec = ExtraOf(b);
    if (!rec) {
        if (back) FreeDirtyPair(ctx, nullptr);
        return DevRecordAlloc();
    }
    if (back) FreeDirtyPair(ctx, rec);
    uint32_t rawBack = rec->rawBack, rawDepth = rec->rawDepth;
    if (b->flags & DEVBUF_CALLER_MEMORY) {
        // The library replaced the memory; what the driver allocated before is unreachable.
        DevGlobalFree(PointerAt(back ? rawBack : rawDepth));
        rawBack = rawDepth = 0;
    }
    memset(rec, 0, sizeof *rec);
    if (back)
        rec->rawBack = rawBack;
    else
        rec->rawDepth = rawDepth;
    return rec;
}

void DirectZoomedSize(const DevContext* ctx, uint32_t* wb, uint32_t* hb) {
    uint32_t w = (static_cast<uint32_t>(WindowWidth(ctx)) + 63) & ~63u;
    uint32_t h = static_cast<uint32_t>(WindowHeight(ctx));
    if ((ctx->state & DEV_ZOOM2) && (ctx->zoomY || ctx->zoomX)) {
        uint32_t zx = ctx->zoomX >> 16, zy = ctx->zoomY >> 16;
        if (zx) h /= zx;  // the direct path pairs the factors with the other sides
        if (zy) w /= zy;
    }
    *wb = w;
    *hb = h;
}

uint32_t DirectBufferCreate(DevContext* ctx, uint16_t mask) {
    uint32_t result = 0;
    int32_t winW = WindowWidth(ctx), winH = WindowHeight(ctx);

    if (mask & DEV_BUFFER_FRONT) {
        ReleaseBuffer(ctx, &ctx->front, DEV_BUFFER_FRONT);
        DevBufferExtra* rec = DevRecordAlloc();
        if (!rec) return result;
        rec->originX = static_cast<uint32_t>(ctx->window.x0);
        rec->originY = static_cast<uint32_t>(ctx->window.y0);
        FillDescriptor(&ctx->front, FrontAddress(ctx), static_cast<uint16_t>(winW), static_cast<uint16_t>(winH),
                       static_cast<uint16_t>(g_bitsPerPixel), static_cast<int16_t>(g_screenPitch),
                       DEV_BUFFER_FRONT | DEVBUF_DRIVER | DEVBUF_VALID, rec);
        result = DEV_BUFFER_FRONT;
    }

    if ((mask & DEV_BUFFER_BACK) && !(ctx->back.flags & DEVBUF_CALLER_MEMORY)) {
        ReleaseBuffer(ctx, &ctx->back, DEV_BUFFER_BACK);
        uint32_t wb, hb;
        DirectZoomedSize(ctx, &wb, &hb);
        DevBufferExtra* rec = DevRecordAlloc();
        if (!rec) return result;
        uint64_t bytes = static_cast<uint64_t>(g_bytesPerPixel) * wb * hb + 64;
        // A row the 16-bit pitch cannot step over is not made, as if out of memory.
        bool describable = static_cast<uint64_t>(g_bytesPerPixel) * wb <= 0x7fff;
        void* raw = bytes <= 0x7fffffffu && describable ? DevGlobalAlloc(static_cast<uint32_t>(bytes)) : nullptr;
        if (!raw) {
            FreeRecord(rec);
            return result;
        }
        uint32_t pitch = g_bytesPerPixel * wb;
        rec->rawBack = AddressOf(raw);
        rec->backPitch = pitch;
        if (!MakeDirtyPair(ctx, rec, hb)) {
            DevGlobalFree(raw);
            FreeRecord(rec);
            return result;
        }
        FillDescriptor(&ctx->back, AddressOf(Align(raw, 64)), static_cast<uint16_t>(wb), static_cast<uint16_t>(hb),
                       static_cast<uint16_t>(g_bitsPerPixel), static_cast<int16_t>(pitch),
                       DEV_BUFFER_BACK | DEVBUF_DRIVER | DEVBUF_VALID, rec);
    } else {
        DevBufferExtra* rec = KeptRecord(ctx, &ctx->back, true);
        if (!rec) return result;
        rec->backPitch = g_bytesPerPixel * ctx->back.width;
        // The record stays with the descriptor even without masks: it may
        // hold the back buffer the driver made earlier, which only a delete
        // through this record can free.
        AttachRecord(&ctx->back, rec);
        if (!MakeDirtyPair(ctx, rec, ctx->back.height)) return result;
    }
    result |= DEV_BUFFER_BACK;

    uint32_t wd = (static_cast<uint32_t>(winW) + 63) & ~63u;
    if ((mask & DEV_BUFFER_DEPTH) && !(ctx->depth.flags & DEVBUF_CALLER_MEMORY)) {
        ReleaseBuffer(ctx, &ctx->depth, DEV_BUFFER_DEPTH);
        DevBufferExtra* rec = DevRecordAlloc();
        if (!rec) return result;
        uint64_t bytes = 2 * static_cast<uint64_t>(wd) * static_cast<uint32_t>(winH) + 63;
        void* raw = bytes <= 0x7fffffffu && 2 * static_cast<uint64_t>(wd) <= 0x7fff
                        ? DevGlobalAlloc(static_cast<uint32_t>(bytes))
                        : nullptr;
        if (!raw) {
            FreeRecord(rec);
            return result;
        }
        rec->rawDepth = AddressOf(raw);
        rec->depthPitch = static_cast<uint16_t>(2 * wd);
        FillDescriptor(&ctx->depth, AddressOf(Align(raw, 64)), static_cast<uint16_t>(wd), static_cast<uint16_t>(winH),
                       16, static_cast<int16_t>(2 * wd), DEV_BUFFER_DEPTH | DEVBUF_DRIVER | DEVBUF_VALID, rec);
    } else {
        DevBufferExtra* rec = KeptRecord(ctx, &ctx->depth, false);
        if (!rec) return result;
        rec->depthPitch = static_cast<uint16_t>(2 * ctx->depth.width);
        AttachRecord(&ctx->depth, rec);
    }
    result |= DEV_BUFFER_DEPTH;
    return result;
}

uint32_t DirectBufferDelete(DevContext* ctx, uint16_t mask) {
    uint32_t result = 0;
    if (mask & DEV_BUFFER_FRONT) result |= ReleaseBuffer(ctx, &ctx->front, DEV_BUFFER_FRONT);
    if (mask & DEV_BUFFER_BACK) result |= ReleaseBuffer(ctx, &ctx->back, DEV_BUFFER_BACK);
    if (mask & DEV_BUFFER_DEPTH) result |= ReleaseBuffer(ctx, &ctx->depth, DEV_BUFFER_DEPTH);
    return result;
}

uint32_t DirectBufferResize(DevContext* ctx, uint16_t mask, uint16_t how) {
    uint32_t result = 0;
    if (how & DEV_RESIZE_MOVED) {
        if ((mask & DEV_BUFFER_FRONT) && (ctx->front.flags & DEVBUF_VALID)) {
            ctx->front.bits = ctx->front.bitsCopy = FrontAddress(ctx);
            if (DevBufferExtra* rec = ExtraOf(&ctx->front)) {
                rec->originX = static_cast<uint32_t>(ctx->window.x0);
                rec->originY = static_cast<uint32_t>(ctx->window.y0);
            }
            result = DEV_BUFFER_FRONT;
        }
        if ((mask & DEV_BUFFER_BACK) && (ctx->back.flags & DEVBUF_VALID)) result |= DEV_BUFFER_BACK;
        if ((mask & DEV_BUFFER_DEPTH) && (ctx->depth.flags & DEVBUF_VALID)) result |= DEV_BUFFER_DEPTH;
    }
    if (how & DEV_RESIZE_SIZED) {
        DirectBufferDelete(ctx, mask);
        return DirectBufferCreate(ctx, mask);
    }
    return result;
}

uint32_t DirectBufferNotify(DevContext* ctx, uint16_t mask, uint16_t event) {
    DirtyMarkAll(ctx);
    if (g_dciWin95 && event == DEV_NOTIFY_NEW_SURFACE && (mask & DEV_BUFFER_FRONT) && (ctx->front.flags & DEVBUF_VALID))
        DirectRebuildSurface(ctx);
    return 1;
}
