// Block pool for the driver's small records, and global memory for buffers.
#include "frame/services.h"

#include <string.h>

extern "C" {
alignas(16) uint8_t g_blockPool[DEV_POOL_BLOCKS * DEV_POOL_BLOCK_SIZE];
DevBlockRun g_blockRuns[DEV_POOL_BLOCKS];
}

namespace {
// The run table is all zero at load; a zero length would stall the search,
// so a pool used before DevMemoryInit starts as one free run.
bool s_poolReady;

void EnsurePool() {
    if (!s_poolReady) DevMemoryInit();
}

void MarkRun(uint32_t first, uint32_t n, uint16_t free) {
    for (uint32_t j = 0; j < n; ++j) {
        g_blockRuns[first + j].length = static_cast<uint16_t>(n - j);
        g_blockRuns[first + j].free = free;
    }
}
}  // namespace

extern "C" {

void DevMemoryInit(void) {
    for (uint32_t b = 0; b < DEV_POOL_BLOCKS; ++b) {
        g_blockRuns[b].length = static_cast<uint16_t>(DEV_POOL_BLOCKS - b);
        g_blockRuns[b].free = 1;
    }
    s_poolReady = true;
}

void* VnrDevMalloc(uint32_t size) {
    EnsurePool();
    uint32_t n = (size >> 8) + ((size & 0xff) ? 1 : 0);
    uint32_t b = 0;
    while (b < DEV_POOL_BLOCKS) {
        if (n <= g_blockRuns[b].length && g_blockRuns[b].free == 1) break;
        b += g_blockRuns[b].length;
    }
    if (b >= DEV_POOL_BLOCKS) {
        DevMessageBox(nullptr, "VXN: Low on memory, unable to proceed", "VXN", MB_ICONHAND);
        return nullptr;
    }
    MarkRun(b, n, 0);
    uint8_t* p = g_blockPool + b * DEV_POOL_BLOCK_SIZE;
    memset(p, 0, size);
    return p;
}

void VnrDevFree(void* p) {
    uintptr_t at = reinterpret_cast<uintptr_t>(p);
    uintptr_t start = reinterpret_cast<uintptr_t>(g_blockPool);
    if (at < start || at >= start + sizeof g_blockPool) return;
    EnsurePool();
    uint32_t b = static_cast<uint32_t>((at - start) / DEV_POOL_BLOCK_SIZE);
    MarkRun(b, g_blockRuns[b].length, 1);
}

DevBufferExtra* DevRecordAlloc(void) { return static_cast<DevBufferExtra*>(VnrDevMalloc(sizeof(DevBufferExtra))); }

void DevRecordFree(void* p) { VnrDevFree(p); }

void* DevGlobalAlloc(uint32_t size) {
    HGLOBAL h = nullptr;
    // A size within 4 bytes of 4 GB would wrap the handle word's room.
    if (size <= 0xffffffffu - 4) h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, size + 4);
    void* locked = h ? GlobalLock(h) : nullptr;
    if (!locked) {
        if (h) GlobalFree(h);
        DevMessageBox(nullptr, "DevGlobalAlloc() failed", "VXN", MB_ICONHAND);
        return nullptr;
    }
    *static_cast<HGLOBAL*>(locked) = h;
    return static_cast<uint8_t*>(locked) + 4;
}

void DevGlobalFree(void* p) {
    if (!p) return;
    HGLOBAL h = *reinterpret_cast<HGLOBAL*>(static_cast<uint8_t*>(p) - 4);
    GlobalUnlock(h);
    GlobalFree(h);
}

}  // extern "C"
