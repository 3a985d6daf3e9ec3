// The 32-bit family's service routines on the shared block pieces.
#include "bpp32/services32.h"
#include "bpp16/blockwalk.h"

using namespace raster;

namespace {

struct Copy32 {
    void Plain(uint8_t* d, const uint8_t* s, uint32_t n) const { memcpy(d, s, 4 * n); }
    void Double(uint8_t* d, uint8_t* d2, const uint8_t* s, uint32_t n) const {
        for (; n; --n, s += 4, d += 8, d2 += 8) {
            const uint32_t p = Load32(s);
            Store32(d, p);
            Store32(d + 4, p);
            Store32(d2, p);
            Store32(d2 + 4, p);
        }
    }
};

}  // namespace

extern "C" {

uint32_t DEVPROC BPP32_DevSetColor(DevContext* ctx, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t c3,
                                   uint32_t separate, void* out) {
    const SetColorChannels ch(ctx, c0, c1, c2, c3, separate);
    const DevColorShift32& sh = g_colorShift32;
    const uint32_t pixel = ((ch.red >> 16) & 0xff) << (sh.red & 31) | ((ch.green >> 16) & 0xff) << (sh.green & 31) |
                           ((ch.blue >> 16) & 0xff) << (sh.blue & 31);
    if (out) Store32(static_cast<uint8_t*>(out), pixel);
    SetColorMarks(ctx, separate, out);
    return 1;
}

uint32_t DEVPROC BPP32_DevClear(DevContext* ctx, uint32_t what) {
    const uint32_t pixel = Load32(ctx->clearPattern);
    return BlockClear<4>(ctx, what, [=](uint8_t* p, uint32_t n, uint32_t) { StoreWords(p, n, pixel); });
}

uint32_t DEVPROC BPP32_DevPresent(DevContext* ctx) { return BlockPresent<4>(ctx, Copy32()); }

}  // extern "C"

// The forwarders to the library, the same in every family.
#define DEV_FAMILY_NN 32
DEV_FAMILY_FORWARDERS_DEFINE()
