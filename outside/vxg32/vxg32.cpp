// Stand-in for the geometry library: keeps a call trace, owns geometry
// contexts, computes rotations, and projects polygons through the camera
// onto the viewport, handing them to the rendering stand-in to fill.
#include <windows.h>
#include <math.h>
#include <stdarg.h>
#include <stdio.h>
#include <map>
#include <string>
#include "vxg32.h"
#include "vxn32_standin.h"

namespace {

struct Vec {
    float x, y, z;
};
Vec Sub(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
float Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec Unit(Vec a) {
    float l = sqrtf(Dot(a, a));
    return l > 0 ? Vec{a.x / l, a.y / l, a.z / l} : a;
}

struct Geometry {
    int rc;
    bool deleted;
    std::map<int, int> state;
    Vec eye{0, 0, 0}, direction{0, 0, 1}, up{0, 1, 0};
    float view[6] = {1, -1, 1, -1, 1, 100};  // right, left, top, bottom, near, far
    int windowWidth = 0, windowHeight = 0;
    int port[4] = {0, 0, 0, 0};  // right, left, bottom, top
    float light0[4] = {0, 0, -1, 0};
    int material = 0;
};

std::map<int, Geometry> g_contexts;
int g_nextContext = 0x30001;

// Whether the call trace is on: the drawing calls of every frame spell out
// their corners only then.
bool TraceOn() {
    char path[8];
    return GetEnvironmentVariableA("VISTARO_TRACE", path, sizeof path) > 0;
}

void Trace(const char* format, ...) {
    if (!TraceOn()) return;
    char line[2048];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    VnrStandinTrace(line);
}

const char* ContextError(int gc) {
    auto it = g_contexts.find(gc);
    if (it == g_contexts.end()) return " error=unknown-gc";
    if (it->second.deleted) return " error=deleted-gc";
    return "";
}

Geometry* Live(int gc) {
    auto it = g_contexts.find(gc);
    return it == g_contexts.end() || it->second.deleted ? nullptr : &it->second;
}

// Floats read behind a light or material property (see vxg32.h).
int LightFloats(int property) { return property == 2 || property == 4 ? 4 : 3; }
int MaterialFloats(int property) { return property == 1 ? 4 : property == 11 ? 1 : 3; }

std::string Floats(const float* v, int n) {
    std::string s;
    char b[32];
    for (int i = 0; i < n; i++) {
        snprintf(b, sizeof b, i ? ",%.9g" : "%.9g", v[i]);
        s += b;
    }
    return s;
}

const float* At(const float* base, int stride, int i) { return (const float*)((const char*)base + (size_t)i * stride); }

// A vertex in camera space, before projection.
struct CameraVertex {
    float x, y, z, u, v;
};

// Keeps the part of the polygon with z on the inside of the plane z = limit.
int ClipDepth(const CameraVertex* in, int n, float limit, bool keepBeyond, CameraVertex* out) {
    int m = 0;
    for (int i = 0; i < n; ++i) {
        const CameraVertex& p = in[i];
        const CameraVertex& q = in[(i + 1) % n];
        const float dp = keepBeyond ? p.z - limit : limit - p.z;
        const float dq = keepBeyond ? q.z - limit : limit - q.z;
        if (dp >= 0) out[m++] = p;
        if ((dp >= 0) != (dq >= 0)) {
            const float t = dp / (dp - dq);
            out[m++] = CameraVertex{p.x + (q.x - p.x) * t, p.y + (q.y - p.y) * t, limit, p.u + (q.u - p.u) * t,
                                    p.v + (q.v - p.v) * t};
        }
    }
    return m;
}

// Projects the vertices through the camera onto the port, clipped to the
// view volume's near and far planes, and hands the polygon to the
// rendering stand-in.
void Draw(const Geometry& g, int n, const int* index, const float* vertices, int vstride, const float* normals,
          int nstride, const float* texCoords, int tstride, bool cull) {
    if (n < 3 || n > 16 || g.port[0] <= g.port[1] || g.port[2] <= g.port[3]) return;
    Vec d = Unit(g.direction);
    Vec right = Unit(Cross(g.up, d));
    Vec up = Cross(d, right);
    float R = g.view[0], L = g.view[1], T = g.view[2], B = g.view[3], nearZ = g.view[4], farZ = g.view[5];
    if (R == L || T == B || nearZ <= 0 || farZ <= nearZ) return;
    CameraVertex cam[16], nearCut[17], both[18];
    Vec normal{0, 0, 0};
    for (int i = 0; i < n; i++) {
        const float* p = At(vertices, vstride, index[i]);
        Vec e = Sub(Vec{p[0], p[1], p[2]}, g.eye);
        cam[i] = CameraVertex{Dot(e, right), Dot(e, up), Dot(e, d), texCoords ? At(texCoords, tstride, index[i])[0] : 0,
                              texCoords ? At(texCoords, tstride, index[i])[1] : 0};
        if (normals) {
            const float* m = At(normals, nstride, index[i]);
            normal = Vec{normal.x + m[0], normal.y + m[1], normal.z + m[2]};
        }
    }
    // A face of a solid turned away from the eye is not drawn.
    if (cull && normals) {
        Vec centre{0, 0, 0};
        for (int i = 0; i < n; i++) {
            const float* p = At(vertices, vstride, index[i]);
            centre = Vec{centre.x + p[0] / n, centre.y + p[1] / n, centre.z + p[2] / n};
        }
        if (Dot(normal, Sub(centre, g.eye)) >= 0) return;
    }
    int m = ClipDepth(cam, n, nearZ, true, nearCut);
    m = m >= 3 ? ClipDepth(nearCut, m, farZ, false, both) : 0;
    if (m < 3) return;
    StandinVertex out[18];
    for (int i = 0; i < m; i++) {
        const CameraVertex& c = both[i];
        float xn = c.x * nearZ / c.z, yn = c.y * nearZ / c.z;
        out[i].x = g.port[1] + (xn - L) / (R - L) * (g.port[0] - g.port[1]);
        out[i].y = g.port[3] + (T - yn) / (T - B) * (g.port[2] - g.port[3]);
        out[i].invZ = 1.0f / c.z;
        // Linear in 1/z, so linear across the screen.
        out[i].depth = (1.0f / nearZ - out[i].invZ) / (1.0f / nearZ - 1.0f / farZ);
        out[i].u = c.u;
        out[i].v = c.v;
    }
    float intensity = 1.0f;
    auto shade = g.state.find(2);
    if (shade != g.state.end() && shade->second && normals) {
        Vec toLight = Unit(Vec{g.light0[0], g.light0[1], g.light0[2]});
        float lambert = Dot(Unit(normal), toLight);
        intensity = 0.35f + 0.65f * (lambert > 0 ? lambert : 0);
    }
    VnrStandinDrawPolygon(g.rc, m, out, texCoords != nullptr, intensity);
}

}  // namespace

extern "C" {

int WINAPI VngCreateGC(int rc) {
    int gc = g_nextContext++;
    Geometry& g = g_contexts[gc];
    g.rc = rc;
    g.deleted = false;
    Trace("VngCreateGC rc=%d -> %d", rc, gc);
    return gc;
}

int WINAPI VngDeleteGC(int gc) {
    const char* error = ContextError(gc);
    Geometry* g = Live(gc);
    if (g) g->deleted = true;
    Trace("VngDeleteGC gc=%d -> %d%s", gc, g ? 1 : 0, error);
    return g ? 1 : 0;
}

int WINAPI VngSetState(int gc, int id, const int* value) {
    const char* error = ContextError(gc);
    Geometry* g = Live(gc);
    if (g && !value) error = " error=null-value";
    if (g && value) g->state[id] = *value;
    if (value)
        Trace("VngSetState gc=%d id=%d value=%d -> %d%s", gc, id, *value, *error ? 0 : 1, error);
    else
        Trace("VngSetState gc=%d id=%d value=null -> 0%s", gc, id, error);
    return *error ? 0 : 1;
}

int WINAPI VngSetCameraProjection(int gc, int kind) {
    const char* error = ContextError(gc);
    Trace("VngSetCameraProjection gc=%d kind=%d -> %d%s", gc, kind, *error ? 0 : 1, error);
    return *error ? 0 : 1;
}

int WINAPI VngSetCameraPosition(int gc, const float* eye, const float* direction, const float* up) {
    const char* error = ContextError(gc);
    Geometry* g = Live(gc);
    if (g && (!eye || !direction || !up)) error = " error=null-vector";
    if (*error) {
        Trace("VngSetCameraPosition gc=%d -> 0%s", gc, error);
        return 0;
    }
    g->eye = Vec{eye[0], eye[1], eye[2]};
    g->direction = Vec{direction[0], direction[1], direction[2]};
    g->up = Vec{up[0], up[1], up[2]};
    Trace("VngSetCameraPosition gc=%d eye=%s direction=%s up=%s -> 1", gc, Floats(eye, 4).c_str(),
          Floats(direction, 3).c_str(), Floats(up, 3).c_str());
    return 1;
}

int WINAPI VngSetCameraView(int gc, float right, float left, float top, float bottom, float nearZ, float farZ) {
    const char* error = ContextError(gc);
    Geometry* g = Live(gc);
    if (g) {
        float v[6] = {right, left, top, bottom, nearZ, farZ};
        for (int i = 0; i < 6; i++) g->view[i] = v[i];
    }
    Trace("VngSetCameraView gc=%d right=%.9g left=%.9g top=%.9g bottom=%.9g near=%.9g far=%.9g -> %d%s", gc, right,
          left, top, bottom, nearZ, farZ, g ? 1 : 0, error);
    return g ? 1 : 0;
}

int WINAPI VngGetCameraView(int gc, float* right, float* left, float* top, float* bottom, float* nearZ, float* farZ) {
    const char* error = ContextError(gc);
    Geometry* g = Live(gc);
    if (g) {
        float* out[6] = {right, left, top, bottom, nearZ, farZ};
        for (int i = 0; i < 6; i++)
            if (out[i]) *out[i] = g->view[i];
    }
    Trace("VngGetCameraView gc=%d -> %d%s", gc, g ? 1 : 0, error);
    return g ? 1 : 0;
}

int WINAPI VngSetWindowSize(int gc, int width, int height) {
    const char* error = ContextError(gc);
    Geometry* g = Live(gc);
    if (g) {
        g->windowWidth = width;
        g->windowHeight = height;
    }
    Trace("VngSetWindowSize gc=%d width=%d height=%d -> %d%s", gc, width, height, g ? 1 : 0, error);
    return g ? 1 : 0;
}

int WINAPI VngSetCameraPort(int gc, int right, int left, int bottom, int top) {
    const char* error = ContextError(gc);
    Geometry* g = Live(gc);
    if (g) {
        g->port[0] = right;
        g->port[1] = left;
        g->port[2] = bottom;
        g->port[3] = top;
    }
    Trace("VngSetCameraPort gc=%d right=%d left=%d bottom=%d top=%d -> %d%s", gc, right, left, bottom, top, g ? 1 : 0,
          error);
    return g ? 1 : 0;
}

int WINAPI VngClearStack(int gc) {
    const char* error = ContextError(gc);
    Trace("VngClearStack gc=%d -> %d%s", gc, *error ? 0 : 1, error);
    return *error ? 0 : 1;
}

int WINAPI VngSetLight(int gc, int light, int property, const float* values) {
    const char* error = ContextError(gc);
    Geometry* g = Live(gc);
    if (g && !values) error = " error=null-values";
    if (*error) {
        Trace("VngSetLight gc=%d light=%d property=%d -> 0%s", gc, light, property, error);
        return 0;
    }
    int n = LightFloats(property);
    if (light == 0 && property == 4)
        for (int i = 0; i < 4; i++) g->light0[i] = values[i];
    Trace("VngSetLight gc=%d light=%d property=%d values=%s -> 1", gc, light, property, Floats(values, n).c_str());
    return 1;
}

int WINAPI VngSetMatt(int gc, int material, int property, const float* values) {
    const char* error = ContextError(gc);
    Geometry* g = Live(gc);
    if (g && !values) error = " error=null-values";
    if (*error) {
        Trace("VngSetMatt gc=%d material=%d property=%d -> 0%s", gc, material, property, error);
        return 0;
    }
    Trace("VngSetMatt gc=%d material=%d property=%d values=%s -> 1", gc, material, property,
          Floats(values, MaterialFloats(property)).c_str());
    return 1;
}

int WINAPI VngSetCurrentMatt(int gc, int material) {
    const char* error = ContextError(gc);
    Geometry* g = Live(gc);
    if (g) g->material = material;
    Trace("VngSetCurrentMatt gc=%d material=%d -> %d%s", gc, material, g ? 1 : 0, error);
    return g ? 1 : 0;
}

int WINAPI VngRotateMatrix(float angle, float x, float y, float z, float* matrix) {
    float len = sqrtf(x * x + y * y + z * z);
    const char* error = !matrix ? " error=null-matrix" : len == 0 ? " error=zero-axis" : "";
    if (matrix) {
        float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        if (len > 0) {
            float ax = x / len, ay = y / len, az = z / len;
            float c = cosf(angle), s = sinf(angle), t = 1 - c;
            m[0] = c + ax * ax * t;
            m[1] = ax * ay * t - az * s;
            m[2] = ax * az * t + ay * s;
            m[4] = ay * ax * t + az * s;
            m[5] = c + ay * ay * t;
            m[6] = ay * az * t - ax * s;
            m[8] = az * ax * t - ay * s;
            m[9] = az * ay * t + ax * s;
            m[10] = c + az * az * t;
        }
        for (int i = 0; i < 16; i++) matrix[i] = m[i];
    }
    Trace("VngRotateMatrix angle=%.9g axis=%.9g,%.9g,%.9g -> %d%s", angle, x, y, z, *error ? 0 : 1, error);
    return *error ? 0 : 1;
}

int WINAPI VngPolygonListF(int gc, int kind, int count, const float* vertices, int vertexStride, const float* normals,
                           int normalStride, const float* texCoords, int texCoordStride, const float* colors,
                           int format, const uint16_t* list) {
    const char* error = ContextError(gc);
    Geometry* g = Live(gc);
    int n = list ? list[0] : 0;
    if (!*error && (!list || !vertices || n < 3 || n > 16)) error = " error=bad-list";
    int index[16];
    std::string listText, points;
    for (int i = 0; !*error && i < n; i++) {
        index[i] = list[i + 1];
        if (index[i] >= count) error = " error=bad-index";
    }
    if (!*error && TraceOn()) {
        char b[16];
        snprintf(b, sizeof b, "%d", n);
        listText = b;
        for (int i = 0; i < n; i++) {
            snprintf(b, sizeof b, ",%d", index[i]);
            listText += b;
            points += (i ? ";" : "") + Floats(At(vertices, vertexStride, index[i]), 3);
        }
    }
    Trace(
        "VngPolygonListF gc=%d kind=%d count=%d vstride=%d nstride=%d tstride=%d colors=%p format=%d "
        "list=%s points=%s -> %d%s",
        gc, kind, count, vertexStride, normalStride, texCoordStride, colors, format, listText.c_str(), points.c_str(),
        *error ? 0 : 1, error);
    if (*error) return 0;
    Draw(*g, n, index, vertices, vertexStride, normals, normalStride, texCoords, texCoordStride, true);
    return 1;
}

int WINAPI VngPrimitiveF(int gc, int kind, int count, const float* vertices, int vertexStride, const float* normals,
                         int normalStride, const float* texCoords, int texCoordStride, const float* colors,
                         int format) {
    const char* error = ContextError(gc);
    Geometry* g = Live(gc);
    if (!*error && (!vertices || count < 3 || count > 16)) error = " error=bad-primitive";
    std::string points;
    for (int i = 0; !*error && i < count && TraceOn(); i++)
        points += (i ? ";" : "") + Floats(At(vertices, vertexStride, i), 3);
    Trace(
        "VngPrimitiveF gc=%d kind=%d count=%d vstride=%d nstride=%d tstride=%d colors=%p format=%d "
        "points=%s -> %d%s",
        gc, kind, count, vertexStride, normalStride, texCoordStride, colors, format, points.c_str(), *error ? 0 : 1,
        error);
    if (*error) return 0;
    int index[16];
    for (int i = 0; i < count; i++) index[i] = i;
    Draw(*g, count, index, vertices, vertexStride, normals, normalStride, texCoords, texCoordStride, false);
    return 1;
}

}  // extern "C"
