// The 8-bit line routines: one walk over the features of a state key, with
// the 8-bit pixel format's colour formation, flattened into each routine.
#include "bpp08/lines08.h"
#include "bpp08/pixel8.h"

namespace raster {

// What a line routine does for a state key; also what the pixel policy
// reads of it.
template <uint32_t Key>
struct LineFeatures {
    static constexpr uint32_t key = Key;
    static constexpr bool smooth = (Key & DEV_SMOOTH) != 0;
    static constexpr bool depth = (Key & DEV_DEPTH) != 0;
    static constexpr bool dither = (Key & DEV_DITHER) != 0;
    static constexpr bool colorIndex = false;
};

// The flat line draws the colour at dither offset 0 whatever the state.
using LineFlatColor = LineFeatures<0>;

// DirtyMask bit of column x: block 31 stands for every block right of it.
inline uint32_t DirtyPixelBit(uint32_t x, unsigned s) {
    uint32_t k = x >> (s & 31);
    return 1u << (k > 31 ? 31 : k);
}

// One step of the walk along an axis: column, row, pixel and depth address.
struct LineStep {
    uint32_t x, y, addr, zAddr;
};

// Both ends drawn; no clipping: the library keeps lines inside the buffer.
template <class P, uint32_t Key>
inline uint32_t DevLineWalk(DevContext* ctx, const DevLineRecord* line) {
    using F = LineFeatures<Key>;
    const typename P::Call pc(ctx);
    const unsigned s = g_dirtyShift & 0xff;
    uint32_t* const dirty = ctx->dirtyA;
    const DevLineVertex& v0 = line->vertex[0];
    const DevLineVertex& v1 = line->vertex[1];

    uint32_t x = Sar(v0.x, 16), y = Sar(v0.y, 16);
    const uint32_t dx = Sar(v1.x, 16) - x, dy = Sar(v1.y, 16) - y;
    const bool left = static_cast<int32_t>(dx) < 0, up = static_cast<int32_t>(dy) < 0;
    const uint32_t adx = left ? 0u - dx : dx, ady = up ? 0u - dy : dy;

    // Addresses are kept as integers: after the last pixel they may point
    // outside the buffer, which a pointer may not.
    const DevBuffer* db = ctx->drawBuffer;
    const uint32_t pitch = static_cast<uint32_t>(static_cast<int32_t>(db->pitch));
    uint32_t addr = db->bits + y * pitch + x;
    uint32_t zPitch = 0, zAddr = 0;
    if constexpr (F::depth) {
        zPitch = static_cast<uint32_t>(static_cast<int32_t>(ctx->depth.pitch));
        zAddr = ctx->depth.bits + y * zPitch + 2 * x;
    }
    const LineStep alongX = {left ? ~0u : 1u, 0, left ? ~0u : 1u, left ? ~1u : 2u};
    const LineStep alongY = {0, up ? ~0u : 1u, up ? 0u - pitch : pitch, up ? 0u - zPitch : zPitch};
    // A 45-degree line runs along x.
    const bool yMajor = ady > adx;
    const LineStep major = yMajor ? alongY : alongX;
    const LineStep minor = yMajor ? alongX : alongY;
    const uint32_t M = yMajor ? ady : adx, m = yMajor ? adx : ady;

    uint32_t z = 0, dz = 0, c0 = 0, c1 = 0, c2 = 0, dc0 = 0, dc1 = 0, dc2 = 0;
    if constexpr (F::depth) {
        z = v0.z;
        dz = v0.zStep;
    }
    if constexpr (F::smooth) {
        c0 = P::template ScaleChannel<F>(0, v0.ch0);
        c1 = P::template ScaleChannel<F>(1, v0.ch1);
        c2 = P::template ScaleChannel<F>(2, v0.ch2);
        dc0 = P::template ScaleChannel<F>(0, v0.ch0Step);
        dc1 = P::template ScaleChannel<F>(1, v0.ch1Step);
        dc2 = P::template ScaleChannel<F>(2, v0.ch2Step);
    }

    uint32_t e = 2 * m - M;
    uint32_t n = M + 1;
    do {
        uint8_t* p = reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(addr));
        bool draw = true;
        uint32_t d = 0;
        uint16_t* zp = nullptr;
        if constexpr (F::depth) {
            zp = reinterpret_cast<uint16_t*>(static_cast<uintptr_t>(zAddr));
            d = (z >> 12) & 0xffff;
            draw = d <= *zp;
        }
        if (draw) {
            dirty[y] |= DirtyPixelBit(x, s);
            if constexpr (F::smooth)
                P::template StoreSmooth<F>(pc, p, c0, c1, c2, x, y);
            else
                P::template StoreFlat<LineFlatColor>(pc, p, x, y);
            if constexpr (F::depth) *zp = static_cast<uint16_t>(d);
        }
        if constexpr (F::depth) z += dz;
        if constexpr (F::smooth) {
            c0 += dc0;
            c1 += dc1;
            c2 += dc2;
        }
        if (static_cast<int32_t>(e) >= 0) {
            x += minor.x;
            y += minor.y;
            addr += minor.addr;
            if constexpr (F::depth) zAddr += minor.zAddr;
            e -= 2 * M;
        }
        x += major.x;
        y += major.y;
        addr += major.addr;
        if constexpr (F::depth) zAddr += major.zAddr;
        e += 2 * m;
    } while (--n != 0);
    return 1;
}

}  // namespace raster

#define BPP08_LINE_DEFINE(sfx, key)                                                            \
    extern "C" __attribute__((flatten))                                                        \
    uint32_t DEVPROC BPP08_DevLine##sfx(DevContext* ctx, DevLineRecord* line, uint32_t pass) { \
        return raster::DevLineWalk<raster::Pixel8, key>(ctx, line);                            \
    }
BPP08_LINE_VARIANTS(BPP08_LINE_DEFINE)

#define BPP08_LINE_ROW(sfx, key) {key, BPP08_DevLine##sfx, "BPP08_DevLine" #sfx},

extern "C" {
const DevLineVariant g_bpp08LineVariants[] = {BPP08_LINE_VARIANTS(BPP08_LINE_ROW)};
}
