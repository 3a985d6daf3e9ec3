// The 8-bit family's service routines on the shared block pieces.
#include "bpp08/services08.h"
#include "bpp16/blockwalk.h"

using namespace raster;

namespace {

// Index in the palette's colour cube of channels already scaled (red by
// 6/8, green and blue by 7/8) with dither offset d.
uint8_t CubeIndex(uint32_t r, uint32_t g, uint32_t b, uint32_t d) {
    const uint32_t i = (((r + d) >> 16) & 0xe0) | (((g + d) >> 19) & 0x1c) | (((b + d) >> 22) & 0x03);
    return static_cast<uint8_t>(i + g_paletteBase);
}

// Every byte at address a takes byte (a & 3) of the pattern word, whichever
// store writes it.
void Fill8(uint8_t* p, uint32_t n, uint32_t w) {
    for (; n && (reinterpret_cast<uintptr_t>(p) & 3); --n, ++p)
        *p = static_cast<uint8_t>(w >> (8 * (reinterpret_cast<uintptr_t>(p) & 3)));
    p = StoreWords(p, n >> 2, w);
    n &= 3;
    for (; n; --n, ++p) *p = static_cast<uint8_t>(w >> (8 * (reinterpret_cast<uintptr_t>(p) & 3)));
}

inline uint16_t Load16(const uint8_t* p) {
    uint16_t v;
    memcpy(&v, p, 2);
    return v;
}

struct Copy8 {
    void Plain(uint8_t* d, const uint8_t* s, uint32_t n) const { memcpy(d, s, n); }
    // Pixel pairs through the doubling table: p0 p1 becomes p0 p0 p1 p1.
    void Double(uint8_t* d, uint8_t* d2, const uint8_t* s, uint32_t n) const {
        for (; n >= 2; n -= 2, s += 2, d += 4, d2 += 4) {
            const uint32_t v = g_double8.pair[Load16(s)];
            Store32(d, v);
            Store32(d2, v);
        }
        if (n) {
            Store16(d, g_double8.single[*s]);
            Store16(d2, g_double8.single[*s]);
        }
    }
};

// The same through the library's tables: pairs at once through the pair
// table, single pixels through the byte table.
struct CopyTranslated8 {
    const uint8_t* t8;
    const uint16_t* t16;
    void Plain(uint8_t* d, const uint8_t* s, uint32_t n) const {
        for (; n >= 2; n -= 2, s += 2, d += 2) Store16(d, t16[Load16(s)]);
        if (n) *d = t8[*s];
    }
    void Double(uint8_t* d, uint8_t* d2, const uint8_t* s, uint32_t n) const {
        for (; n >= 2; n -= 2, s += 2, d += 4, d2 += 4) {
            const uint32_t v = g_double8.pair[t16[Load16(s)]];
            Store32(d, v);
            Store32(d2, v);
        }
        if (n) {
            Store16(d, g_double8.single[t8[*s]]);
            Store16(d2, g_double8.single[t8[*s]]);
        }
    }
};

}  // namespace

extern "C" {

uint32_t DEVPROC BPP08_DevSetColor(DevContext* ctx, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t c3,
                                   uint32_t separate, void* out) {
    uint8_t* o = static_cast<uint8_t*>(out);
    const bool dither = (ctx->state & DEV_DITHER) != 0;
    // The clear reads the odd-row word at +8 whatever the form, so the two
    // patterns get their undithered word there too.
    const bool pattern = out == ctx->fillPattern || out == ctx->clearPattern;
    if (ctx->state & DEV_COLORINDEX) {
        const uint32_t index = c0 & 0xff;
        ctx->color = index;
        if (o && dither) {
            for (uint32_t r = 0; r < 4; ++r)
                for (uint32_t c = 0; c < 8; ++c)
                    o[8 * r + c] = static_cast<uint8_t>(((index << 16) + (((c & 3) ^ ((r & 3) * 2)) << 14)) >> 16);
        } else if (o) {
            memset(o, static_cast<int>(index), 4);
            if (pattern) memset(o + 8, static_cast<int>(index), 4);
        }
    } else {
        const SetColorChannels ch(ctx, c0, c1, c2, c3, separate);
        const uint32_t r = (ch.red * 6) >> 3, g = (ch.green * 7) >> 3, b = (ch.blue * 7) >> 3;
        if (o && dither) {
            for (uint32_t row = 0; row < 2; ++row)
                for (uint32_t c = 0; c < 4; ++c)
                    o[8 * row + c] = CubeIndex(r, g, b, ((c << 19) ^ (row << 20)) & 0x180000);
        } else if (o) {
            const uint8_t index = CubeIndex(r, g, b, 0);
            memset(o, index, 4);
            if (pattern) memset(o + 8, index, 4);
        }
    }
    SetColorMarks(ctx, separate, out);
    return 1;
}

uint32_t DEVPROC BPP08_DevClear(DevContext* ctx, uint32_t what) {
    const uint32_t even = Load32(ctx->clearPattern), odd = Load32(ctx->clearPattern + 8);
    return BlockClear<1>(ctx, what, [=](uint8_t* p, uint32_t n, uint32_t y) { Fill8(p, n, y & 1 ? odd : even); });
}

uint32_t DEVPROC BPP08_DevPresent(DevContext* ctx) { return BlockPresent<1>(ctx, Copy8()); }

uint32_t DEVPROC BPP08_DevPresentTranslated(DevContext* ctx) {
    if (!ctx->translate8 || !ctx->translate16) return BlockPresent<1>(ctx, Copy8());
    return BlockPresent<1>(ctx, CopyTranslated8{ctx->translate8, ctx->translate16});
}

}  // extern "C"

// The forwarders to the library, the same in every family.
#define DEV_FAMILY_NN 08
DEV_FAMILY_FORWARDERS_DEFINE()
