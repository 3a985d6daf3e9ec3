// The 16-bit family's service routines on the shared block pieces.
#include "bpp16/services16.h"
#include "bpp16/blockwalk.h"

using namespace raster;

namespace {

struct Copy16 {
    void Plain(uint8_t* d, const uint8_t* s, uint32_t n) const { memcpy(d, s, 2 * n); }
    // Each pixel p as the word p | p << 16 on both rows.
    void Double(uint8_t* d, uint8_t* d2, const uint8_t* s, uint32_t n) const {
        for (; n; --n, s += 2, d += 4, d2 += 4) {
            uint16_t p;
            memcpy(&p, s, 2);
            const uint32_t v = p | static_cast<uint32_t>(p) << 16;
            Store32(d, v);
            Store32(d2, v);
        }
    }
};

}  // namespace

extern "C" {

uint32_t DEVPROC BPP16_DevSetColor(DevContext* ctx, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t c3,
                                   uint32_t separate, void* out) {
    const SetColorChannels ch(ctx, c0, c1, c2, c3, separate);
    const DevPixelCompose16& f = g_pixelCompose16;
    const uint32_t pixel = ((ch.red & f.redMask) >> (f.redShift & 31)) |
                           ((ch.green & f.greenMask) >> (f.greenShift & 31)) |
                           ((ch.blue & f.blueMask) >> (f.blueShift & 31));
    if (out) Store32(static_cast<uint8_t*>(out), pixel | pixel << 16);
    SetColorMarks(ctx, separate, out);
    return 1;
}

uint32_t DEVPROC BPP16_DevClear(DevContext* ctx, uint32_t what) {
    const uint32_t pattern = Load32(ctx->clearPattern);
    return BlockClear<2>(ctx, what, [=](uint8_t* p, uint32_t n, uint32_t) { Fill16(p, n, pattern); });
}

uint32_t DEVPROC BPP16_DevPresent(DevContext* ctx) { return BlockPresent<2>(ctx, Copy16()); }

}  // extern "C"

// The forwarders to the library, the same in every family.
#define DEV_FAMILY_NN 16
DEV_FAMILY_FORWARDERS_DEFINE()
