// Stand-in for the rendering library: keeps a call trace, owns handles and
// texture copies, and draws the frames through the driver module
// rastrel.vxn: it fills the device description, makes a driver context with
// back and depth buffers for the engine's window, validates it after every
// state change and calls its procedure table to set colours, clear, draw
// trapezoids and present.
#include <windows.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <map>
#include <string>
#include <vector>
#include "library.h"
#include "vxn32.h"
#include "vxn32_standin.h"

using vxnlib::LibContext;

namespace {

struct Texture {
    int rc;
    int width, height;
    bool freed;
    std::vector<uint32_t> texels;    // as loaded: 0x01BBGGRR, row 0 first
    std::vector<uint16_t> texels15;  // as the driver reads them
    DevTexture dev;
};

struct Context {
    HDC dc;
    bool deleted;
    std::map<int, int> state;
    uint32_t enabled;
    LibContext* lib;             // null without a window or a driver
    HPALETTE palette;            // 8-bit GDI path
    RECT client;                 // client area the buffers were made for
    POINT origin;                // its top-left corner on the screen
    DevSetColorProc colourProc;  // set-colour routine the patterns were made with
    uint32_t patternState;       // state bits the patterns depend on
    bool drawColourSet, clearColourSet;
};

std::map<int, Context> g_contexts;

// Time spent in each step of the frames, for the frame benchmark.
StandinFrameTimes g_times;
LARGE_INTEGER Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}
void Add(double* sum, LARGE_INTEGER since) {
    LARGE_INTEGER f, now = Now();
    QueryPerformanceFrequency(&f);
    *sum += static_cast<double>(now.QuadPart - since.QuadPart) / static_cast<double>(f.QuadPart);
}
std::map<int, Texture> g_textures;
int g_nextContext = 0x10001;
const int kFirstTexture = 0x20001;
int g_nextTexture = kFirstTexture;

// Handles are never reused, so a handle that was given out and has no
// record any more was freed: a freed texture keeps nothing behind.
bool Issued(int texture) { return texture >= kFirstTexture && texture < g_nextTexture; }

// The driver module, shared by the contexts of this process.
struct Driver {
    HMODULE module;
    vxnlib::DriverExports e;
    DeviceInfo info;
    int users;
} g_driver;

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
    if (len > static_cast<int>(sizeof line) - 2) len = sizeof line - 2;
    line[len++] = '\n';
    HANDLE f = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written;
    WriteFile(f, line, len, &written, nullptr);
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

int StateOf(const Context& c, int id, int otherwise = 0) {
    auto it = c.state.find(id);
    return it == c.state.end() ? otherwise : it->second;
}

uint32_t Checksum(const uint32_t* texels, int count) {
    uint32_t h = 2166136261u;  // FNV-1a over the bytes
    const uint8_t* p = reinterpret_cast<const uint8_t*>(texels);
    for (int i = 0; i < count * 4; i++) h = (h ^ p[i]) * 16777619u;
    return h;
}

// 0x01BBGGRR to the driver's 15-bit texel.
uint16_t Texel15(uint32_t t) {
    return static_cast<uint16_t>(((t & 0xff) >> 3) | (((t >> 8) & 0xff) >> 3) << 5 | (((t >> 16) & 0xff) >> 3) << 10);
}

// With VISTARO_SHOW_CAPTURE naming a file, the window's client area after
// the frame VISTARO_SHOW_CAPTURE_FRAME (20 by default) is written there as
// a 24-bit BMP, read from inside this process: on a palette display Wine
// keeps the process's own mapping of palette entries to X pixels, which
// neither an X screen dump nor another process reads the same way.
void CaptureWindow(const Context& c) {
    static bool done;
    char path[MAX_PATH], count[16];
    DWORD n = GetEnvironmentVariableA("VISTARO_SHOW_CAPTURE", path, sizeof path);
    if (done || n == 0 || n >= sizeof path) return;
    DWORD k = GetEnvironmentVariableA("VISTARO_SHOW_CAPTURE_FRAME", count, sizeof count);
    const int after = k > 0 && k < sizeof count ? atoi(count) : 20;
    if (g_times.frames < after) return;
    done = true;
    const int width = c.client.right, height = c.client.bottom;
    if (width <= 0 || height <= 0) return;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;  // bottom-up, as a BMP file stores it
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(c.dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return;
    HDC memory = CreateCompatibleDC(c.dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, c.dc, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u, imageBytes = rowBytes * height;
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4d42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + imageBytes;
    // Written beside it and renamed, so a reader never sees half a file.
    const std::string part = std::string(path) + ".part";
    HANDLE f = CreateFileA(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        DWORD written;
        BOOL ok = WriteFile(f, &fh, sizeof fh, &written, nullptr) &&
                  WriteFile(f, &bi.bmiHeader, sizeof bi.bmiHeader, &written, nullptr) &&
                  WriteFile(f, bits, imageBytes, &written, nullptr);
        CloseHandle(f);
        if (!ok || !MoveFileExA(part.c_str(), path, MOVEFILE_REPLACE_EXISTING)) DeleteFileA(part.c_str());
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
}

// ---- the driver ----

bool DriverUp() {
    if (g_driver.users > 0) {
        ++g_driver.users;
        return true;
    }
    if (!g_driver.module) {
        g_driver.module = LoadLibraryA((vxnlib::ProgramFolder() + "rastrel.vxn").c_str());
        g_driver.e = vxnlib::ExportsOf(g_driver.module);
    }
    if (!g_driver.e.complete()) return false;
    g_driver.info = vxnlib::DisplayDevice();
    g_driver.e.initialize(&g_driver.info);
    g_driver.users = 1;
    return true;
}

void DriverDown() {
    if (g_driver.users > 0 && --g_driver.users == 0) g_driver.e.terminate();
}

bool Direct() { return g_driver.info.devCaps == DEV_DEVCAPS_DIRECT; }

// ---- the context record ----

uint32_t StateWord(const Context& c) {
    const uint32_t en = c.enabled;
    uint32_t s = 0;
    if (en & VNR_FEATURE_DEPTH) s |= DEV_DEPTH;
    if (en & VNR_FEATURE_DITHER) s |= DEV_DITHER;
    if (en & VNR_FEATURE_TEXTURE) {
        s |= DEV_TEXTURE;
        if (en & VNR_FEATURE_COLORKEY) s |= DEV_COLORKEY;
        if (!(en & VNR_FEATURE_PERSPECTIVE)) s |= DEV_AFFINE;
        // Lit textures take their light from the edges.
        if (en & VNR_FEATURE_LIGHTING) s |= DEV_MODULATE | DEV_SMOOTH;
    }
    return s;
}

DevTexture* CurrentTexture(const Context& c) {
    auto it = g_textures.find(StateOf(c, VNR_TEXTURE));
    if (it == g_textures.end() || it->second.freed) return nullptr;
    return &it->second.dev;
}

// The drawing rectangle (VNR_RECT_*) inside the client area, or the whole
// client area before it is set.
DevRect16 DrawingRect(const Context& c) {
    const int w = c.client.right, h = c.client.bottom;
    int x0 = StateOf(c, VNR_RECT_LEFT), y0 = StateOf(c, VNR_RECT_TOP), x1 = StateOf(c, VNR_RECT_RIGHT),
        y1 = StateOf(c, VNR_RECT_BOTTOM);
    if (x1 <= x0 || y1 <= y0) x0 = 0, y0 = 0, x1 = w, y1 = h;
    x0 = x0 < 0 ? 0 : x0 > w ? w : x0;
    x1 = x1 < x0 ? x0 : x1 > w ? w : x1;
    y0 = y0 < 0 ? 0 : y0 > h ? h : y0;
    y1 = y1 < y0 ? y0 : y1 > h ? h : y1;
    return DevRect16{static_cast<int16_t>(x0), static_cast<int16_t>(y0), static_cast<int16_t>(x1),
                     static_cast<int16_t>(y1)};
}

// Validates after a change of what the driver's routines depend on, and
// remakes the colour patterns when their form may have changed.
void Validate(Context& c) {
    if (!c.lib) return;
    DevContext* d = &c.lib->dev;
    d->state = StateWord(c);
    // The compare and the lighting mode reach the driver as they are.
    static_assert(VNR_LIGHT_MR == DEV_LIGHT_MR && VNR_LIGHT_MM == DEV_LIGHT_MM && VNR_LIGHT_MS == DEV_LIGHT_MS, "");
    d->depthFunc = static_cast<uint8_t>(StateOf(c, VNR_DEPTH_COMPARE, VNR_DEPTH_LESS_EQUAL));
    d->lightMode = static_cast<uint8_t>(StateOf(c, VNR_LIGHT_MODE, VNR_LIGHT_MM));
    d->texture = CurrentTexture(c);
    d->update = DrawingRect(c);
    g_driver.e.contextValidate(d);
    DevSetColorProc proc = reinterpret_cast<DevSetColorProc>(vxnlib::SlotOf(d, DEV_SLOT_SETCOLOR));
    const uint32_t patternState = d->state & (DEV_DITHER | DEV_COLORINDEX);
    if (proc != c.colourProc || patternState != c.patternState) {
        c.colourProc = proc;
        c.patternState = patternState;
        c.drawColourSet = c.clearColourSet = false;
    }
}

void SetColours(Context& c) {
    DevContext* d = &c.lib->dev;
    if (!c.clearColourSet) {
        c.colourProc(d, static_cast<uint32_t>(StateOf(c, VNR_CLEAR_COLOR)), 0, 0, 0, 0, d->clearPattern);
        c.clearColourSet = true;
    }
    if (!c.drawColourSet) {
        c.colourProc(d, static_cast<uint32_t>(StateOf(c, VNR_DRAW_COLOR, 0xffffff)), 0, 0, 0, 0, d->fillPattern);
        c.drawColourSet = true;
    }
}

void SetPalette(Context& c) {
    if (g_driver.info.bitsPerPixel != 8) return;
    struct {
        WORD version, count;
        PALETTEENTRY entries[256];
    } lp;
    lp.version = 0x300;
    lp.count = 256;
    for (int i = 0; i < 256; ++i) {
        vxnlib::CubeColour(static_cast<uint32_t>(i - g_driver.info.paletteBase) & 0xff, &lp.entries[i].peRed,
                           &lp.entries[i].peGreen, &lp.entries[i].peBlue);
        lp.entries[i].peFlags = 0;
    }
    c.palette = CreatePalette(reinterpret_cast<LOGPALETTE*>(&lp));
    SelectPalette(c.dc, c.palette, FALSE);
    RealizePalette(c.dc);
    if (!Direct()) return;
    // The direct path writes into the display's own palette entries: the
    // cube's indices go through the translation tables to the entries the
    // realised palette landed on.
    PALETTEENTRY system[256];
    GetSystemPaletteEntries(c.dc, 0, 256, system);
    LibContext* l = c.lib;
    for (int i = 0; i < 256; ++i) {
        int best = 0, bestDistance = 1 << 30;
        for (int k = 0; k < 256; ++k) {
            int dr = system[k].peRed - lp.entries[i].peRed, dg = system[k].peGreen - lp.entries[i].peGreen,
                db = system[k].peBlue - lp.entries[i].peBlue;
            int distance = dr * dr + dg * dg + db * db;
            if (distance < bestDistance) best = k, bestDistance = distance;
        }
        l->translate8[i] = static_cast<uint8_t>(best);
    }
    for (int p = 0; p < 65536; ++p)
        l->translate16[p] = static_cast<uint16_t>(l->translate8[p & 0xff] | l->translate8[p >> 8] << 8);
    l->dev.translate = 1;
    l->dev.translate8 = l->translate8;
    l->dev.translate16 = l->translate16;
}

// The library's own depth buffer on the GDI path (the driver makes none there).
void GdiDepth(Context& c) {
    LibContext* l = c.lib;
    DevBuffer& z = l->dev.depth;
    delete[] l->depthMemory;
    const uint32_t w = c.client.right > 0 ? c.client.right : 1, h = c.client.bottom > 0 ? c.client.bottom : 1;
    l->depthMemory = new uint16_t[w * h];
    memset(&z, 0, sizeof z);
    z.bits = z.bitsCopy = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(l->depthMemory));
    z.width = static_cast<uint16_t>(w);
    z.height = z.rows = static_cast<uint16_t>(h);
    z.bitsPerPixel = 16;
    z.pitch = static_cast<int16_t>(2 * w);
    z.flags = DEVBUF_CALLER_MEMORY | DEV_BUFFER_DEPTH | DEVBUF_VALID;
}

void ReadWindow(Context& c, RECT* client, POINT* origin) {
    HWND w = WindowFromDC(c.dc);
    SetRectEmpty(client);
    origin->x = origin->y = 0;
    if (w) {
        GetClientRect(w, client);
        ClientToScreen(w, origin);
    }
}

void PlaceWindow(Context& c) {
    DevContext* d = &c.lib->dev;
    d->window = DevRect16{static_cast<int16_t>(c.origin.x), static_cast<int16_t>(c.origin.y),
                          static_cast<int16_t>(c.origin.x + c.client.right),
                          static_cast<int16_t>(c.origin.y + c.client.bottom)};
    // Without a window watch the library keeps the visible list: the window.
    d->clipCount = 1;
    d->clipRects[0] = DevRect16{0, 0, static_cast<int16_t>(c.client.right), static_cast<int16_t>(c.client.bottom)};
}

void DEVPROC ClipChanged(DevContext*) {}

void MakeDriverContext(Context& c) {
    if (!c.dc || !WindowFromDC(c.dc) || !DriverUp()) return;
    LibContext* l = vxnlib::NewContext();
    if (!l) {
        DriverDown();
        return;
    }
    c.lib = l;
    const DeviceInfo& info = g_driver.info;
    l->format.Init(info.bytesPerPixel, info.redMask, info.greenMask, info.blueMask, info.paletteBase);
    DevContext* d = &l->dev;
    d->hdc = c.dc;
    d->depthClear = 0xffffffff;
    d->clipChanged = ClipChanged;
    ReadWindow(c, &c.client, &c.origin);
    PlaceWindow(c);
    g_driver.e.contextCreate(d);
    d->state = StateWord(c);
    g_driver.e.bufferCreate(d, DEV_BUFFER_FRONT | DEV_BUFFER_BACK | DEV_BUFFER_DEPTH);
    if (!Direct()) GdiDepth(c);
    g_driver.e.contextSwitch(d, 1);
    SetPalette(c);
    Validate(c);
}

void DeleteDriverContext(Context& c) {
    if (!c.lib) return;
    DevContext* d = &c.lib->dev;
    g_driver.e.bufferDelete(d, DEV_BUFFER_FRONT | DEV_BUFFER_BACK | DEV_BUFFER_DEPTH);
    g_driver.e.contextDelete(d);
    vxnlib::FreeContext(c.lib);
    c.lib = nullptr;
    if (c.palette) DeleteObject(c.palette);
    c.palette = nullptr;
    DriverDown();
}

// Follows the window: new buffers for a new size, a new place for a move.
void FollowWindow(Context& c) {
    RECT client;
    POINT origin;
    ReadWindow(c, &client, &origin);
    DevContext* d = &c.lib->dev;
    const uint32_t all = DEV_BUFFER_FRONT | DEV_BUFFER_BACK | DEV_BUFFER_DEPTH;
    const bool resized = client.right != c.client.right || client.bottom != c.client.bottom;
    const bool moved = origin.x != c.origin.x || origin.y != c.origin.y;
    if (!resized && !moved) return;
    c.client = client;
    c.origin = origin;
    PlaceWindow(c);
    g_driver.e.bufferResize(d, all, (resized ? DEV_RESIZE_SIZED : 0) | (moved ? DEV_RESIZE_MOVED : 0));
    if (resized && !Direct()) GdiDepth(c);
    g_driver.e.bufferNotify(d, all, 0);
    g_driver.e.contextSwitch(d, 1);
    Validate(c);
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
    c = Context();
    c.dc = dc;
    MakeDriverContext(c);
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
        DeleteDriverContext(*c);
        c->deleted = true;
    }
    Trace("VnrDeleteRC rc=%d textures-left=%d -> %d%s", rc, left, c ? 1 : 0, error);
    return c ? 1 : 0;
}

int WINAPI VnrSetState(int rc, int id, int value) {
    const char* error = ContextError(rc);
    Context* c = LiveContext(rc);
    if (c) {
        c->state[id] = value;
        if (id == VNR_ENABLE) c->enabled |= static_cast<uint32_t>(value);
        if (id == VNR_DISABLE) c->enabled &= ~static_cast<uint32_t>(value);
        if (id == VNR_DRAW_COLOR) c->drawColourSet = false;
        if (id == VNR_CLEAR_COLOR) c->clearColourSet = false;
        if (id != VNR_DRAW_COLOR && id != VNR_CLEAR_COLOR) Validate(*c);
    }
    Trace("VnrSetState rc=%d id=%d value=%d -> %d%s", rc, id, value, c ? 1 : 0, error);
    return c ? 1 : 0;
}

int WINAPI VnrClearBuffers(int rc, int buffers) {
    const char* error = ContextError(rc);
    Context* c = LiveContext(rc);
    if (c && c->lib) {
        LARGE_INTEGER start = Now();
        FollowWindow(*c);
        SetColours(*c);
        DevContext* d = &c->lib->dev;
        reinterpret_cast<DevClearProc>(vxnlib::SlotOf(d, DEV_SLOT_CLEAR))(d, DEV_CLEAR_COLOR | DEV_BUFFER_DEPTH);
        Add(&g_times.clear, start);
    }
    Trace("VnrClearBuffers rc=%d buffers=%d -> %d%s", rc, buffers, c ? 1 : 0, error);
    return c ? 1 : 0;
}

int WINAPI VnrSwapBuffers(int rc, int flags) {
    const char* error = ContextError(rc);
    Context* c = LiveContext(rc);
    Trace("VnrSwapBuffers rc=%d flags=%d -> %d%s", rc, flags, c ? 1 : 0, error);
    if (!c) return 0;
    if (c->lib) {
        LARGE_INTEGER start = Now();
        DevContext* d = &c->lib->dev;
        reinterpret_cast<DevPresentProc>(vxnlib::SlotOf(d, DEV_SLOT_PRESENT))(d);
        GdiFlush();
        Add(&g_times.present, start);
        g_times.frames++;
        CaptureWindow(*c);
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
        t.texels.assign(static_cast<size_t>(width) * height, 0);
        t.texels15.assign(static_cast<size_t>(width) * height, 0);
        memset(&t.dev, 0, sizeof t.dev);
        t.dev.texels = t.texels15.data();
        t.dev.addressMode = TEXADDR_POW2;
        t.dev.rowShift = static_cast<uint8_t>(vxnlib::HighestBit(static_cast<uint32_t>(width)));
        t.dev.width = static_cast<uint32_t>(width);
        t.dev.height = static_cast<uint32_t>(height);
        t.dev.uMask = (static_cast<uint32_t>(width - 1) << 21) | 0x1fffff;
        t.dev.vMask = (static_cast<uint32_t>(height - 1) << 21) | 0x1fffff;
    }
    Trace("VnrNewTexture rc=%d kind=%d bits=%d width=%d height=%d -> %d%s", rc, kind, bits, width, height, handle,
          error);
    return handle;
}

int WINAPI VnrLoadTexture(int rc, int kind, int bits, int level, int width, int height, unsigned short pitch,
                          int texture, int face, const void* texels) {
    const char* error = ContextError(rc);
    auto it = g_textures.find(texture);
    if (*error) {
    } else if (it == g_textures.end()) {
        error = Issued(texture) ? " error=freed-texture" : " error=unknown-texture";
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
            memcpy(&t.texels[static_cast<size_t>(y) * width],
                   static_cast<const uint8_t*>(texels) + static_cast<size_t>(y) * pitch,
                   static_cast<size_t>(width) * 4);
        for (size_t i = 0; i < t.texels.size(); ++i) t.texels15[i] = Texel15(t.texels[i]);
        sum = Checksum(t.texels.data(), width * height);
    }
    Trace(
        "VnrLoadTexture rc=%d kind=%d bits=%d level=%d width=%d height=%d pitch=%u texture=%d face=%d "
        "texels=%p sum=0x%08x -> %d%s",
        rc, kind, bits, level, width, height, static_cast<unsigned>(pitch), texture, face, texels, sum, *error ? 0 : 1,
        error);
    return *error ? 0 : 1;
}

int WINAPI VnrFreeTexture(int rc, int texture) {
    const char* error = ContextError(rc);
    auto it = g_textures.find(texture);
    if (it == g_textures.end())
        error = Issued(texture) ? " error=double-free" : " error=unknown-texture";
    else if (it->second.freed)
        error = " error=double-free";
    else if (!*error && it->second.rc != rc)
        error = " error=wrong-rc";
    bool ok = !*error;
    if (ok) {
        it->second.freed = true;
        // A context still drawing with it gets no texture.
        for (auto& c : g_contexts)
            if (c.second.lib && c.second.lib->dev.texture == &it->second.dev) Validate(c.second);
        g_textures.erase(it);
    }
    Trace("VnrFreeTexture rc=%d texture=%d -> %d%s", rc, texture, ok ? 1 : 0, error);
    return ok ? 1 : 0;
}

// ---- for the geometry stand-in and tests ----

void WINAPI VnrStandinTrace(const char* line) { Trace("%s", line); }

void WINAPI VnrStandinTimes(StandinFrameTimes* out, int reset) {
    if (out) *out = g_times;
    if (reset) g_times = StandinFrameTimes();
}

DevContext* WINAPI VnrStandinDevContext(int rc) {
    Context* c = LiveContext(rc);
    return c && c->lib ? &c->lib->dev : nullptr;
}

const uint32_t* WINAPI VnrStandinTexels(int texture, int* width, int* height) {
    auto it = g_textures.find(texture);
    if (it == g_textures.end() || it->second.freed) return nullptr;
    if (width) *width = it->second.width;
    if (height) *height = it->second.height;
    return it->second.texels.data();
}

int WINAPI VnrStandinDrawPolygon(int rc, int count, const StandinVertex* v, int textured, float intensity) {
    Context* c = LiveContext(rc);
    if (!c || !c->lib || count < 3 || count > vxnlib::kMaxPolygon - 8) return 0;
    LARGE_INTEGER start = Now();
    DevContext* d = &c->lib->dev;
    SetColours(*c);
    const bool stateTextured = (d->state & DEV_TEXTURE) != 0;
    // A textured state draws only polygons that carry a texture of their own.
    if (stateTextured && (!textured || !d->texture)) return 0;
    if (intensity < 0) intensity = 0;
    if (intensity > 1) intensity = 1;
    vxnlib::SetupState s = {};
    s.textured = stateTextured;
    s.perspective = !(d->state & DEV_AFFINE);
    s.lit = (d->state & DEV_MODULATE) != 0;
    s.smooth = (d->state & DEV_SMOOTH) != 0;
    s.lightMode = d->lightMode;
    if (d->texture) {
        s.textureWidth = d->texture->width;
        s.textureHeight = d->texture->height;
    }
    // Inside the drawing rectangle and the back buffer.
    s.clip[0] = d->update.x0;
    s.clip[1] = d->update.y0;
    s.clip[2] = d->update.x1 < d->back.width ? d->update.x1 : d->back.width;
    s.clip[3] = d->update.y1 < d->back.height ? d->update.y1 : d->back.height;
    vxnlib::ScreenVertex sv[vxnlib::kMaxPolygon];
    for (int i = 0; i < count; ++i) {
        sv[i].x = v[i].x;
        sv[i].y = v[i].y;
        sv[i].depth = v[i].depth;
        sv[i].invW = v[i].invZ;
        sv[i].uw = v[i].u * v[i].invZ;
        sv[i].vw = v[i].v * v[i].invZ;
        sv[i].light = s.lit ? intensity : 1.0f;
    }
    DevTrapezoidsProc draw = reinterpret_cast<DevTrapezoidsProc>(vxnlib::SlotOf(d, DEV_SLOT_TRAPEZOIDS));
    double raster = 0;
    vxnlib::SetupPolygon(s, sv, count, [&](DevTrapEdge* l, DevTrapEdge* r, DevTrapGradients* g) {
        LARGE_INTEGER t = Now();
        draw(d, l, r, g);
        Add(&raster, t);
    });
    g_times.raster += raster;
    Add(&g_times.setup, start);
    g_times.setup -= raster;
    return 1;
}

}  // extern "C"
