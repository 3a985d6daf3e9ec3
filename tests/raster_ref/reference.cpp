#include "reference.h"

#include <stdint.h>
#include <string.h>

namespace {

// floor(v / 2^n) of the signed 32-bit value v, kept to 32 bits: an
// arithmetic shift, spelled out.
uint32_t FloorShift(uint32_t v, int n) {
    const int64_t s = static_cast<int32_t>(v);
    const int64_t d = int64_t{1} << n;
    int64_t q = s / d;
    if (s % d < 0) q -= 1;
    return static_cast<uint32_t>(q);
}

// Integer column of a 16.16 value: floor(v / 65536) of the signed value.
int64_t Column(uint32_t v) { return static_cast<int32_t>(FloorShift(v, 16)); }

// A value that follows the first pixel of each row: per row it adds
// k * dx + dy (the row straight down plus k columns), and dx once more on
// rows where the integer edge moved k + 1 columns.
struct KLane {
    uint32_t value = 0, dx = 0, rowStep = 0;
    bool exactEdge = false;  // flat depth: rowStep follows the exact edge, no k + 1 step
};

KLane LoadK(uint32_t value, uint32_t dx, uint32_t dy, int64_t k) {
    KLane a;
    a.value = value;
    a.dx = dx;
    a.rowStep = static_cast<uint32_t>(k) * dx + dy;
    return a;
}

void StepK(KLane& a, bool movedKPlus1) {
    a.value += a.rowStep;
    if (movedKPlus1 && !a.exactEdge) a.value += a.dx;
}

// An affine texture coordinate: per row it adds (dx >> 16) * dxdy + dy,
// following the exact edge, with no k + 1 step.
struct AffineLane {
    uint32_t value = 0, dx = 0, rowStep = 0;
};

AffineLane LoadAffine(uint32_t value, uint32_t dx, uint32_t dy, uint32_t dxdy) {
    AffineLane a;
    a.value = value;
    a.dx = dx;
    a.rowStep = FloorShift(dx, 16) * dxdy + dy;
    return a;
}

// A perspective texture coordinate by forward differences: the value at
// the row's first pixel (L), its per-pixel difference (dL) and per-row
// difference (eL) there, and the trapezoid's second differences A, B, C.
struct QuadLane {
    uint32_t L = 0, dL = 0, eL = 0;
    uint32_t A = 0, B = 0, C = 0;
    uint32_t k = 0, kA = 0, kB = 0, H = 0;
};

QuadLane LoadQuad(uint32_t value, uint32_t stepX, uint32_t stepY, uint32_t A, uint32_t B, uint32_t C, int64_t k) {
    QuadLane q;
    q.L = value;
    q.dL = stepX;
    q.eL = stepY;
    q.A = A;
    q.B = B;
    q.C = C;
    q.k = static_cast<uint32_t>(k);
    q.kA = q.k * A;
    q.kB = q.k * B;
    q.H = FloorShift(q.kA - A, 1);
    return q;
}

// After a row, in the stated order.
void StepQuad(QuadLane& q, bool movedKPlus1) {
    q.dL += q.B;
    q.L += (q.H + q.dL) * q.k + q.eL;
    q.dL += q.kA;
    q.eL += q.C + q.kB;
    if (movedKPlus1) {
        q.L += q.dL;
        q.dL += q.A;
        q.eL += q.B;
    }
}

bool Is8Bit(const RefFormat& fmt) { return fmt.bytesPerPixel == 1; }

// Which channels the routine steps: Gouraud colour or a smooth light.
bool SteppedChannels(const RefFeatures& f) {
    if (f.texture == RefFeatures::kUntextured) return f.smooth;
    return f.light == RefFeatures::kLightMRSmooth || f.light == RefFeatures::kLightMM ||
           f.light == RefFeatures::kLightMS;
}

// The 8-bit RGB smooth routines step 6/8 of red and 7/8 of green and blue.
uint32_t Scaled(uint32_t v, uint32_t times) { return FloorShift(v * times, 3); }

struct Left {
    const DevTrapEdge* rec = nullptr;
    uint32_t x = 0;
    int64_t k = 0;
    KLane z;
    KLane ch[3];
    AffineLane au, av;
    QuadLane pu, pv;
};

void LoadLeft(Left& l, const DevTrapEdge* rec, const DevTrapGradients* g, const RefFeatures& f,
              const RefFormat& fmt) {
    l.rec = rec;
    l.x = rec->x;
    l.k = Column(rec->dxdy);
    if (f.depth) {
        l.z = LoadK(rec->z, g->dzdx, g->dzdy, l.k);
        if (f.texture == RefFeatures::kUntextured && !f.smooth) {
            // Bits 16..47 of the signed 64-bit product, plus the row term.
            const int64_t product = static_cast<int64_t>(static_cast<int32_t>(g->dzdx)) *
                                    static_cast<int64_t>(static_cast<int32_t>(rec->dxdy));
            l.z.rowStep = static_cast<uint32_t>(static_cast<uint64_t>(product) >> 16) + g->dzdy;
            l.z.exactEdge = true;
        }
    }
    if (SteppedChannels(f)) {
        uint32_t v[3] = {rec->ch0, rec->ch1, rec->ch2};
        uint32_t dx[3] = {g->dch0dx, g->dch1dx, g->dch2dx};
        uint32_t dy[3] = {g->dch0dy, g->dch1dy, g->dch2dy};
        if (Is8Bit(fmt) && f.texture == RefFeatures::kUntextured && !f.index) {
            const uint32_t times[3] = {6, 7, 7};
            for (int c = 0; c < 3; ++c) {
                v[c] = Scaled(v[c], times[c]);
                dx[c] = Scaled(dx[c], times[c]);
                dy[c] = Scaled(dy[c], times[c]);
            }
        }
        for (int c = 0; c < 3; ++c) l.ch[c] = LoadK(v[c], dx[c], dy[c], l.k);
    }
    if (f.texture == RefFeatures::kAffine) {
        l.au = LoadAffine(rec->u, g->dudx, g->dudy, rec->dxdy);
        l.av = LoadAffine(rec->v, g->dvdx, g->dvdy, rec->dxdy);
    } else if (f.texture == RefFeatures::kPerspective) {
        l.pu = LoadQuad(rec->u, rec->uStepX, rec->uStepY, g->d2udx2, g->d2udxdy, g->d2udy2, l.k);
        l.pv = LoadQuad(rec->v, rec->vStepX, rec->vStepY, g->d2vdx2, g->d2vdxdy, g->d2vdy2, l.k);
    }
}

void StepLeft(Left& l, const RefFeatures& f, bool movedKPlus1) {
    if (f.depth) StepK(l.z, movedKPlus1);
    if (SteppedChannels(f))
        for (int c = 0; c < 3; ++c) StepK(l.ch[c], movedKPlus1);
    if (f.texture == RefFeatures::kAffine) {
        l.au.value += l.au.rowStep;
        l.av.value += l.av.rowStep;
    } else if (f.texture == RefFeatures::kPerspective) {
        StepQuad(l.pu, movedKPlus1);
        StepQuad(l.pv, movedKPlus1);
    }
}

// DirtyMask A: blocks xl >> s to xr >> s, both ends limited to 31.
void MarkDirty(uint32_t* dirty, uint32_t y, int64_t xl, int64_t xr) {
    const uint32_t s = g_dirtyShift & 0xff;
    int64_t first = static_cast<int64_t>(static_cast<uint64_t>(xl) >> s);
    int64_t last = static_cast<int64_t>(static_cast<uint64_t>(xr) >> s);
    if (first > 31) first = 31;
    if (last > 31) last = 31;
    for (int64_t b = first; b <= last; ++b) dirty[y] |= 1u << b;
}

uint32_t Field(uint32_t t, int c) { return (t >> (5 * c)) & 31; }

// Dither step 0..3 of column x on buffer row y: (x mod 4) XOR 2 * (y mod 2).
uint32_t DitherStep(uint32_t x, uint32_t y) { return (x % 4) ^ (2 * (y % 2)); }

uint32_t Floor(uint32_t num, uint32_t den) { return num / den; }

struct Bytes {
    uint8_t b[4] = {0, 0, 0, 0};
};

Bytes BytesOf(uint32_t value) {
    Bytes r;
    for (int i = 0; i < 4; ++i) r.b[i] = static_cast<uint8_t>(value >> (8 * i));
    return r;
}

// The bytes a flat fill gives pixel i of a span of n pixels whose first
// pixel lies at address a, by which store writes it.
Bytes FlatFillPixel(const RefFormat& fmt, const uint8_t* P, uint32_t i, uint32_t n, uintptr_t a, bool dither,
                    uint32_t y) {
    Bytes r;
    switch (fmt.bytesPerPixel) {
    case 1: {
        // Single bytes up to a 4-byte boundary, then words of the pattern
        // (groups of 16, then of 4), then single bytes. With dither the
        // pattern is the row word of the row's parity, and every byte is
        // the word's byte of its address.
        const uint8_t* W = P + (dither && (y % 2) ? 8 : 0);
        const uint32_t head = static_cast<uint32_t>((4 - a % 4) % 4) < n ? static_cast<uint32_t>((4 - a % 4) % 4) : n;
        const uint32_t words = (n - head) / 4 * 4;
        const uint32_t at = static_cast<uint32_t>((a + i) % 4);
        r.b[0] = (i >= head && i < head + words) || dither ? W[at] : W[0];
        return r;
    }
    case 2: {
        // One single pixel when a is not 4-aligned, then words holding two
        // pixels (low half first), then single pixels of the low half.
        const uint32_t head = (a % 4 != 0 && n > 0) ? 1 : 0;
        const uint32_t words = (n - head) / 4 * 4;
        const bool high = i >= head && i < head + words && (i - head) % 2 == 1;
        r.b[0] = P[high ? 2 : 0];
        r.b[1] = P[high ? 3 : 1];
        return r;
    }
    case 3: {
        // Single pixels b0 b1 b2 until the address is 4-aligned, groups of
        // 12 pixels (the 12 pattern bytes three times), groups of 3 (pattern
        // bytes 0..7 and b2), single pixels.
        uint32_t head = 0;
        while (head < n && (a + 3 * head) % 4 != 0) ++head;
        const uint32_t rest = n - head;
        const uint32_t g12 = rest / 12 * 12;
        const uint32_t g3 = (rest - g12) / 3 * 3;
        for (int j = 0; j < 3; ++j) {
            if (i < head || i >= head + g12 + g3) {
                r.b[j] = P[j];
            } else if (i < head + g12) {
                r.b[j] = P[(3 * (i - head) + j) % 12];
            } else {
                const uint32_t o = 3 * ((i - head - g12) % 3) + j;
                r.b[j] = o < 8 ? P[o] : P[2];
            }
        }
        return r;
    }
    default:
        memcpy(r.b, P, 4);
        return r;
    }
}

// Flat colour of a depth-tested pixel at column x of row y.
Bytes FlatPixel(const RefFormat& fmt, const uint8_t* P, bool dither, uint32_t x, uint32_t y) {
    Bytes r;
    if (fmt.bytesPerPixel == 1) {
        const uint8_t* W = P + (dither && (y % 2) ? 8 : 0);
        r.b[0] = dither ? W[x % 4] : W[0];
        return r;
    }
    memcpy(r.b, P, fmt.bytesPerPixel);
    return r;
}

// 8-bit colour cube index of three scaled channels, dithered or not.
uint8_t Cube8(const uint32_t c[3], bool dither, uint32_t x, uint32_t y) {
    const uint32_t d = dither ? DitherStep(x, y) * 0x80000 : 0;  // 8.0 per step
    const uint32_t red = ((c[0] + d) >> 21) & 7;                 // one level per 32.0
    const uint32_t green = ((c[1] + d) >> 21) & 7;
    const uint32_t blue = ((c[2] + d) >> 22) & 3;  // one level per 64.0
    return static_cast<uint8_t>((red << 5 | green << 2 | blue) + (g_paletteBase & 0xff));
}

// 8-bit colour index: channel 0's integer part, with a quarter-step dither.
uint8_t Index8(uint32_t c0, bool dither, uint32_t x, uint32_t y) {
    const uint32_t e = dither ? ((x % 4) ^ (2 * (y % 4))) * 0x4000 : 0;
    return static_cast<uint8_t>((c0 + e) >> 16);
}

uint32_t FetchTexel(const DevTexture* t, uint32_t u, uint32_t v, uint32_t texelBytes) {
    const uint32_t address =
        static_cast<uint32_t>(reinterpret_cast<uintptr_t>(t->texels)) + RefTexelIndex(t, u, v) * texelBytes;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(address));
    return texelBytes == 1 ? p[0] : p[0] | p[1] << 8;
}

uint8_t* RowAddress(const DevBuffer* b, uint32_t y) {
    const uint32_t address = b->bits + y * static_cast<uint32_t>(static_cast<int32_t>(b->pitch));
    return reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(address));
}

void DrawSpan(const RefFeatures& f, const RefFormat& fmt, DevContext* ctx, const Left& l, int64_t xl, int64_t xr,
              uint32_t y) {
    const uint32_t bpp = fmt.bytesPerPixel;
    uint8_t* row = RowAddress(ctx->drawBuffer, y);
    uint16_t* zrow = f.depth ? reinterpret_cast<uint16_t*>(RowAddress(&ctx->depth, y)) : nullptr;
    const uint32_t n = static_cast<uint32_t>(xr - xl);
    const uintptr_t first = reinterpret_cast<uintptr_t>(row + xl * bpp);
    const uint32_t texelBytes = f.index ? 1 : 2;

    uint32_t z = l.z.value;
    uint32_t ch[3] = {l.ch[0].value, l.ch[1].value, l.ch[2].value};
    uint32_t u = 0, v = 0, du = 0, dv = 0;
    if (f.texture == RefFeatures::kAffine) {
        u = l.au.value;
        v = l.av.value;
    } else if (f.texture == RefFeatures::kPerspective) {
        u = l.pu.L;
        v = l.pv.L;
        du = l.pu.dL;
        dv = l.pv.dL;
    }

    for (uint32_t i = 0; i < n; ++i) {
        const int64_t x = xl + i;
        const uint32_t ux = static_cast<uint32_t>(x);
        bool draw = true;
        uint32_t texel = 0;
        if (f.texture != RefFeatures::kUntextured) {
            texel = FetchTexel(ctx->texture, u, v, texelBytes);
            if (f.colorKey && texel == ctx->colorKey) draw = false;
        }
        const uint32_t d = (z >> 12) & 0xffff;
        if (draw && f.depth && d > zrow[x]) draw = false;

        if (draw) {
            Bytes px;
            if (f.texture == RefFeatures::kUntextured) {
                if (!f.smooth && !f.depth)
                    px = FlatFillPixel(fmt, ctx->fillPattern, i, n, first, f.dither, y);
                else if (!f.smooth)
                    px = FlatPixel(fmt, ctx->fillPattern, f.dither, ux, y);
                else if (Is8Bit(fmt) && f.index)
                    px.b[0] = Index8(ch[0], f.dither, ux, y);
                else if (Is8Bit(fmt))
                    px.b[0] = Cube8(ch, f.dither, ux, y);
                else
                    px = BytesOf(RefChannelPixel(fmt, ch[0], ch[1], ch[2]));
            } else if (f.index) {
                px.b[0] = static_cast<uint8_t>(texel);  // the index itself; D changes nothing
            } else {
                const uint32_t lit = RefLitWord(f.light, texel, ch, ctx->color);
                if (Is8Bit(fmt))
                    px.b[0] = RefTexel8(lit, f.dither && f.light != RefFeatures::kLightMRFlat, ux, y, g_paletteBase);
                else
                    px = BytesOf(RefTexelPixel(fmt, lit));
            }
            memcpy(row + x * bpp, px.b, bpp);
            if (f.depth) zrow[x] = static_cast<uint16_t>(d);
        }

        // Every value steps, drawn or not.
        z += l.z.dx;
        for (int c = 0; c < 3; ++c) ch[c] += l.ch[c].dx;
        if (f.texture == RefFeatures::kAffine) {
            u += l.au.dx;
            v += l.av.dx;
        } else if (f.texture == RefFeatures::kPerspective) {
            u += du;
            v += dv;
            du += l.pu.A;
            dv += l.pv.A;
        }
    }
}

}  // namespace

uint32_t RefTexelIndex(const DevTexture* t, uint32_t u, uint32_t v) {
    const uint32_t a = t->rowShift % 32, b = t->rowShift2 % 32;
    switch (t->addressMode) {
    case TEXADDR_POW2: {
        const uint32_t column = (u & t->uMask) >> 21, row = (v & t->vMask) >> 21;
        return (row << a) + column;
    }
    case TEXADDR_POW2_SUM: {
        const uint32_t column = (u & t->uMask) >> 21, row = (v & t->vMask) >> 21;
        return row * ((1u << a) + (1u << b)) + column;
    }
    default: {  // scaled: the fractions of u and v across the texture
        const uint32_t column = ((u & 0x1fffff) * t->width) >> 21;
        const uint32_t row = ((v & 0x1fffff) * t->height) >> 21;
        return row * t->width + column;
    }
    }
}

uint32_t RefLitWord(RefFeatures::Light light, uint32_t t, const uint32_t ch[3], uint32_t color) {
    uint32_t out[3];
    switch (light) {
    case RefFeatures::kUnlit:
        return t;
    case RefFeatures::kLightMRFlat:
    case RefFeatures::kLightMRSmooth:
        // Subtract 31 - (light level >> 3) from each channel, floored at 0.
        for (int c = 0; c < 3; ++c) {
            const uint32_t level = light == RefFeatures::kLightMRFlat ? (color >> (8 * c)) & 0xff : (ch[c] >> 16) & 0xff;
            const uint32_t amount = 31 - (level >> 3);
            out[c] = Field(t, c) >= amount ? Field(t, c) - amount : 0;
        }
        return out[0] | out[1] << 5 | out[2] << 10;
    case RefFeatures::kLightMM: {
        // Signed product of channel and intensity, its bits 24 and up;
        // the results are OR-ed unmasked.
        uint32_t w = 0;
        for (int c = 0; c < 3; ++c) {
            const uint32_t p = Field(t, c) * ch[0];  // low 32 bits of the signed product
            w |= FloorShift(p, 24) << (5 * c);
        }
        return w & 0xffff;
    }
    case RefFeatures::kLightMS:
        // ((channel * intensity) >> 5) + additive term, all unsigned 32-bit,
        // limited to 0xffffff, then its top five bits.
        for (int c = 0; c < 3; ++c) {
            uint32_t s = ((Field(t, c) * ch[0]) >> 5) + ch[1];
            if (s >= 0x1000000) s = 0xffffff;
            out[c] = s >> 19;
        }
        return out[0] | out[1] << 5 | out[2] << 10;
    }
    return t;
}

uint8_t RefTexel8(uint32_t t, bool dither, uint32_t x, uint32_t y, uint32_t paletteBase) {
    const uint32_t r = Field(t, 0), g = Field(t, 1), b = Field(t, 2);
    uint32_t red, green, blue;  // levels: red at bit 5, green at bit 2, blue at bit 0
    if (!dither) {
        red = 2 * (r >> 3);  // the top two bits of red: levels 0, 2, 4, 6
        green = g >> 2;      // the top three bits of green
        blue = b >> 3;       // the top two bits of blue
    } else {
        const uint32_t k = DitherStep(x, y);
        red = Floor(6 * (r + k), 32);
        green = Floor(7 * (g + k), 32);
        blue = Floor(7 * (b + k), 64);
    }
    return static_cast<uint8_t>((red << 5 | green << 2 | blue) + (paletteBase & 0xff));
}

uint32_t RefTexelPixel(const RefFormat& fmt, uint32_t w) {
    const uint32_t masks[3] = {fmt.redMask, fmt.greenMask, fmt.blueMask};
    uint32_t pixel = 0;
    for (int c = 0; c < 3; ++c) {
        const uint32_t channel = Field(w, c);
        const uint32_t low = RefLowBit(masks[c]);
        if (fmt.bytesPerPixel == 2) {
            // The five bits fill the device field from its top; a wider
            // field gets zeros below them, a narrower one keeps the top bits.
            const uint32_t width = RefFieldWidth(masks[c]);
            const uint32_t placed = width >= 5 ? channel << (width - 5) : channel >> (5 - width);
            pixel |= placed << low;
        } else {
            pixel |= (8 * channel) << low;  // 8 bits a component, low three zero
        }
    }
    return fmt.bytesPerPixel == 2 ? pixel & 0xffff : pixel;
}

uint32_t RefChannelPixel(const RefFormat& fmt, uint32_t ch0, uint32_t ch1, uint32_t ch2) {
    const uint32_t masks[3] = {fmt.redMask, fmt.greenMask, fmt.blueMask};
    const uint32_t maxima[3] = {fmt.redMax, fmt.greenMax, fmt.blueMax};
    const uint32_t level[3] = {(ch0 >> 16) & 0xff, (ch1 >> 16) & 0xff, (ch2 >> 16) & 0xff};  // no clamp
    uint32_t pixel = 0;
    for (int c = 0; c < 3; ++c) {
        const uint32_t low = RefLowBit(masks[c]);
        if (fmt.bytesPerPixel == 2) {
            // The top n bits of the level, n the channel's bits by its maximum.
            uint32_t n = 0;
            while (n < 8 && (maxima[c] & (1u << n))) ++n;
            pixel |= (level[c] >> (8 - n)) << low;
        } else {
            pixel |= level[c] << low;
        }
    }
    return fmt.bytesPerPixel == 2 ? pixel & 0xffff : pixel;
}

bool RefDecode(uint32_t key, uint8_t lightMode, RefFeatures* out) {
    RefFeatures f;
    f.depth = (key & DEV_DEPTH) != 0;
    f.dither = (key & DEV_DITHER) != 0;
    f.index = (key & DEV_COLORINDEX) != 0;
    if (key & DEV_TEXTURE) {
        f.texture = (key & DEV_AFFINE) ? RefFeatures::kAffine : RefFeatures::kPerspective;
        f.colorKey = (key & DEV_COLORKEY) != 0;
        if (key & DEV_MODULATE) {
            switch (lightMode) {
            case DEV_LIGHT_MR: f.light = (key & DEV_SMOOTH) ? RefFeatures::kLightMRSmooth : RefFeatures::kLightMRFlat; break;
            case DEV_LIGHT_MM: f.light = RefFeatures::kLightMM; break;
            case DEV_LIGHT_MS: f.light = RefFeatures::kLightMS; break;
            default: return false;
            }
        }
    } else {
        f.smooth = (key & DEV_SMOOTH) != 0;
    }
    *out = f;
    return true;
}

std::string RefSuffix(const RefFeatures& f) {
    std::string s;
    if (f.texture == RefFeatures::kUntextured) {
        s = f.smooth ? "Ss" : "Fs";
    } else {
        s = f.texture == RefFeatures::kAffine ? "Tx" : "PTx";
        if (f.colorKey) s += "Tr";
        static const char* const lights[] = {"", "MRFs", "MRSs", "MMSs", "MSSs"};
        s += lights[f.light];
    }
    if (f.index) s += "I";
    if (f.depth) s += "Z";
    if (f.dither) s += "D";
    return s;
}

uint32_t RefTrapezoids(const RefFeatures& f, const RefFormat& fmt, DevContext* ctx, const DevTrapEdge* left,
                       const DevTrapEdge* right, const DevTrapGradients* g) {
    uint32_t y = static_cast<uint32_t>(Column(left->y));
    Left l;
    LoadLeft(l, left, g, f, fmt);
    int32_t nl = left->rowCount;
    const DevTrapEdge* r = right;
    uint32_t xr = r->x;
    int32_t nr = r->rowCount;

    for (;;) {
        while (nl > 0 && nr > 0) {
            const int64_t xli = Column(l.x), xri = Column(xr);
            if (xri > xli) {
                MarkDirty(ctx->dirtyA, y, xli, xri);
                DrawSpan(f, fmt, ctx, l, xli, xri, y);
            }
            const uint32_t newX = l.x + l.rec->dxdy;
            StepLeft(l, f, Column(newX) - xli != l.k);
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
            LoadLeft(l, l.rec + 1, g, f, fmt);
            nl = l.rec->rowCount;
        }
    }
}

uint32_t RefTrapezoids8(uint32_t key, DevContext* ctx, const DevTrapEdge* left, const DevTrapEdge* right,
                        const DevTrapGradients* g) {
    RefFeatures f;
    RefDecode(key, 0, &f);
    return RefTrapezoids(f, kFormat8, ctx, left, right, g);
}

void RefStepQuadRow(RefQuadState& s, uint32_t A, uint32_t B, uint32_t C, int32_t k, bool movedKPlus1) {
    QuadLane q = LoadQuad(s.L, s.dL, s.eL, A, B, C, k);
    StepQuad(q, movedKPlus1);
    s = {q.L, q.dL, q.eL};
}
