// Stand-in for the rendering library: keeps a call trace, owns handles and
// texture copies, and draws just enough (clear, textured polygons from the
// geometry stand-in, swap) for a frame to appear in the window.
#include <windows.h>
#include <math.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <map>
#include <string>
#include <vector>
#include "vxn32.h"
#include "vxn32_standin.h"

namespace {

struct Texture {
    int rc;
    int width, height;
    bool freed;
    std::vector<uint32_t> texels;  // as loaded: 0x01BBGGRR, row 0 first
};

struct Context {
    HDC dc;
    bool deleted;
    std::map<int, int> state;
    // Back buffer covering the drawing rectangle (DIB pixels 0x00RRGGBB).
    int x, y, width, height;
    std::vector<uint32_t> pixels;
    std::vector<float> depth;  // 1/z, larger is nearer
};

std::map<int, Context> g_contexts;
std::map<int, Texture> g_textures;
int g_nextContext = 0x10001;
int g_nextTexture = 0x20001;

bool EnvSet(const char* name) {
    char v[16];
    DWORD n = GetEnvironmentVariableA(name, v, sizeof v);
    return n > 0 && n < sizeof v && !(v[0] == '0' && v[1] == 0);
}

// One line per call, appended and closed at once, so the trace is complete
// even when the process dies and tests can change the file between cases.
void Trace(const char* format, ...) {
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("VISTARO_TRACE", path, sizeof path);
    if (n == 0 || n >= sizeof path) return;
    char line[2048];
    va_list args;
    va_start(args, format);
    int len = vsnprintf(line, sizeof line - 1, format, args);
    va_end(args);
    if (len < 0) return;
    if (len > (int)sizeof line - 2) len = sizeof line - 2;
    line[len++] = '\n';
    HANDLE f = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written;
    WriteFile(f, line, len, &written, NULL);
    CloseHandle(f);
}

// " error=..." when rc is not a live context, else "".
const char* ContextError(int rc) {
    auto it = g_contexts.find(rc);
    if (it == g_contexts.end()) return " error=unknown-rc";
    if (it->second.deleted) return " error=deleted-rc";
    return "";
}

Context* LiveContext(int rc) {
    auto it = g_contexts.find(rc);
    return it == g_contexts.end() || it->second.deleted ? nullptr : &it->second;
}

int StateOf(const Context& c, int id) {
    auto it = c.state.find(id);
    return it == c.state.end() ? 0 : it->second;
}

// The drawing rectangle: ids 56-59, or the whole client area before they are set.
void DrawingRect(const Context& c, RECT* r) {
    r->left = StateOf(c, 56);
    r->top = StateOf(c, 57);
    r->right = StateOf(c, 58);
    r->bottom = StateOf(c, 59);
    if (r->right <= r->left || r->bottom <= r->top) {
        SetRectEmpty(r);
        HWND w = c.dc ? WindowFromDC(c.dc) : NULL;
        if (w) GetClientRect(w, r);
    }
}

uint32_t Checksum(const uint32_t* texels, int count) {
    uint32_t h = 2166136261u;  // FNV-1a over the bytes
    const uint8_t* p = (const uint8_t*)texels;
    for (int i = 0; i < count * 4; i++) h = (h ^ p[i]) * 16777619u;
    return h;
}

uint32_t TexelToPixel(uint32_t t) {
    return ((t & 0xff) << 16) | (t & 0xff00) | ((t >> 16) & 0xff);
}

}  // namespace

extern "C" {

int WINAPI VnrCreateRC(HDC dc, int flags) {
    if (EnvSet("VISTARO_VNR_CREATE_FAIL")) {
        Trace("VnrCreateRC dc=%p flags=%d -> 0 failed=switch", dc, flags);
        return 0;
    }
    int rc = g_nextContext++;
    Context& c = g_contexts[rc];
    c.dc = dc;
    c.deleted = false;
    c.x = c.y = c.width = c.height = 0;
    Trace("VnrCreateRC dc=%p flags=%d -> %d", dc, flags, rc);
    return rc;
}

int WINAPI VnrDeleteRC(int rc) {
    const char* error = ContextError(rc);
    int left = 0;
    for (auto& t : g_textures)
        if (t.second.rc == rc && !t.second.freed) left++;
    Context* c = LiveContext(rc);
    if (c) {
        c->deleted = true;
        c->pixels.clear();
        c->depth.clear();
    }
    Trace("VnrDeleteRC rc=%d textures-left=%d -> %d%s", rc, left, c ? 1 : 0, error);
    return c ? 1 : 0;
}

int WINAPI VnrSetState(int rc, int id, int value) {
    const char* error = ContextError(rc);
    Context* c = LiveContext(rc);
    if (c) c->state[id] = value;
    Trace("VnrSetState rc=%d id=%d value=%d -> %d%s", rc, id, value, c ? 1 : 0, error);
    return c ? 1 : 0;
}

int WINAPI VnrClearBuffers(int rc, int buffers) {
    const char* error = ContextError(rc);
    Context* c = LiveContext(rc);
    if (c) {
        RECT r;
        DrawingRect(*c, &r);
        c->x = r.left;
        c->y = r.top;
        c->width = r.right - r.left;
        c->height = r.bottom - r.top;
        uint32_t colour = TexelToPixel((uint32_t)StateOf(*c, 51));
        c->pixels.assign((size_t)c->width * c->height, colour);
        c->depth.assign((size_t)c->width * c->height, 0.0f);
    }
    Trace("VnrClearBuffers rc=%d buffers=%d -> %d%s", rc, buffers, c ? 1 : 0, error);
    return c ? 1 : 0;
}

int WINAPI VnrSwapBuffers(int rc, int flags) {
    const char* error = ContextError(rc);
    Context* c = LiveContext(rc);
    Trace("VnrSwapBuffers rc=%d flags=%d -> %d%s", rc, flags, c ? 1 : 0, error);
    if (!c) return 0;
    if (c->dc && c->width > 0 && c->height > 0) {
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
        bmi.bmiHeader.biWidth = c->width;
        bmi.bmiHeader.biHeight = -c->height;  // top row first
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        SetDIBitsToDevice(c->dc, c->x, c->y, c->width, c->height, 0, 0, 0, c->height, c->pixels.data(),
                          &bmi, DIB_RGB_COLORS);
        GdiFlush();
    }
    return 1;
}

int WINAPI VnrNewTexture(int rc, int kind, int bits, int width, int height) {
    const char* error = ContextError(rc);
    if (!*error && (width <= 0 || height <= 0 || width > 1024 || height > 1024 || (width & (width - 1)) ||
                    (height & (height - 1))))
        error = " error=bad-size";
    int handle = 0;
    if (!*error) {
        handle = g_nextTexture++;
        Texture& t = g_textures[handle];
        t.rc = rc;
        t.width = width;
        t.height = height;
        t.freed = false;
        t.texels.assign((size_t)width * height, 0);
    }
    Trace("VnrNewTexture rc=%d kind=%d bits=%d width=%d height=%d -> %d%s", rc, kind, bits, width, height,
          handle, error);
    return handle;
}

int WINAPI VnrLoadTexture(int rc, int kind, int bits, int level, int width, int height, unsigned short pitch,
                          int texture, int face, const void* texels) {
    const char* error = ContextError(rc);
    auto it = g_textures.find(texture);
    if (*error) {
    } else if (it == g_textures.end()) {
        error = " error=unknown-texture";
    } else if (it->second.freed) {
        error = " error=freed-texture";
    } else if (width != it->second.width || height != it->second.height) {
        error = " error=size-mismatch";
    } else if (!texels) {
        error = " error=null-texels";
    } else if (pitch < width * 4) {
        error = " error=bad-pitch";
    }
    uint32_t sum = 0;
    if (!*error) {
        Texture& t = it->second;
        for (int y = 0; y < height; y++)
            memcpy(&t.texels[(size_t)y * width], (const uint8_t*)texels + (size_t)y * pitch, (size_t)width * 4);
        sum = Checksum(t.texels.data(), width * height);
    }
    Trace("VnrLoadTexture rc=%d kind=%d bits=%d level=%d width=%d height=%d pitch=%u texture=%d face=%d "
          "texels=%p sum=0x%08x -> %d%s",
          rc, kind, bits, level, width, height, (unsigned)pitch, texture, face, texels, sum, *error ? 0 : 1,
          error);
    return *error ? 0 : 1;
}

int WINAPI VnrFreeTexture(int rc, int texture) {
    const char* error = ContextError(rc);
    auto it = g_textures.find(texture);
    if (it == g_textures.end())
        error = " error=unknown-texture";
    else if (it->second.freed)
        error = " error=double-free";
    else if (!*error && it->second.rc != rc)
        error = " error=wrong-rc";
    bool ok = !*error;
    if (ok) {
        it->second.freed = true;
        it->second.texels.clear();
        it->second.texels.shrink_to_fit();
    }
    Trace("VnrFreeTexture rc=%d texture=%d -> %d%s", rc, texture, ok ? 1 : 0, error);
    return ok ? 1 : 0;
}

// ---- for the geometry stand-in and tests ----

void WINAPI VnrStandinTrace(const char* line) { Trace("%s", line); }

const uint32_t* WINAPI VnrStandinTexels(int texture, int* width, int* height) {
    auto it = g_textures.find(texture);
    if (it == g_textures.end() || it->second.freed) return nullptr;
    if (width) *width = it->second.width;
    if (height) *height = it->second.height;
    return it->second.texels.data();
}

int WINAPI VnrStandinDrawPolygon(int rc, int count, const StandinVertex* v, int textured, float intensity) {
    Context* c = LiveContext(rc);
    if (!c || count < 3 || c->width <= 0 || c->height <= 0) return 0;
    const Texture* tex = nullptr;
    if (textured) {
        auto it = g_textures.find(StateOf(*c, 55));
        if (it != g_textures.end() && !it->second.freed && it->second.rc == rc) tex = &it->second;
    }
    if (intensity < 0) intensity = 0;
    if (intensity > 1) intensity = 1;
    unsigned level = (unsigned)(intensity * 256.0f);
    // A fan of triangles, each filled by its barycentric coordinates, with
    // perspective-correct texture coordinates and a 1/z depth test.
    for (int k = 1; k + 1 < count; k++) {
        const StandinVertex* p[3] = {&v[0], &v[k], &v[k + 1]};
        float x[3], y[3];
        for (int i = 0; i < 3; i++) {
            x[i] = p[i]->x - c->x;
            y[i] = p[i]->y - c->y;
        }
        float area = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
        if (fabsf(area) < 1e-6f) continue;
        int x0 = (int)floorf(fminf(x[0], fminf(x[1], x[2])));
        int x1 = (int)ceilf(fmaxf(x[0], fmaxf(x[1], x[2])));
        int y0 = (int)floorf(fminf(y[0], fminf(y[1], y[2])));
        int y1 = (int)ceilf(fmaxf(y[0], fmaxf(y[1], y[2])));
        if (x0 < 0) x0 = 0;
        if (y0 < 0) y0 = 0;
        if (x1 > c->width) x1 = c->width;
        if (y1 > c->height) y1 = c->height;
        for (int py = y0; py < y1; py++) {
            for (int px = x0; px < x1; px++) {
                float sx = px + 0.5f, sy = py + 0.5f;
                float w0 = ((x[1] - sx) * (y[2] - sy) - (x[2] - sx) * (y[1] - sy)) / area;
                float w1 = ((x[2] - sx) * (y[0] - sy) - (x[0] - sx) * (y[2] - sy)) / area;
                float w2 = 1.0f - w0 - w1;
                if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                float iz = w0 * p[0]->invZ + w1 * p[1]->invZ + w2 * p[2]->invZ;
                size_t at = (size_t)py * c->width + px;
                if (iz <= c->depth[at]) continue;
                uint32_t pixel = 0xffffff;
                if (tex) {
                    float u = (w0 * p[0]->u * p[0]->invZ + w1 * p[1]->u * p[1]->invZ + w2 * p[2]->u * p[2]->invZ) / iz;
                    float t = (w0 * p[0]->v * p[0]->invZ + w1 * p[1]->v * p[1]->invZ + w2 * p[2]->v * p[2]->invZ) / iz;
                    int tx = (int)(u * tex->width), ty = (int)(t * tex->height);
                    tx = tx < 0 ? 0 : tx >= tex->width ? tex->width - 1 : tx;
                    ty = ty < 0 ? 0 : ty >= tex->height ? tex->height - 1 : ty;
                    pixel = TexelToPixel(tex->texels[(size_t)ty * tex->width + tx]);
                }
                if (level < 256) {
                    uint32_t r = ((pixel >> 16) & 0xff) * level >> 8, g = ((pixel >> 8) & 0xff) * level >> 8,
                             b = (pixel & 0xff) * level >> 8;
                    pixel = (r << 16) | (g << 8) | b;
                }
                c->depth[at] = iz;
                c->pixels[at] = pixel;
            }
        }
    }
    return 1;
}

}  // extern "C"
