#include "service_ref.h"

#include <algorithm>
#include <string.h>

namespace svcref {

namespace {

uint32_t LowestBit(uint32_t m)
{
    uint32_t k = 0;
    if (!m) return 0;
    while (!((m >> k) & 1)) ++k;
    return k;
}

// Bits of a component in the device format: the run of ones of its range
// word's low byte, from bit 0.
uint32_t RangeBits(uint32_t range)
{
    uint32_t n = 0;
    while (n < 8 && ((range >> n) & 1)) ++n;
    return n;
}

uint32_t ShiftOf(const Canvas& c) { return c.globals.dirtyShift & 0xff; }

bool Zoom2(const DevContext* x)
{
    return (x->state & DEV_ZOOM2) && x->zoomX == DEV_ZOOM_2 && x->zoomY == DEV_ZOOM_2;
}

uint8_t* At(const DevBuffer& b, int32_t x, int32_t y, uint32_t bytes)
{
    return DevBufferBits(&b) + y * static_cast<int32_t>(b.pitch) + x * static_cast<int32_t>(bytes);
}

void MarkAllA(DevContext* x, uint32_t value)
{
    for (uint32_t y = 0; y < x->dirtyRows; ++y) x->dirtyA[y] = value;
}

// Is pixel x of a row of the rectangle [left, right) handled, given the
// row's mask word? Each pixel goes by its own block's bit; the tail of a
// rectangle at least one block wide (what follows its last whole block) is
// handled whenever tailFree says so.
bool Handled(uint32_t mask, int32_t x, int32_t left, int32_t right, uint32_t s, bool tailFree)
{
    const int32_t block = 1 << s;
    if (tailFree && right - left >= block && x >= ((right >> s) << s)) return true;
    return (mask & BlockBit(static_cast<uint32_t>(x) >> s)) != 0;
}

}  // namespace

// ---- colour formation ----

uint8_t RefCube(uint32_t red, uint32_t green, uint32_t blue, uint32_t dither, uint8_t paletteBase)
{
    uint32_t r = ((red + dither) >> 16) & 0xe0;
    uint32_t g = ((green + dither) >> 19) & 0x1c;
    uint32_t b = ((blue + dither) >> 22) & 0x03;
    return static_cast<uint8_t>((r | g | b) + paletteBase);
}

uint32_t RefDither(uint32_t x, uint32_t y) { return 0x80000u * ((x & 3) ^ (2 * (y & 1))); }

uint32_t RefPixel(const Display& d, uint32_t red, uint32_t green, uint32_t blue)
{
    const uint32_t v[3] = {red & 0xff, green & 0xff, blue & 0xff};
    const uint32_t masks[3] = {d.redMask, d.greenMask, d.blueMask};
    const uint32_t ranges[3] = {d.redMax, d.greenMax, d.blueMax};
    uint32_t pixel = 0;
    switch (d.bytesPerPixel) {
    case 2:
        // The top n bits of each component fill the device field from its lowest bit.
        for (int k = 0; k < 3; ++k) {
            uint32_t n = RangeBits(ranges[k]);
            if (n) pixel |= (v[k] >> (8 - n)) << LowestBit(masks[k] & 0xffffff);
        }
        return pixel & 0xffff;
    case 3:
        // Byte k carries the component whose mask begins at bit 8k.
        for (uint32_t byte = 0; byte < 3; ++byte)
            for (int k = 0; k < 3; ++k)
                if (masks[k] && LowestBit(masks[k]) == 8 * byte) pixel |= v[k] << (8 * byte);
        return pixel;
    case 4:
        for (int k = 0; k < 3; ++k) pixel |= v[k] << (LowestBit(masks[k]) & 31);
        return pixel;
    }
    return 0;
}

// ---- set colour ----

uint32_t RefSetColor(Canvas& c, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t c3, uint32_t separate, void* out)
{
    DevContext* x = c.ctx();
    uint8_t* o = static_cast<uint8_t*>(out);
    const bool pattern = o == x->fillPattern || o == x->clearPattern;
    // The three channels in 8.16.
    uint32_t red, green, blue;
    if (separate) {
        x->color = ((c0 >> 16) & 0xff) | ((c1 >> 16) & 0xff) << 8 | ((c2 >> 16) & 0xff) << 16 |
                   ((c3 >> 16) & 0xff) << 24;
        red = c0, green = c1, blue = c2;
    } else {
        x->color = c0;
        red = (c0 & 0xff) << 16, green = ((c0 >> 8) & 0xff) << 16, blue = ((c0 >> 16) & 0xff) << 16;
    }

    switch (c.bpp()) {
    case 1:
        if (x->state & DEV_COLORINDEX) {
            uint32_t index = c0 & 0xff;
            x->color = index;
            if (x->state & DEV_DITHER) {
                for (uint32_t r = 0; r < 4; ++r)
                    for (uint32_t col = 0; col < 8; ++col)
                        o[8 * r + col] =
                            static_cast<uint8_t>(((index << 16) + (((col & 3) ^ ((r & 3) * 2)) << 14)) >> 16);
            } else {
                for (int i = 0; i < 4; ++i) o[i] = static_cast<uint8_t>(index);
                if (pattern)
                    for (int i = 8; i < 12; ++i) o[i] = static_cast<uint8_t>(index);
            }
        } else {
            uint32_t rs = (red * 6) >> 3, gs = (green * 7) >> 3, bs = (blue * 7) >> 3;
            if (x->state & DEV_DITHER) {
                for (uint32_t r = 0; r < 2; ++r)
                    for (uint32_t col = 0; col < 4; ++col)
                        o[8 * r + col] = RefCube(rs, gs, bs, RefDither(col, r), c.display().paletteBase);
            } else {
                uint8_t byte = RefCube(rs, gs, bs, 0, c.display().paletteBase);
                for (int i = 0; i < 4; ++i) o[i] = byte;
                if (pattern)
                    for (int i = 8; i < 12; ++i) o[i] = byte;
            }
        }
        break;
    case 2: {
        uint32_t p = RefPixel(c.display(), red >> 16, green >> 16, blue >> 16);
        uint32_t word = p | p << 16;
        memcpy(o, &word, 4);
        break;
    }
    case 3: {
        uint32_t p = RefPixel(c.display(), red >> 16, green >> 16, blue >> 16);
        for (int i = 0; i < 12; ++i) o[i] = static_cast<uint8_t>(p >> (8 * (i % 3)));
        break;
    }
    case 4: {
        uint32_t p = RefPixel(c.display(), red >> 16, green >> 16, blue >> 16);
        memcpy(o, &p, 4);
        break;
    }
    }
    if (!separate && o == x->clearPattern) {
        for (uint32_t y = 0; y < x->dirtyRows; ++y) x->dirtyA[y] = x->dirtyB[y] = 0xffffffffu;
    }
    return 1;
}

// ---- clear ----

uint32_t RefClear(Canvas& c, uint32_t what)
{
    DevContext* x = c.ctx();
    const uint32_t bpp = c.bpp();
    const uint32_t s = ShiftOf(c);
    int32_t left = x->update.x0, top = x->update.y0, right = x->update.x1, bottom = x->update.y1;
    if (Zoom2(x)) left >>= 1, top >>= 1, right >>= 1, bottom >>= 1;
    const bool empty = right <= left || bottom <= top;
    uint32_t result = 0;

    if (what & DEV_CLEAR_COLOR) {
        for (int32_t y = top; !empty && y < bottom; ++y) {
            const uint32_t a = x->dirtyA[y];
            if (!a) continue;
            for (int32_t px = left; px < right; ++px) {
                if (!Handled(a, px, left, right, s, true)) continue;
                uint8_t* p = At(x->drawBuffer[0], px, y, bpp);
                const uint8_t* pat = x->clearPattern;
                switch (bpp) {
                case 1:
                    *p = pat[8 * (y & 1) + (reinterpret_cast<uintptr_t>(p) & 3)];
                    break;
                case 2:
                case 3:
                case 4:
                    memcpy(p, pat, bpp);
                    break;
                }
            }
        }
        result |= DEV_CLEAR_COLOR;
    }
    if (what & DEV_BUFFER_DEPTH) {
        if (x->state & DEV_DEPTH) {
            for (int32_t y = top; !empty && y < bottom; ++y) {
                const uint32_t a = x->dirtyA[y];
                if (!a) continue;
                for (int32_t px = left; px < right; ++px) {
                    if (!Handled(a, px, left, right, s, true)) continue;
                    uint16_t value = static_cast<uint16_t>(x->depthClear);
                    memcpy(At(x->depth, px, y, 2), &value, 2);
                }
            }
        }
        result |= DEV_BUFFER_DEPTH;
    }
    MarkAllA(x, 0);
    return result;
}

// ---- present ----

uint32_t RefPresent(Canvas& c, bool translated, const DciScript* dci, DciExpect* expect)
{
    DevContext* x = c.ctx();
    Globals& g = c.globals;
    DciExpect none;
    if (!expect) expect = &none;
    *expect = DciExpect();

    if (g.repaintAll == 1 || x->repaint) {
        MarkAllA(x, 0xffffffffu);
        g.repaintAll = 0;
    }
    if (g.dciWin95) {
        expect->begins = 1;
        expect->access = RECT{0, 0, static_cast<LONG>(g.screenWidth - 1), static_cast<LONG>(g.screenHeight - 1)};
        if (dci->accessRefused) return 1;
        expect->granted = 1;
        expect->statusQueries = 1;
        if (dci->changed) {
            expect->clipQueries = 1;
            // What the frame's clip-list wrapper hands back: a region that
            // fits 40 rectangles, its header count as a signed 16-bit value,
            // at most 40, each rectangle less the window's client origin.
            const int written = static_cast<int>(dci->screenRects.size());
            int32_t n = 0;
            if (!dci->clipListFails && written <= DEV_MAX_CLIP_RECTS)
                n = static_cast<int16_t>(dci->reportedCount & 0xffff);
            if (n < 0) n = 0;
            if (n > DEV_MAX_CLIP_RECTS) n = DEV_MAX_CLIP_RECTS;
            for (int32_t i = 0; i < n; ++i) {
                RECT r = i < written ? dci->screenRects[i] : RECT{0, 0, 0, 0};
                x->clipRects[i] = DevRect16{static_cast<int16_t>(r.left - dci->clientOrigin.x),
                                            static_cast<int16_t>(r.top - dci->clientOrigin.y),
                                            static_cast<int16_t>(r.right - dci->clientOrigin.x),
                                            static_cast<int16_t>(r.bottom - dci->clientOrigin.y)};
            }
            x->clipCount = static_cast<uint32_t>(n);
            x->clipCountCopy = static_cast<uint32_t>(n);
            for (int32_t i = 0; i < n; ++i) x->clipRectsCopy[i] = x->clipRects[i];
            x->changeFlags |= DEV_CHANGE_CLIP;
            if (x->clipChanged) x->clipChanged(x);
        }
    }

    const uint32_t bpp = c.bpp();
    const uint32_t s = ShiftOf(c);
    const bool zoom = Zoom2(x);
    const uint32_t count = std::min<uint32_t>(x->clipCount, DEV_MAX_CLIP_RECTS);
    uint8_t* front = DevBufferBits(&x->front);
    for (uint32_t i = 0; i < count; ++i) {
        // Only the part inside the window is shown.
        const int32_t w = x->window.x1 - x->window.x0, h = x->window.y1 - x->window.y0;
        int32_t x0 = std::max<int32_t>(x->clipRects[i].x0, 0), y0 = std::max<int32_t>(x->clipRects[i].y0, 0);
        int32_t x1 = std::min<int32_t>(x->clipRects[i].x1, w), y1 = std::min<int32_t>(x->clipRects[i].y1, h);
        if (zoom) x0 >>= 1, y0 >>= 1, x1 >>= 1, y1 >>= 1;
        if (x1 <= x0) continue;
        for (int32_t y = y0; y < y1; ++y) {
            const uint32_t m = x->dirtyA[y] | x->dirtyB[y];
            if (!m) continue;
            for (int32_t px = x0; px < x1; ++px) {
                if (!Handled(m, px, x0, x1, s, false)) continue;
                uint8_t pixel[4];
                memcpy(pixel, At(x->back, px, y, bpp), bpp);
                if (translated) pixel[0] = x->translate8[pixel[0]];
                for (int32_t dy = 0; dy < (zoom ? 2 : 1); ++dy)
                    for (int32_t dx = 0; dx < (zoom ? 2 : 1); ++dx) {
                        int32_t fx = zoom ? 2 * px + dx : px, fy = zoom ? 2 * y + dy : y;
                        memcpy(front + fy * static_cast<int32_t>(g.screenPitch) + fx * static_cast<int32_t>(bpp),
                               pixel, bpp);
                    }
            }
        }
    }
    for (uint32_t y = 0; y < x->dirtyRows; ++y) x->dirtyB[y] = x->dirtyA[y];
    if (g.dciWin95) expect->ends = 1;
    return 1;
}

// ---- forwarders ----

uint32_t RefTrapezoidsGeneric(Canvas& c, DevTrapEdge* left, DevTrapEdge* right, DevTrapGradients* g)
{
    DevContext* x = c.ctx();
    const uint32_t s = ShiftOf(c);
    const DevTrapEdge* l = left;
    const DevTrapEdge* r = right;
    int32_t y = static_cast<int32_t>(l->y) >> 16;
    uint32_t xl = l->x, xr = r->x;
    uint32_t nl = static_cast<uint32_t>(l->rowCount), nr = static_cast<uint32_t>(r->rowCount);
    for (int guard = 0; guard < 100000; ++guard) {
        uint32_t n = std::min(nl, nr);
        nl -= n, nr -= n;
        for (uint32_t i = 0; i < n; ++i, ++y) {
            int32_t a = static_cast<int32_t>(xl) >> 16, b = static_cast<int32_t>(xr) >> 16;
            if (a != b) {
                uint32_t lo = static_cast<uint32_t>(std::min(a, b)), hi = static_cast<uint32_t>(std::max(a, b));
                uint32_t kl = std::min(lo >> s, 31u), kr = std::min(hi >> s, 31u);
                for (uint32_t k = kl; k <= kr; ++k) x->dirtyA[y] |= 1u << k;
            }
            xl += l->dxdy;
            xr += r->dxdy;
        }
        if (nl == 0 && nr == 0) break;
        if (nr == 0) ++r, xr = r->x, nr = static_cast<uint32_t>(r->rowCount);
        if (nl == 0) ++l, xl = l->x, nl = static_cast<uint32_t>(l->rowCount);
    }
    return x->baseProcs->trapezoids(x, left, right, g);
}

uint32_t RefLineGeneric(Canvas& c, DevLineRecord* line, uint32_t pass)
{
    c.globals.repaintAll = 1;
    return c.ctx()->baseProcs->line(c.ctx(), line, pass);
}

// ---- the 8-bit lines ----

namespace {
// (v x factor) >> 3 with a 32-bit signed multiply and an arithmetic shift.
uint32_t Scale(uint32_t v, uint32_t factor)
{
    return static_cast<uint32_t>(static_cast<int32_t>(v * factor) >> 3);
}
}  // namespace

uint32_t RefLine8(Canvas& c, LineKind kind, const LineRecord& line)
{
    DevContext* x = c.ctx();
    const uint32_t s = ShiftOf(c);
    const LineVertex& v0 = line.v[0];
    const int32_t x0 = static_cast<int32_t>(v0.x) >> 16, y0 = static_cast<int32_t>(v0.y) >> 16;
    const int32_t x1 = static_cast<int32_t>(line.v[1].x) >> 16, y1 = static_cast<int32_t>(line.v[1].y) >> 16;
    const int32_t dx = x1 - x0, dy = y1 - y0;
    const int32_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    const int32_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const bool alongY = ady > adx;
    const int32_t major = alongY ? ady : adx, minor = alongY ? adx : ady;
    int32_t e = 2 * minor - major;

    uint32_t z = v0.z;
    uint32_t r = Scale(v0.ch0, 6), g = Scale(v0.ch1, 7), b = Scale(v0.ch2, 7);
    const uint32_t rStep = Scale(v0.ch0Step, 6), gStep = Scale(v0.ch1Step, 7), bStep = Scale(v0.ch2Step, 7);
    const bool depth = kind == kLineFsZD || kind == kLineSsZD;
    const bool smooth = kind == kLineSsD || kind == kLineSsZD;

    int32_t px = x0, py = y0;
    for (int32_t i = 0; i <= major; ++i) {
        const uint16_t d16 = static_cast<uint16_t>(z >> 12);
        uint16_t* dp = depth ? reinterpret_cast<uint16_t*>(At(x->depth, px, py, 2)) : nullptr;
        if (!depth || d16 <= *dp) {
            x->dirtyA[py] |= BlockBit(static_cast<uint32_t>(px) >> s);
            uint8_t* p = At(x->drawBuffer[0], px, py, 1);
            *p = smooth ? RefCube(r, g, b, RefDither(static_cast<uint32_t>(px), static_cast<uint32_t>(py)),
                                  c.display().paletteBase)
                        : x->fillPattern[0];
            if (depth) *dp = d16;
        }
        z += v0.zStep;
        r += rStep, g += gStep, b += bStep;
        if (e >= 0) {
            if (alongY) px += sx;
            else py += sy;
            e -= 2 * major;
        }
        if (alongY) py += sy;
        else px += sx;
        e += 2 * minor;
    }
    return 1;
}

}  // namespace svcref
