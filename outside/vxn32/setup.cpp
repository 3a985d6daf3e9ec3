// Trapezoid set-up: a projected polygon, cut into cells, becomes per cell
// one left and one right chain of edge records and one gradient record in
// the driver's number formats. Floating point is fine here: this is the
// library's side; the driver only steps what it is given.
#include "library.h"

#include <math.h>
#include <string.h>

namespace vxnlib {
namespace {

// a(x, y) = a0 + ax * (x - ox) + ay * (y - oy).
struct Plane {
    double a0, ax, ay;
};

struct Frame {  // the three vertices the planes are fitted through
    double ox, oy, det, e1x, e1y, e2x, e2y;
};

Plane Fit(const Frame& f, double a0, double a1, double a2) {
    const double d1 = a1 - a0, d2 = a2 - a0;
    Plane p;
    p.a0 = a0;
    p.ax = (d1 * f.e2y - d2 * f.e1y) / f.det;
    p.ay = (d2 * f.e1x - d1 * f.e2x) / f.det;
    return p;
}

inline double At(const Plane& p, const Frame& f, double x, double y) {
    return p.a0 + p.ax * (x - f.ox) + p.ay * (y - f.oy);
}

inline uint32_t Fixed(double v) {  // to a 32-bit word, wrapping like the driver's arithmetic
    return static_cast<uint32_t>(static_cast<int64_t>(floor(v)));
}

inline uint32_t Round(double v) { return static_cast<uint32_t>(static_cast<int64_t>(floor(v + 0.5))); }

// First row whose centre lies at or below y.
inline int FirstRow(double y) { return static_cast<int>(ceil(y - 0.5)); }

// Edge x in 16.16 so that the driver's integer part is the first pixel
// whose centre lies at or right of x: shared edges fill exactly once.
inline uint32_t EdgeX(double x) { return Fixed((x + 0.5) * 65536.0 - 1.0); }

struct Chain {
    int count;
    struct Rec {
        uint32_t x, dxdy;
        int rows, firstRow;
    } rec[kMaxPolygon];
};

// Records from the top vertex to the bottom one, stepping dir through v.
void MakeChain(const ScreenVertex* v, int n, int top, int bottom, int dir, Chain* c) {
    c->count = 0;
    for (int i = top; i != bottom;) {
        const int j = (i + dir + n) % n;
        const ScreenVertex& a = v[i];
        const ScreenVertex& b = v[j];
        const int ra = FirstRow(a.y), rb = FirstRow(b.y);
        if (rb > ra) {
            const double slope = (b.x - a.x) / (b.y - a.y);
            Chain::Rec& r = c->rec[c->count++];
            r.x = EdgeX(a.x + (ra + 0.5 - a.y) * slope);
            r.dxdy = Round(slope * 65536.0);
            r.rows = rb - ra;
            r.firstRow = ra;
        }
        i = j;
    }
}

int32_t XAtRow(const Chain& c, int row) {
    for (int i = 0; i < c.count; ++i)
        if (row < c.rec[i].firstRow + c.rec[i].rows)
            return static_cast<int32_t>(c.rec[i].x + (row - c.rec[i].firstRow) * c.rec[i].dxdy);
    return 0;
}

}  // namespace

int ClipPolygon(const ScreenVertex* in, int n, float x0, float y0, float x1, float y1, ScreenVertex* out) {
    ScreenVertex a[kMaxPolygon], b[kMaxPolygon];
    memcpy(a, in, n * sizeof *in);
    const float bound[4] = {x0, y0, x1, y1};
    for (int side = 0; side < 4; ++side) {
        const bool isX = side % 2 == 0;
        const float limit = bound[side];
        const float sign = side < 2 ? 1.0f : -1.0f;  // inside: sign * (c - limit) >= 0
        int m = 0;
        for (int i = 0; i < n && m < kMaxPolygon - 1; ++i) {
            const ScreenVertex& p = a[i];
            const ScreenVertex& q = a[(i + 1) % n];
            const float dp = sign * ((isX ? p.x : p.y) - limit);
            const float dq = sign * ((isX ? q.x : q.y) - limit);
            if (dp >= 0) b[m++] = p;
            if ((dp >= 0) != (dq >= 0)) {
                const float t = dp / (dp - dq);
                ScreenVertex r;
                r.x = p.x + (q.x - p.x) * t;
                r.y = p.y + (q.y - p.y) * t;
                if (isX)
                    r.x = limit;
                else
                    r.y = limit;
                r.depth = p.depth + (q.depth - p.depth) * t;
                r.invW = p.invW + (q.invW - p.invW) * t;
                r.uw = p.uw + (q.uw - p.uw) * t;
                r.vw = p.vw + (q.vw - p.vw) * t;
                r.light = p.light + (q.light - p.light) * t;
                b[m++] = r;
            }
        }
        n = m;
        if (n < 3) return 0;
        memcpy(a, b, n * sizeof *a);
    }
    memcpy(out, a, n * sizeof *a);
    return n;
}

bool BuildTrapezoid(const SetupState& s, const ScreenVertex* v, int n, Trapezoid* t) {
    int top = 0, bottom = 0;
    for (int i = 1; i < n; ++i) {
        if (v[i].y < v[top].y) top = i;
        if (v[i].y > v[bottom].y) bottom = i;
    }
    const int r0 = FirstRow(v[top].y), r1 = FirstRow(v[bottom].y);
    if (r1 <= r0) return false;

    // Planes through the vertex pair that spans the largest area with v[0].
    Frame f = {v[0].x, v[0].y, 0, 0, 0, 0, 0};
    int bi = 1, bj = 2;
    for (int i = 1; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            const double d = (v[i].x - v[0].x) * (v[j].y - v[0].y) - (v[j].x - v[0].x) * (v[i].y - v[0].y);
            if (fabs(d) > fabs(f.det)) f.det = d, bi = i, bj = j;
        }
    if (fabs(f.det) < 1e-9) return false;
    f.e1x = v[bi].x - f.ox, f.e1y = v[bi].y - f.oy, f.e2x = v[bj].x - f.ox, f.e2y = v[bj].y - f.oy;
    auto fit = [&](float ScreenVertex::*m) { return Fit(f, v[0].*m, v[bi].*m, v[bj].*m); };
    const Plane depth = fit(&ScreenVertex::depth), light = fit(&ScreenVertex::light);
    const Plane w = fit(&ScreenVertex::invW), uw = fit(&ScreenVertex::uw), vw = fit(&ScreenVertex::vw);

    Chain a, b;
    MakeChain(v, n, top, bottom, 1, &a);
    MakeChain(v, n, top, bottom, -1, &b);
    const int mid = (r0 + r1) / 2;
    const bool aLeft = XAtRow(a, mid) <= XAtRow(b, mid);
    const Chain& l = aLeft ? a : b;
    const Chain& r = aLeft ? b : a;

    memset(t, 0, sizeof *t);
    DevTrapGradients& g = t->grad;
    const double zScale = 65535.0 * 4096.0;
    g.dzdx = Round(depth.ax * zScale);
    g.dzdy = Round(depth.ay * zScale);
    // Light: MM and MS take an intensity with 1.0 at 0x1000000; MR and
    // untextured smooth colour take levels of 255.0.
    const bool intensity = s.textured && (s.lightMode == DEV_LIGHT_MM || s.lightMode == DEV_LIGHT_MS);
    const double lScale = intensity ? 16777216.0 : 255.0 * 65536.0;
    const uint32_t ldx = Round(light.ax * lScale), ldy = Round(light.ay * lScale);
    const bool allChannels = !intensity;
    g.dch0dx = ldx;
    g.dch0dy = ldy;
    if (allChannels) {
        g.dch1dx = g.dch2dx = ldx;
        g.dch1dy = g.dch2dy = ldy;
    }

    // Texture coordinates in texels with 21 fraction bits.
    const double su = s.textureWidth * 2097152.0, sv = s.textureHeight * 2097152.0;
    // Perspective: u = uw / w, approximated by its second-order expansion
    // about the centre of this cell's polygon.
    double cx = 0, cy = 0;
    for (int i = 0; i < n; ++i) cx += v[i].x, cy += v[i].y;
    cx /= n, cy /= n;
    struct Quad {
        double q0, gx, gy, xx, xy, yy;  // value, gradient and second derivatives at (cx, cy)
    } qu = {}, qv = {};
    auto expand = [&](const Plane& num, double scale) {
        Quad q;
        const double W0 = At(w, f, cx, cy), u0 = At(num, f, cx, cy) / W0;
        const double ax = w.ax / W0, ay = w.ay / W0;
        q.gx = (num.ax / W0 - u0 * ax), q.gy = (num.ay / W0 - u0 * ay);
        q.xx = -2 * q.gx * ax, q.xy = -(q.gx * ay + q.gy * ax), q.yy = -2 * q.gy * ay;
        q.q0 = u0 * scale, q.gx *= scale, q.gy *= scale, q.xx *= scale, q.xy *= scale, q.yy *= scale;
        return q;
    };
    // Affine: u across the screen as the vertices give it.
    Plane au = {}, av = {};
    if (s.textured && s.perspective) {
        qu = expand(uw, su);
        qv = expand(vw, sv);
        g.d2udx2 = Round(qu.xx), g.d2udxdy = Round(qu.xy), g.d2udy2 = Round(qu.yy);
        g.d2vdx2 = Round(qv.xx), g.d2vdxdy = Round(qv.xy), g.d2vdy2 = Round(qv.yy);
    } else if (s.textured) {
        auto uOf = [&](int i) { return v[i].uw / v[i].invW; };
        auto vOf = [&](int i) { return v[i].vw / v[i].invW; };
        au = Fit(f, uOf(0) * su, uOf(bi) * su, uOf(bj) * su);
        av = Fit(f, vOf(0) * sv, vOf(bi) * sv, vOf(bj) * sv);
        g.dudx = Round(au.ax), g.dudy = Round(au.ay), g.dvdx = Round(av.ax), g.dvdy = Round(av.ay);
    }

    for (int i = 0; i < l.count; ++i) {
        DevTrapEdge& e = t->left[i];
        e.x = l.rec[i].x;
        e.y = static_cast<uint32_t>(l.rec[i].firstRow) << 16;
        e.dxdy = l.rec[i].dxdy;
        e.rowCount = l.rec[i].rows;
        // Values at the centre of the record's first pixel.
        const double px = (static_cast<int32_t>(e.x) >> 16) + 0.5, py = l.rec[i].firstRow + 0.5;
        double d = At(depth, f, px, py);
        d = d < 0 ? 0 : d > 1 ? 1 : d;
        e.z = Round(d * zScale);
        double li = At(light, f, px, py);
        li = li < 0 ? 0 : li > 1 ? 1 : li;
        e.ch0 = Round(li * lScale);
        if (allChannels) e.ch1 = e.ch2 = e.ch0;
        if (s.textured && s.perspective) {
            const double dx = px - cx, dy = py - cy;
            auto put = [&](const Quad& q, uint32_t* value, uint32_t* stepX, uint32_t* stepY) {
                const double qx = q.gx + q.xx * dx + q.xy * dy, qy = q.gy + q.xy * dx + q.yy * dy;
                *value =
                    Round(q.q0 + q.gx * dx + q.gy * dy + 0.5 * q.xx * dx * dx + q.xy * dx * dy + 0.5 * q.yy * dy * dy);
                *stepX = Round(qx + 0.5 * q.xx);
                *stepY = Round(qy + 0.5 * q.yy);
            };
            put(qu, &e.u, &e.uStepX, &e.uStepY);
            put(qv, &e.v, &e.vStepX, &e.vStepY);
        } else if (s.textured) {
            e.u = Round(At(au, f, px, py));
            e.v = Round(At(av, f, px, py));
        }
    }
    for (int i = 0; i < r.count; ++i) {
        t->right[i].x = r.rec[i].x;
        t->right[i].dxdy = r.rec[i].dxdy;
        t->right[i].rowCount = r.rec[i].rows;
    }
    return true;
}

}  // namespace vxnlib
