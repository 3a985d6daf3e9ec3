#include "reference.h"

#include <stdint.h>
#include <string.h>

namespace {

// Integer column of a 16.16 value: floor(v / 65536) of the signed value.
int64_t Column(uint32_t v) {
    int64_t s = static_cast<int32_t>(v);
    int64_t q = s / 65536;
    if (s % 65536 < 0) q -= 1;
    return q;
}

// floor(v / 8) of the signed 32-bit value v.
uint32_t FloorDiv8(uint32_t v) {
    int64_t s = static_cast<int32_t>(v);
    int64_t q = s / 8;
    if (s % 8 < 0) q -= 1;
    return static_cast<uint32_t>(q);
}

struct Attr {
    uint32_t value;  // at the left end of the current row
    uint32_t dx;     // per pixel
    uint32_t dy;     // per row at fixed x
};

struct Flags {
    bool smooth, depth, dither, index;
};

// The left side of the walk: position, attributes, and how they move.
struct LeftSide {
    const DevTrapEdge* rec;
    uint32_t x;
    int64_t k;
    Attr z;
    Attr ch[3];
    uint32_t exactZRow;  // flat depth: per-row change of z
};

uint32_t Scale(uint32_t v, uint32_t times, bool index) {
    return index ? v : FloorDiv8(v * times);
}

void LoadLeft(LeftSide& l, const DevTrapEdge* rec, const DevTrapGradients* g, const Flags& f) {
    l.rec = rec;
    l.x = rec->x;
    l.k = Column(rec->dxdy);
    if (f.depth) {
        l.z = {rec->z, g->dzdx, g->dzdy};
        int64_t product = static_cast<int64_t>(static_cast<int32_t>(g->dzdx)) *
                          static_cast<int64_t>(static_cast<int32_t>(rec->dxdy));
        uint64_t bits = static_cast<uint64_t>(product);
        l.exactZRow = static_cast<uint32_t>((bits / 65536) & 0xffffffffu) + g->dzdy;
    }
    if (f.smooth) {
        const uint32_t v[3] = {rec->ch0, rec->ch1, rec->ch2};
        const uint32_t dx[3] = {g->dch0dx, g->dch1dx, g->dch2dx};
        const uint32_t dy[3] = {g->dch0dy, g->dch1dy, g->dch2dy};
        const uint32_t times[3] = {6, 7, 7};
        for (int i = 0; i < 3; ++i)
            l.ch[i] = {Scale(v[i], times[i], f.index), Scale(dx[i], times[i], f.index),
                       Scale(dy[i], times[i], f.index)};
    }
}

// One row down: the value at the new first pixel is the old one, plus one
// row straight down, plus one per-pixel step for every column the integer
// edge moved; the edge moves k or k + 1, and anything but k counts as k + 1.
void StepAttr(Attr& a, int64_t k, bool movedExtra) {
    a.value += static_cast<uint32_t>(k) * a.dx + a.dy;
    if (movedExtra) a.value += a.dx;
}

uint8_t ByteOf(uint32_t word, uint32_t i) { return static_cast<uint8_t>((word >> (8 * i)) & 0xff); }

uint32_t Word(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void MarkDirty(uint32_t* dirty, uint32_t y, int64_t xl, int64_t xr, uint32_t shift) {
    const uint32_t s = shift & 0xff;
    int64_t first = xl >> s, last = xr >> s;
    if (first > 31) first = 31;
    if (last > 31) last = 31;
    for (int64_t b = first; b <= last; ++b) dirty[y] |= 1u << b;
}

void DrawRow(const Flags& f, DevContext* ctx, const LeftSide& l, int64_t xl, int64_t xr,
             uint32_t y, const DevTrapGradients* g) {
    const DevBuffer* db = ctx->drawBuffer;
    uint8_t* rowp = reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(db->bits)) +
                    static_cast<int64_t>(static_cast<int32_t>(y)) * db->pitch;
    uint16_t* zrow = nullptr;
    if (f.depth)
        zrow = reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(ctx->depth.bits)) +
                                           static_cast<int64_t>(static_cast<int32_t>(y)) * ctx->depth.pitch);
    const uint32_t pattern = Word(ctx->fillPattern + (f.dither && (y % 2) ? 8 : 0));
    const uint32_t base = g_paletteBase & 0xff;

    // Flat fill without depth: which pixels a word store writes.
    const int64_t n = xr - xl;
    const uintptr_t firstAddr = reinterpret_cast<uintptr_t>(rowp + xl);
    int64_t head = (4 - static_cast<int64_t>(firstAddr % 4)) % 4;
    if (head > n) head = n;
    const int64_t wordPixels = (n - head) / 4 * 4;

    for (int64_t i = 0; i < n; ++i) {
        const int64_t x = xl + i;
        uint8_t* p = rowp + x;
        const uint32_t at = static_cast<uint32_t>(i);
        if (f.depth) {
            uint32_t z = l.z.value + at * l.z.dx;
            uint32_t d = (z / 4096) % 65536;
            if (d > zrow[x]) continue;
            zrow[x] = static_cast<uint16_t>(d);
        }
        const uint32_t addrMod4 = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p) % 4);
        const uint32_t column = static_cast<uint32_t>(x) % 4;
        if (!f.smooth) {
            if (f.depth)
                *p = f.dither ? ByteOf(pattern, column) : ByteOf(pattern, 0);
            else if (i >= head && i < head + wordPixels)
                *p = ByteOf(pattern, addrMod4);
            else
                *p = f.dither ? ByteOf(pattern, addrMod4) : ByteOf(pattern, 0);
        } else if (f.index) {
            uint32_t c = l.ch[0].value + at * l.ch[0].dx;
            uint32_t e = f.dither ? (column ^ (2 * (y % 4))) * 0x4000 : 0;
            *p = static_cast<uint8_t>(((c + e) >> 16) & 0xff);
        } else {
            uint32_t d = f.dither ? (column ^ (2 * (y % 2))) * 0x80000 : 0;
            uint32_t c[3];
            for (int j = 0; j < 3; ++j) c[j] = l.ch[j].value + at * l.ch[j].dx + d;
            uint32_t red = (c[0] >> 21) & 7, green = (c[1] >> 21) & 7, blue = (c[2] >> 22) & 3;
            *p = static_cast<uint8_t>((red << 5 | green << 2 | blue) + base);
        }
    }
}

}  // namespace

uint32_t RefTrapezoids8(uint32_t key, DevContext* ctx, const DevTrapEdge* left,
                        const DevTrapEdge* right, const DevTrapGradients* g) {
    const Flags f = {(key & 0x1) != 0, (key & 0x8) != 0, (key & 0x1000) != 0, (key & 0x100000) != 0};
    uint32_t y = static_cast<uint32_t>(Column(left->y));
    LeftSide l;
    LoadLeft(l, left, g, f);
    int32_t nl = left->rowCount;
    const DevTrapEdge* r = right;
    uint32_t xr = r->x;
    int32_t nr = r->rowCount;

    for (;;) {
        while (nl > 0 && nr > 0) {
            const int64_t xli = Column(l.x), xri = Column(xr);
            if (xri > xli) {
                MarkDirty(ctx->dirtyA, y, xli, xri, g_dirtyShift);
                DrawRow(f, ctx, l, xli, xri, y, g);
            }
            const uint32_t newX = l.x + l.rec->dxdy;
            const bool extra = Column(newX) - xli != l.k;
            if (f.depth) {
                if (f.smooth)
                    StepAttr(l.z, l.k, extra);
                else
                    l.z.value += l.exactZRow;
            }
            if (f.smooth)
                for (int j = 0; j < 3; ++j) StepAttr(l.ch[j], l.k, extra);
            l.x = newX;
            xr += r->dxdy;
            ++y;
            --nl;
            --nr;
        }
        if (nl == 0 && nr == 0) return 1;
        if (nr == 0) {
            ++r;
            xr = r->x;
            nr = r->rowCount;
        }
        if (nl == 0) {
            LoadLeft(l, l.rec + 1, g, f);
            nl = l.rec->rowCount;
        }
    }
}
