// The running values of a trapezoid walk, one small type per kind. Each
// lane has the same four steps, so the walk never needs to know what a
// lane holds:
//
//   void Init(const DevContext*, const DevTrapGradients*);  once per call
//   void Load(const DevTrapEdge* e, uint32_t k);   at each left record;
//                                   k = e->dxdy >> 16 (arithmetic)
//   void Row(bool extra);           after every row, empty or not; extra:
//                                   the integer left end moved k + 1 columns
//   Cursor Start() const;           the span's first pixel; Cursor::Step()
//                                   after every pixel, drawn or not
//
// A lane that is not in a routine's feature set is NoLane, which costs
// nothing. Everything wraps at 32 bits.
#pragma once

#include "frame/records.h"
#include "bpp16/fixed.h"
#include "bpp16/trapezoid.h"

namespace raster {

struct NoLane {
    struct Cursor {
        void Step() {}
    };
    void Init(const DevContext*, const DevTrapGradients*) {}
    void Load(const DevTrapEdge*, uint32_t) {}
    void Row(bool) {}
    Cursor Start() const { return {}; }
};

// Depth at the span's first pixel: row step k * dzdx + dzdy, one more dzdx
// when the edge moved k + 1 columns.
struct DepthLane {
    uint32_t z, row, dz, dzdy;
    struct Cursor {
        uint32_t z, dz;
        uint32_t Z16() const { return (z >> 12) & 0xffff; }
        void Step() { z += dz; }
    };
    void Init(const DevContext*, const DevTrapGradients* g) {
        dz = g->dzdx;
        dzdy = g->dzdy;
    }
    void Load(const DevTrapEdge* e, uint32_t k) {
        z = e->z;
        row = k * dz + dzdy;
    }
    void Row(bool extra) {
        z += row;
        if (extra) z += dz;
    }
    Cursor Start() const { return {z, dz}; }
};

// Depth along the exact edge (flat colour with depth): row step bits 16..47
// of dzdx * dxdy plus dzdy, no k + 1 correction.
struct ExactEdgeDepthLane : DepthLane {
    void Load(const DevTrapEdge* e, uint32_t) {
        z = e->z;
        row = MulHi16(dz, e->dxdy) + dzdy;
    }
    void Row(bool) { z += row; }
};

// Scale applied to a channel's left value and to both its gradients.
struct NoScale {
    static uint32_t Apply(unsigned, uint32_t v) { return v; }
};

// N channels (ch0 .. chN-1) in the k / k + 1 scheme: smooth colour (3),
// colour index (1), or the light of the lit textures (MR 3, MM 1, MS 2).
template <unsigned N, class Scale = NoScale>
struct ChannelLane {
    static_assert(N >= 1 && N <= 3, "one to three channels");
    uint32_t c[N], row[N], dc[N], dcdy[N];
    struct Cursor {
        uint32_t c[N], dc[N];
        uint32_t C(unsigned i) const { return i < N ? c[i] : 0; }
        void Step() {
#pragma GCC unroll 3
            for (unsigned i = 0; i < N; ++i) c[i] += dc[i];
        }
    };
    void Init(const DevContext*, const DevTrapGradients* g) {
        const uint32_t dx[3] = {g->dch0dx, g->dch1dx, g->dch2dx};
        const uint32_t dy[3] = {g->dch0dy, g->dch1dy, g->dch2dy};
#pragma GCC unroll 3
        for (unsigned i = 0; i < N; ++i) {
            dc[i] = Scale::Apply(i, dx[i]);
            dcdy[i] = Scale::Apply(i, dy[i]);
        }
    }
    void Load(const DevTrapEdge* e, uint32_t k) {
        const uint32_t v[3] = {e->ch0, e->ch1, e->ch2};
#pragma GCC unroll 3
        for (unsigned i = 0; i < N; ++i) {
            c[i] = Scale::Apply(i, v[i]);
            row[i] = k * dc[i] + dcdy[i];
        }
    }
    void Row(bool extra) {
#pragma GCC unroll 3
        for (unsigned i = 0; i < N; ++i) {
            c[i] += row[i];
            if (extra) c[i] += dc[i];
        }
    }
    Cursor Start() const {
        Cursor s;
#pragma GCC unroll 3
        for (unsigned i = 0; i < N; ++i) {
            s.c[i] = c[i];
            s.dc[i] = dc[i];
        }
        return s;
    }
};

// Affine texture coordinates: they follow the exact edge, row step
// (dudx >> 16) * dxdy + dudy, and take no k + 1 correction.
struct AffineUVLane {
    uint32_t u, v, rowU, rowV, dudx, dvdx, dudy, dvdy;
    struct Cursor {
        uint32_t u, v, du, dv;
        uint32_t U() const { return u; }
        uint32_t V() const { return v; }
        void Step() {
            u += du;
            v += dv;
        }
    };
    void Init(const DevContext*, const DevTrapGradients* g) {
        dudx = g->dudx;
        dvdx = g->dvdx;
        dudy = g->dudy;
        dvdy = g->dvdy;
    }
    void Load(const DevTrapEdge* e, uint32_t) {
        u = e->u;
        v = e->v;
        rowU = Sar(dudx, 16) * e->dxdy + dudy;
        rowV = Sar(dvdx, 16) * e->dxdy + dvdy;
    }
    void Row(bool) {
        u += rowU;
        v += rowV;
    }
    Cursor Start() const { return {u, v, dudx, dvdx}; }
};

// One perspective coordinate by forward differences: L the value at the
// left-edge pixel, dL its per-pixel difference, eL its per-row difference;
// A, B, C the second differences along the row, mixed, down the column.
struct QuadraticCoord {
    uint32_t L, dL, eL;
    uint32_t A, B, C;
    uint32_t k, kA, kB, h;

    void Load(uint32_t value, uint32_t perPixel, uint32_t perRow, uint32_t edgeK) {
        L = value;
        dL = perPixel;
        eL = perRow;
        k = edgeK;
        kA = k * A;
        kB = k * B;
        h = Sar(kA - A, 1);
    }
    // To the pixel k (or k + 1) columns on in the next row.
    void Row(bool extra) {
        dL += B;
        L += (h + dL) * k + eL;
        dL += kA;
        eL += C + kB;
        if (extra) {
            L += dL;
            dL += A;
            eL += B;
        }
    }
};

struct PerspectiveUVLane {
    QuadraticCoord u, v;
    struct Cursor {
        uint32_t u, du, v, dv, au, av;
        uint32_t U() const { return u; }
        uint32_t V() const { return v; }
        void Step() {
            u += du;
            v += dv;
            du += au;
            dv += av;
        }
    };
    void Init(const DevContext*, const DevTrapGradients* g) {
        u.A = g->d2udx2;
        u.B = g->d2udxdy;
        u.C = g->d2udy2;
        v.A = g->d2vdx2;
        v.B = g->d2vdxdy;
        v.C = g->d2vdy2;
    }
    void Load(const DevTrapEdge* e, uint32_t k) {
        u.Load(e->u, e->uStepX, e->uStepY, k);
        v.Load(e->v, e->vStepX, e->vStepY, k);
    }
    void Row(bool extra) {
        u.Row(extra);
        v.Row(extra);
    }
    Cursor Start() const { return {u.L, u.dL, v.L, v.dL, u.A, v.A}; }
};

}  // namespace raster
