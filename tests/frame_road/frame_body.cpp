// The saver's own frame, drawn by the engine through the rendering and
// geometry stand-ins and the driver module, read back from the screen.
// frame_road.sh runs it on Xvfb screens of several depths, as itself (the
// GDI path Wine gives) and as a copy that Wine shows Windows 95 (the direct
// path on the stand-in DCI provider), and compares the frames it writes.
#include <gtest/gtest.h>
#include <math.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

#include "calltrace.h"
#include "frame/records.h"
#include "messagelog.h"
#include "msgbox.h"
#include "picturefiles.h"
#include "scene.h"
#include "frame/select.h"
#include "settings.h"
#include "testsupport.h"
#include "vistaro.h"
#include "vxg32.h"
#include "vxn32_standin.h"

namespace {

const int kWidth = 640, kHeight = 480;

// Colour q of face f's picture: pure colours, so that every depth shows
// each channel either off or fully on.
uint32_t QuadrantColour(int face, int q) {
    static const uint32_t pure[7] = {0xff0000, 0x00ff00, 0x0000ff, 0xffff00, 0x00ffff, 0xff00ff, 0xffffff};
    return pure[(face * 3 + q * 2) % 7];
}

bool Direct() { return (GetVersion() & 0x80000000u) != 0; }

// The bits per pixel the run is named for (FRAME_BITS): its back buffer
// must have them, or the run drew with another family than its name says.
int NamedBits() {
    char v[8];
    DWORD n = GetEnvironmentVariableA("FRAME_BITS", v, sizeof v);
    return n > 0 && n < sizeof v ? atoi(v) : 0;
}

// The driver's family for a back buffer's depth.
const DevFamily* FamilyOf(int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 8: return &g_bpp08Family;
    case 16: return &g_bpp16Family;
    case 24: return &g_bpp24Family;
    case 32: return &g_bpp32Family;
    default: return nullptr;
    }
}

// What the selector installs in the trapezoid slot: the routine the
// family's variant table names for the state's key (and, with
// DEV_MODULATE, the lighting mode), or the forwarder to the library where
// the table has none and for the states the driver leaves to the library
// (a bit of DEV_GENERIC_MASK, a depth compare other than 1 and 3).
std::string TableRoutine(const DevFamily& family, uint32_t state, uint32_t depthFunc, uint32_t light) {
    if (state & DEV_GENERIC_MASK) return "generic";
    if ((state & DEV_DEPTH) && depthFunc != 1 && depthFunc != 3) return "generic";
    const uint32_t key = state & ((state & DEV_TEXTURE) ? family.texturedKeyMask : family.untexturedKeyMask);
    for (uint32_t i = 0; i < family.variantCount; ++i) {
        const DevTrapVariant& v = family.variants[i];
        if (v.key == key && (!(key & DEV_MODULATE) || v.lightMode == light)) return v.name;
    }
    return "generic";
}

struct Rgb {
    int r, g, b;
};

// The screen's pixels of the window, read back as 8-bit channels.
std::vector<uint32_t> Capture(HWND w) {
    std::vector<uint32_t> pixels((size_t)kWidth * kHeight);
    HDC dc = GetDC(w);
    HDC mem = CreateCompatibleDC(dc);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = kWidth;
    bi.bmiHeader.biHeight = -kHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP b = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, b);
    BitBlt(mem, 0, 0, kWidth, kHeight, dc, 0, 0, SRCCOPY);
    GdiFlush();
    memcpy(pixels.data(), bits, pixels.size() * 4);
    SelectObject(mem, old);
    DeleteObject(b);
    DeleteDC(mem);
    ReleaseDC(w, dc);
    for (auto& p : pixels) p &= 0xffffff;
    return pixels;
}

Rgb At(const std::vector<uint32_t>& px, int x, int y) {
    uint32_t p = px[(size_t)y * kWidth + x];
    return Rgb{(int)(p >> 16) & 0xff, (int)(p >> 8) & 0xff, (int)p & 0xff};
}

// Channel of a texel or pixel read as off (0), on (1), or neither (-1).
int Level(int c, int low, int high) { return c <= low ? 0 : c >= high ? 1 : -1; }

class SaverFrame : public testing::Test {
protected:
    void SetUp() override {
        oldBox_ = g_messageBox;
        g_messageBox = testsupport::MessageLog::Record;
        g_hinst = GetModuleHandleA(nullptr);
        std::string ini = "[files]\r\n";
        for (int f = 0; f < 6; ++f) {
            testsupport::BmpSpec bmp;
            bmp.width = bmp.height = 64;
            bmp.pixel = [f](int x, int y) { return QuadrantColour(f, (y >= 32) * 2 + (x >= 32)); };
            std::string path = dir_.file("face" + std::to_string(f) + ".bmp");
            testsupport::WriteFile(path, testsupport::MakeBmp(bmp));
            ini += "file" + std::to_string(f + 1) + "=" + path + "\r\n";
        }
        ini += "[options]\r\ntitle=Frame\r\nstars=1\r\nshade=0\r\nspinning=1\r\norbiting=0\r\n"
               "bigness=6\r\nnumStars=60\r\nspeed=6\r\n";
        testsupport::WriteFile(dir_.file("vistaro.ini"), ini);
        delete[] g_settings.installDir;
        g_settings.installDir = new char[dir_.path().size() + 1];
        strcpy(g_settings.installDir, dir_.path().c_str());

        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
        wc.lpszClassName = "SaverFrameWindow";
        RegisterClassA(&wc);
        window_ = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight,
                                  nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(nullptr, window_);
        UpdateWindow(window_);
        Pump();
        g_hdc = GetDC(window_);
        ASSERT_EQ(1, InitScene(window_, g_hdc, &g_settings));
        ASSERT_NE(0, g_rc);
        // The same stars on every run, so that two runs draw the same frame.
        for (int i = 0; i < 100; ++i)
            MakeStar((float)((i * 37) % 100) / 100, (float)((i * 61) % 100) / 100, (float)((i * 13) % 100) / 100,
                     g_stars[i]);
    }
    void TearDown() override {
        FreeScene(&g_rc, &g_gc, &g_settings);
        ReleaseDC(window_, g_hdc);
        DestroyWindow(window_);
        g_messageBox = oldBox_;
    }
    static void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }

public:
    // Where the geometry stand-in puts a point of the scene on the screen.
    bool Project(const float p[3], float* sx, float* sy) const {
        float v[6];
        VngGetCameraView(g_gc, &v[0], &v[1], &v[2], &v[3], &v[4], &v[5]);
        const int* vp = g_settings.viewport;  // left, top, right, bottom
        float z = p[2] + 4;                  // the camera at (0, 0, -4) looks along +z
        if (z < v[4]) return false;
        float xn = p[0] * v[4] / z, yn = p[1] * v[4] / z;
        *sx = vp[0] + (xn - v[1]) / (v[0] - v[1]) * (vp[2] - vp[0]);
        *sy = vp[1] + (v[2] - yn) / (v[2] - v[3]) * (vp[3] - vp[1]);
        return true;
    }

protected:
    testsupport::TempDir dir_;
    HWND window_ = nullptr;
    MessageBoxFn oldBox_ = nullptr;
};

// Samples of the visible faces: the screen against the face's texels.
void CheckFaces(const SaverFrame& f, const std::vector<uint32_t>& px, int low, int high, int* checked) {
    for (int face = 0; face < 6; ++face) {
        const uint16_t* list = g_cubeFaces[face];
        float c[3] = {0, 0, 0}, n[3] = {0, 0, 0};
        for (int k = 1; k <= 4; ++k)
            for (int a = 0; a < 3; ++a) {
                c[a] += g_spinnerVertices[list[k]][a] / 4;
                n[a] += g_spinnerNormals[list[k]][a] / 4;
            }
        float toEye[3] = {-c[0], -c[1], -4 - c[2]};
        float len = sqrtf(toEye[0] * toEye[0] + toEye[1] * toEye[1] + toEye[2] * toEye[2]);
        float nl = sqrtf(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if ((n[0] * toEye[0] + n[1] * toEye[1] + n[2] * toEye[2]) / (len * nl) < 0.4f) continue;  // turned away
        int tw = 0, th = 0;
        const uint32_t* texels = VnrStandinTexels(g_settings.faceTextures[face], &tw, &th);
        ASSERT_NE(nullptr, texels);
        const float st[4][2] = {{0.3f, 0.3f}, {0.7f, 0.3f}, {0.3f, 0.7f}, {0.7f, 0.7f}};
        for (auto& q : st) {
            // Bilinear in the face's corners: the point and its texture coordinates.
            float p[3], uv[2];
            const float w[4] = {(1 - q[0]) * (1 - q[1]), q[0] * (1 - q[1]), q[0] * q[1], (1 - q[0]) * q[1]};
            for (int a = 0; a < 3; ++a) {
                p[a] = 0;
                for (int k = 0; k < 4; ++k) p[a] += w[k] * g_spinnerVertices[list[k + 1]][a];
            }
            for (int a = 0; a < 2; ++a) {
                uv[a] = 0;
                for (int k = 0; k < 4; ++k) uv[a] += w[k] * g_cubeTexCoords[list[k + 1]][a];
            }
            float sx, sy;
            ASSERT_TRUE(f.Project(p, &sx, &sy));
            int tx = (int)(uv[0] * tw), ty = (int)(uv[1] * th);
            uint32_t t = texels[(size_t)(ty & (th - 1)) * tw + (tx & (tw - 1))];
            // Skip samples next to a colour edge of the texture.
            bool plain = true;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx)
                    plain = plain && texels[(size_t)((ty + dy) & (th - 1)) * tw + ((tx + dx) & (tw - 1))] == t;
            if (!plain) continue;
            Rgb got = At(px, (int)sx, (int)sy);
            SCOPED_TRACE(testing::Message() << "face " << face << " at " << sx << "," << sy << " texel " << std::hex
                                            << t << " pixel " << got.r << "," << got.g << "," << got.b);
            EXPECT_EQ(Level(t & 0xff, 0x3f, 0xc0), Level(got.r, low, high));
            EXPECT_EQ(Level((t >> 8) & 0xff, 0x3f, 0xc0), Level(got.g, low, high));
            EXPECT_EQ(Level((t >> 16) & 0xff, 0x3f, 0xc0), Level(got.b, low, high));
            ++*checked;
        }
    }
}

TEST_F(SaverFrame, PicturesOnTheFacesStarsAndChangedBlocks) {
    const bool direct = Direct();
    const int bits = NamedBits();
    ASSERT_NE(0, bits) << "FRAME_BITS names the depth the run must draw at";
    DevContext* d = VnrStandinDevContext(g_rc);
    ASSERT_NE(nullptr, d);
    EXPECT_EQ(bits, d->back.bitsPerPixel) << "the back buffer is not of the depth the run is named for";
    testsupport::CallTrace trace;
    AnimateScreen();
    Pump();
    std::vector<uint32_t> px = Capture(window_);

    int checked = 0;
    CheckFaces(*this, px, 0x40, 0xb0, &checked);
    EXPECT_GE(checked, 4) << "too few face samples";

    // Stars: white specks in the viewport beside the cube.
    const int* vp = g_settings.viewport;
    int white = 0;
    for (int y = vp[1]; y < vp[1] + (vp[3] - vp[1]) / 6; ++y)
        for (int x = vp[0]; x < vp[2]; ++x) {
            Rgb p = At(px, x, y);
            white += p.r > 0xc0 && p.g > 0xc0 && p.b > 0xc0;
        }
    EXPECT_GE(white, 3) << "no star field in the top of the viewport";

    // The frame for the comparison of the two paths: the viewport only (the
    // engine twinkles beside it with GDI).
    char out[MAX_PATH];
    if (GetEnvironmentVariableA("FRAME_DUMP", out, sizeof out)) {
        std::string bytes;
        for (int y = vp[1]; y < vp[3]; ++y)
            bytes.append((const char*)&px[(size_t)y * kWidth + vp[0]], (size_t)(vp[2] - vp[0]) * 4);
        testsupport::WriteFile(out, bytes);
    }

    if (!direct) {
        EXPECT_EQ(nullptr, d->dirtyA);  // GDI path: the library draws, the driver presents
        return;
    }

    // Direct path: for every state the scene drew with, the selection trace
    // names the routine the family's variant table holds for it.
    const DevFamily* family = FamilyOf(bits);
    ASSERT_NE(nullptr, family) << bits << " bits per pixel";
    auto selections = trace.Calls("DevSelectProcs");
    EXPECT_FALSE(selections.empty());
    int own = 0;
    for (const auto& call : selections) {
        ASSERT_TRUE(call.Has("state") && call.Has("depthFunc") && call.Has("light")) << call.line;
        const std::string want = TableRoutine(*family, (uint32_t)call.Int("state"), (uint32_t)call.Int("depthFunc"),
                                              (uint32_t)call.Int("light"));
        EXPECT_EQ(want, call.Text("trapezoids")) << call.line;
        own += want != "generic";
    }
    EXPECT_GT(own, 0) << "the scene drew with no state of the family's table";
    // Cube indices reach a palette display through the library's translation.
    if (bits == 8) {
        EXPECT_NE(0u, d->translate);
    }

    // The next frame copies only the blocks drawn in this frame or the last:
    // everything else of the window keeps what is planted in the surface now.
    ASSERT_NE(nullptr, d->dirtyB);
    std::vector<uint32_t> drawnBefore(d->dirtyB, d->dirtyB + d->dirtyRows);
    const int bpp = (d->back.bitsPerPixel + 7) / 8;
    const uint8_t kPlanted = 0x5a;
    for (int y = 0; y < kHeight; ++y) memset(DevBufferBits(&d->front) + y * d->front.pitch, kPlanted, kWidth * bpp);
    AnimateScreen();
    const unsigned s = 5;  // blocks of 32 pixels for a 640-pixel window
    int copied = 0, kept = 0, wrong = 0;
    for (int y = 0; y < kHeight; ++y) {
        const uint32_t marks = drawnBefore[y] | d->dirtyA[y];
        const uint8_t* front = DevBufferBits(&d->front) + y * d->front.pitch;
        const uint8_t* back = DevBufferBits(&d->back) + y * d->back.pitch;
        for (int x = 0; x < kWidth; ++x) {
            uint32_t block = (uint32_t)x >> s;
            bool marked = (marks >> (block > 31 ? 31 : block)) & 1;
            // 8-bit pixels reach the screen through the library's translation.
            bool same = d->translate && bpp == 1 ? front[x] == d->translate8[back[x]]
                                                 : !memcmp(front + x * bpp, back + x * bpp, bpp);
            bool planted = true;
            for (int b = 0; b < bpp; ++b) planted = planted && front[x * bpp + b] == kPlanted;
            if (marked) {
                copied++;
                wrong += !same;
            } else {
                kept++;
                wrong += !planted;
            }
        }
    }
    EXPECT_EQ(0, wrong) << copied << " pixels in marked blocks, " << kept << " in unmarked ones";
    EXPECT_GT(copied, 0);
    EXPECT_GT(kept, kWidth * kHeight / 4) << "the second frame copied most of the window";
}

}  // namespace
