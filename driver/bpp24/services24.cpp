// The packed 24-bit family's service routines on the shared block pieces.
#include "bpp24/services24.h"
#include "bpp16/blockwalk.h"

using namespace raster;

namespace {

// Four pixels of the pattern (three words) at a time, then single pixels
// from its first three bytes.
void Fill24(uint8_t* p, uint32_t n, const uint8_t* pattern) {
    const uint32_t w0 = Load32(pattern), w1 = Load32(pattern + 4), w2 = Load32(pattern + 8);
    for (; n >= 4; n -= 4, p += 12) {
        Store32(p, w0);
        Store32(p + 4, w1);
        Store32(p + 8, w2);
    }
    for (; n; --n, p += 3) memcpy(p, pattern, 3);
}

struct Copy24 {
    void Plain(uint8_t* d, const uint8_t* s, uint32_t n) const { memcpy(d, s, 3 * n); }
    // Each three-byte pixel twice on both rows.
    void Double(uint8_t* d, uint8_t* d2, const uint8_t* s, uint32_t n) const {
        for (; n; --n, s += 3, d += 6, d2 += 6) {
            uint8_t two[6] = {s[0], s[1], s[2], s[0], s[1], s[2]};
            memcpy(d, two, 6);
            memcpy(d2, two, 6);
        }
    }
};

}  // namespace

extern "C" {

uint32_t DEVPROC BPP24_DevSetColor(DevContext* ctx, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t c3,
                                   uint32_t separate, void* out) {
    const SetColorChannels ch(ctx, c0, c1, c2, c3, separate);
    const uint32_t v = ((ch.red >> 16) & 0xff) | ((ch.green >> 16) & 0xff) << 8 | ((ch.blue >> 16) & 0xff) << 16;
    uint8_t pixel[3];
    for (int k = 0; k < 3; ++k)
        pixel[k] = static_cast<uint8_t>((v & g_byteMasks24.mask[k]) >> (g_byteMasks24.shift[k] & 31));
    if (out)
        for (int i = 0; i < 4; ++i) memcpy(static_cast<uint8_t*>(out) + 3 * i, pixel, 3);
    SetColorMarks(ctx, separate, out);
    return 1;
}

uint32_t DEVPROC BPP24_DevClear(DevContext* ctx, uint32_t what) {
    uint8_t pattern[12];
    memcpy(pattern, ctx->clearPattern, 12);
    return BlockClear<3>(ctx, what, [&](uint8_t* p, uint32_t n, uint32_t) { Fill24(p, n, pattern); });
}

uint32_t DEVPROC BPP24_DevPresent(DevContext* ctx) { return BlockPresent<3>(ctx, Copy24()); }

}  // extern "C"

// The forwarders to the library, the same in every family.
#define DEV_FAMILY_NN 24
DEV_FAMILY_FORWARDERS_DEFINE()
