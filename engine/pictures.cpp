// The texture build: each listed picture becomes one square cube-face
// texture, framed by tiles of bitmap 108; failed names leave the list.
#include "pictures.h"
#include "pictures_internal.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "msgbox.h"
#include "resource.h"
#include "scene.h"
#include "settings.h"
#include "vistaro.h"
#include "vxn32.h"

namespace {

const char kTooBig[] = "This file is too big.";
const char kNoMemory[] = "Not enough memory to deal with this file.";
const char kCantDeal[] = "Can't deal with this file.";
const char kFrameBitmapFailed[] = "Can't deal with frame bitmap!";

const int kFaces = 6;
const int kFrameEntry = 6;
const int kFrameSide = 256;
const int kFrameTile = 64;
const int kLargestTexture = 1024;

// Why a picture failed: the box's text and caption.
struct Failure {
    const char* text;
    const char* caption;
};

// A DIB section as GetObject describes it, rows addressed in memory order.
struct Section {
    int bits;
    int width;
    int height;  // magnitude
    bool topDown;
    int stride;
    const unsigned char* data;
    const unsigned char* Row(int memoryRow) const { return data + (size_t)memoryRow * stride; }
};

uint32_t Texel(unsigned char red, unsigned char green, unsigned char blue) {
    return 0x01000000u | (uint32_t)blue << 16 | (uint32_t)green << 8 | red;
}

int PowerOfTwoAtLeast(int n) {
    int e = 1;
    while (e < n) e <<= 1;
    return e;
}

bool DescribeSection(HBITMAP bitmap, Section* s) {
    DIBSECTION ds;
    if (GetObjectA(bitmap, sizeof ds, &ds) != sizeof ds || !ds.dsBm.bmBits) return false;
    s->bits = ds.dsBm.bmBitsPixel;
    s->width = ds.dsBm.bmWidth;
    s->height = ds.dsBm.bmHeight < 0 ? -ds.dsBm.bmHeight : ds.dsBm.bmHeight;
    s->topDown = ds.dsBmih.biHeight < 0;
    s->stride = ds.dsBm.bmWidthBytes;
    s->data = (const unsigned char*)ds.dsBm.bmBits;
    return s->width > 0 && s->height > 0 && (long long)s->width * s->bits <= 8LL * s->stride;
}

// A picture larger than maxSide either way shrinks, keeping its shape, until
// its longer side is maxSide.
void FitToSide(int W, int H, int maxSide, int* w, int* h) {
    *w = W;
    *h = H;
    if (W <= maxSide && H <= maxSide) return;
    if (H < W) {
        *w = maxSide;
        *h = (int)((long long)maxSide * H / W);
    } else {
        *h = maxSide;
        *w = (int)((long long)maxSide * W / H);
    }
}

void ShowBox(HWND window, const char* text, const char* caption) { g_messageBox(window, text, caption, MB_OK); }

HBITMAP LoadFrameTile(int side, Section* tile) {
    HBITMAP bitmap =
        (HBITMAP)LoadImageA(g_hinst, MAKEINTRESOURCEA(IDB_FRAME), IMAGE_BITMAP, side, side, LR_CREATEDIBSECTION);
    if (!bitmap) return NULL;
    if (!DescribeSection(bitmap, tile) || tile->bits != 24 || tile->width < side || tile->height < side) {
        DeleteObject(bitmap);
        return NULL;
    }
    return bitmap;
}

uint32_t TileTexel(const Section& tile, int side, int x, int y) {
    const unsigned char* p = tile.Row(y % side) + 3 * (x % side);
    return Texel(p[2], p[1], p[0]);
}

// A JPEG read whole, then resampled into a bottom-up 24-bit section of the
// fitted size whose memory rows run from the picture's top row down.
HBITMAP LoadJpegSection(const char* path, int maxSide, HWND window, const char** reason) {
    unsigned short w16 = 0, h16 = 0;
    int colours, warnings;
    *reason = kCantDeal;
    ReadJpegFile(path, NULL, 0, &w16, &h16, &colours, 0, 1, &warnings);
    int W = w16, H = h16;
    if (W == 0 || H == 0) return NULL;
    if (W > 3 * maxSide || H > 3 * maxSide) {
        *reason = kTooBig;
        return NULL;
    }
    int scale = 1;
    if (W > 2 * maxSide || H > 2 * maxSide) {
        scale = 2;
        W = (W + 1) / 2;
        H = (H + 1) / 2;
    }
    size_t capacity = (size_t)W * H * 3;
    unsigned char* pixels = (unsigned char*)malloc(capacity);
    if (!pixels) {
        *reason = kNoMemory;
        return NULL;
    }
    unsigned short dw = 0, dh = 0;
    if (!ReadJpegFile(path, pixels, capacity, &dw, &dh, &colours, 1, scale, &warnings) || dw != W || dh != H) {
        free(pixels);
        return NULL;
    }
    if (warnings) ShowBox(window, path, "This JPEG file may be corrupt:");

    int w, h;
    FitToSide(W, H, maxSide, &w, &h);
    w &= ~3;
    if (w == 0 || h == 0) {  // too narrow or too flat to keep a pixel
        free(pixels);
        return NULL;
    }

    BITMAPINFO bmi;
    memset(&bmi, 0, sizeof bmi);
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = h;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 24;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = NULL;
    HDC screen = GetDC(NULL);
    HBITMAP section = CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &bits, NULL, 0);
    ReleaseDC(NULL, screen);
    if (!section || !bits) {
        if (section) DeleteObject(section);
        free(pixels);
        return NULL;
    }
    float sx = (float)W / w, sy = (float)H / h;
    unsigned char* out = (unsigned char*)bits;
    for (int y = 0; y < h; y++) {
        int srcRow = (int)(y * sy);
        if (srcRow >= H) srcRow = H - 1;
        const unsigned char* src = pixels + (size_t)srcRow * W * 3;
        unsigned char* dst = out + (size_t)y * w * 3;
        for (int x = 0; x < w; x++) {
            int srcCol = (int)(x * sx);
            if (srcCol >= W) srcCol = W - 1;
            memcpy(dst + 3 * x, src + 3 * srcCol, 3);
        }
    }
    free(pixels);
    return section;
}

// The platform's loader turns a top-down file into an empty picture, so such
// a file is turned bottom-up here and stretched as the loader would.
HBITMAP LoadTopDownBmp(const char* path, const BmpInfo& info, int w, int h) {
    const int W = info.width, H = -info.height, bits = info.bitCount;
    if (w == 0) w = W;  // as the loader reads a side of 0
    if (h == 0) h = H;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return NULL;
    unsigned char* file = (unsigned char*)malloc(info.fileSize);
    if (!file) return NULL;
    FILE* f = fopen(path, "rb");
    size_t got = f ? fread(file, 1, info.fileSize, f) : 0;
    if (f) fclose(f);
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } bmi;
    memset(&bmi, 0, sizeof bmi);
    bmi.header.biSize = sizeof bmi.header;
    bmi.header.biWidth = W;
    bmi.header.biHeight = H;
    bmi.header.biPlanes = 1;
    bmi.header.biBitCount = (WORD)bits;
    bmi.header.biCompression = BI_RGB;
    bmi.header.biClrUsed = bits <= 8 ? info.tableEntries : 0;
    if (bits <= 8) memcpy(bmi.colours, file + 14 + info.headerSize, (size_t)info.tableEntries * sizeof(RGBQUAD));
    const size_t stride = ((size_t)W * bits + 31) / 32 * 4;
    HBITMAP picture = NULL, stretched = NULL;
    void* dst = NULL;
    HDC screen = GetDC(NULL);
    if (got == info.fileSize) picture = CreateDIBSection(screen, (BITMAPINFO*)&bmi, DIB_RGB_COLORS, &dst, NULL, 0);
    if (picture && dst) {
        for (int y = 0; y < H; y++)
            memcpy((unsigned char*)dst + (size_t)y * stride, file + info.pixelOffset + (size_t)(H - 1 - y) * stride,
                   stride);
    }
    free(file);
    if (picture && (w != W || h != H)) {
        bmi.header.biWidth = w;
        bmi.header.biHeight = h;
        stretched = CreateDIBSection(screen, (BITMAPINFO*)&bmi, DIB_RGB_COLORS, &dst, NULL, 0);
        HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
        bool copied = false;
        if (stretched && from && to) {
            HGDIOBJ oldFrom = SelectObject(from, picture), oldTo = SelectObject(to, stretched);
            if (bits > 1) SetStretchBltMode(to, HALFTONE);  // the loader's mode; one bit keeps the default
            copied = StretchBlt(to, 0, 0, w, h, from, 0, 0, W, H, SRCCOPY) != 0;
            SelectObject(from, oldFrom);
            SelectObject(to, oldTo);
        }
        if (from) DeleteDC(from);
        if (to) DeleteDC(to);
        DeleteObject(picture);
        picture = stretched;
        if (!copied && stretched) {
            DeleteObject(stretched);
            picture = NULL;
        }
    }
    ReleaseDC(NULL, screen);
    return picture;
}

HBITMAP LoadBmpSection(const char* path, int maxSide, const char** reason) {
    BmpInfo info;
    BmpHeaderResult header = ReadBmpInfo(path, &info);
    *reason = header == BMP_HEADER_TOO_BIG ? kTooBig : kCantDeal;
    if (header != BMP_HEADER_OK) return NULL;
    const int W = info.width, H = info.height < 0 ? -info.height : info.height;
    if (W > 4 * maxSide || H > 4 * maxSide) {
        *reason = kTooBig;
        return NULL;
    }
    if (!BmpLayoutIsComplete(info)) return NULL;
    int w, h;
    FitToSide(W, H, maxSide, &w, &h);
    w = (w + 3) & ~3;  // a side fitted to 0 asks the loader for the file's own
    if (info.height < 0) return LoadTopDownBmp(path, info, w, h);
    return (HBITMAP)LoadImageA(NULL, path, IMAGE_BITMAP, w, h, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
}

// Colour table of a section of at most 8 bits, zero beyond what it holds.
RGBQUAD* ReadColourTable(HBITMAP bitmap, int bits) {
    int count = 1 << bits;
    RGBQUAD* table = (RGBQUAD*)calloc(count, sizeof(RGBQUAD));
    if (!table) return NULL;
    HDC memory = CreateCompatibleDC(NULL);
    if (memory) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        GetDIBColorTable(memory, 0, count, table);
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    return table;
}

// Puts the section's W x H pixels into texel rows r.., columns c.. of an
// E-wide texture; the picture's bottom row lands in row r whatever the
// section's row order.
void CopyPicture(const Section& s, const RGBQUAD* table, uint32_t* texels, int E, int r, int c) {
    for (int y = 0; y < s.height; y++) {
        const unsigned char* src = s.Row(s.topDown ? s.height - 1 - y : y);
        uint32_t* dst = texels + (size_t)(r + y) * E + c;
        for (int x = 0; x < s.width; x++) {
            int index;
            switch (s.bits) {
            case 1: index = src[x >> 3] >> (7 - (x & 7)) & 1; break;
            case 4: index = src[x >> 1] >> ((x & 1) ? 0 : 4) & 15; break;
            case 8: index = src[x]; break;
            default: {
                const unsigned char* p = src + 3 * x;
                dst[x] = Texel(p[2], p[1], p[0]);
                continue;
            }
            }
            dst[x] = Texel(table[index].rgbRed, table[index].rgbGreen, table[index].rgbBlue);
        }
    }
}

void FillBand(uint32_t* texels, int E, const Section& tile, int side, int row0, int rows, int col0, int cols) {
    for (int y = 0; y < rows; y++)
        for (int x = 0; x < cols; x++) texels[(size_t)(row0 + y) * E + col0 + x] = TileTexel(tile, side, x, y);
}

void SetFaceScale(int face, float scale) {
    for (int k = 1; k <= 4; k++) {
        float* uvw = g_cubeTexCoords[g_cubeFaces[face][k]];
        if (uvw[0] != 0) uvw[0] = scale;
        if (uvw[1] != 0) uvw[1] = scale;
    }
}

int TileSide(int E) { return E <= 128 ? 32 : E <= 256 ? 64 : E <= 512 ? 128 : 256; }

// Loads one picture into texture faceTextures[face]; on failure returns false
// with the box to show.
bool LoadFace(CubeSettings* settings, int rc, HWND window, int face, const char* path, float* faceScale,
              Failure* failure) {
    const int M = settings->maxTextureSide;
    failure->text = path;
    HBITMAP bitmap = IsJpegFileName(path) ? LoadJpegSection(path, M, window, &failure->caption)
                                          : LoadBmpSection(path, M, &failure->caption);
    if (!bitmap) return false;
    failure->caption = kCantDeal;

    Section s;
    RGBQUAD* table = NULL;
    uint32_t* texels = NULL;
    bool ok = DescribeSection(bitmap, &s) && (s.bits == 1 || s.bits == 4 || s.bits == 8 || s.bits == 24);
    int E = 0, r = 0, c = 0;
    if (ok) {
        E = PowerOfTwoAtLeast(s.width > s.height ? s.width : s.height);
        ok = s.width <= M && s.height <= M && E <= kLargestTexture;
    }
    if (ok && s.bits <= 8) {
        table = ReadColourTable(bitmap, s.bits);
        if (!table) {
            ok = false;
            failure->caption = kNoMemory;
        }
    }
    if (ok) {
        if (s.height < s.width) {
            r = (s.width - s.height) / 2;
            *faceScale = (float)s.width / E;
        } else {
            c = (s.height - s.width) / 2;
            *faceScale = (float)s.height / E;
        }
        texels = (uint32_t*)calloc((size_t)E * E, sizeof(uint32_t));
        if (!texels) {
            ok = false;
            failure->caption = kNoMemory;
        } else {
            CopyPicture(s, table, texels, E, r, c);
        }
    }
    free(table);
    if (!DeleteObject(bitmap)) ShowBox(window, "Bitmap deletion failure!", "Warning");
    if (!ok) {
        free(texels);
        return false;
    }

    int side = TileSide(E);
    Section tile;
    HBITMAP tileBitmap = LoadFrameTile(side, &tile);
    if (!tileBitmap) {
        free(texels);
        failure->text = "";
        failure->caption = kFrameBitmapFailed;
        return false;
    }
    if (r > 0) {
        FillBand(texels, E, tile, side, 0, r, 0, s.width);
        FillBand(texels, E, tile, side, s.height + r, r, 0, s.width);
    }
    if (c > 0) {
        FillBand(texels, E, tile, side, 0, s.height, 0, c);
        FillBand(texels, E, tile, side, 0, s.height, s.width + c, c);
    }
    settings->faceTextures[face] = VnrNewTexture(rc, 0, 32, E, E);
    VnrLoadTexture(rc, 0, 32, 0, E, E, (unsigned short)(E * 4), settings->faceTextures[face], 0, texels);
    free(texels);
    DeleteObject(tileBitmap);
    SetFaceScale(face, *faceScale);
    return true;
}

// The 256 x 256 texture tiled from bitmap 108; 0 when it cannot be made.
int MakeFrameTexture(int rc, HWND window) {
    Section tile;
    HBITMAP tileBitmap = LoadFrameTile(kFrameTile, &tile);
    if (!tileBitmap) {
        ShowBox(window, "", kFrameBitmapFailed);
        return 0;
    }
    uint32_t* texels = (uint32_t*)malloc((size_t)kFrameSide * kFrameSide * sizeof(uint32_t));
    int texture = 0;
    if (!texels) {
        ShowBox(window, "", "Not enough memory to deal with the frame.");
    } else {
        for (int y = 0; y < kFrameSide; y++)
            for (int x = 0; x < kFrameSide; x++) texels[y * kFrameSide + x] = TileTexel(tile, kFrameTile, x, y);
        texture = VnrNewTexture(rc, 0, 32, kFrameSide, kFrameSide);
        VnrLoadTexture(rc, 0, 32, 0, kFrameSide, kFrameSide, kFrameSide * 4, texture, 0, texels);
        free(texels);
    }
    DeleteObject(tileBitmap);
    return texture;
}

}  // namespace

int LoadPictureTextures(CubeSettings* settings, int rc, HWND window) {
    const int count = settings->pictureCount < 0        ? 0
                      : settings->pictureCount > kFaces ? kFaces
                                                        : settings->pictureCount;
    const size_t nameSize = sizeof settings->pictureNames[0];
    float faceScales[kFaces] = {};
    int remaining = count;  // names from slot X on that are still to load
    int X = 0;
    // The earlier textures may already be freed: no stale handle may survive.
    settings->faceTextures[kFrameEntry] = 0;
    for (int i = 0; i < count; i++, remaining--) {
        char* name = settings->pictureNames[X];
        name[nameSize - 1] = 0;
        settings->faceTextures[X] = 0;
        Failure failure;
        if (LoadFace(settings, rc, window, X, name, &faceScales[X], &failure)) {
            X++;
            continue;
        }
        char path[sizeof settings->pictureNames[0]];
        memcpy(path, name, nameSize);
        if (failure.text == name) failure.text = path;
        memmove(settings->pictureNames[X], settings->pictureNames[X + 1], (remaining - 1) * nameSize);
        memset(settings->pictureNames[X + remaining - 1], 0, nameSize);
        ShowBox(window, failure.text, failure.caption);
    }

    if (X > 0 && X < kFaces) {
        for (int face = X; face < kFaces; face++) {
            settings->faceTextures[face] = settings->faceTextures[face % X];
            faceScales[face] = faceScales[face % X];
            SetFaceScale(face, faceScales[face]);
        }
    }
    settings->faceTextures[kFrameEntry] = MakeFrameTexture(rc, window);
    if (X == 0) {
        if (!g_bePreviewing) ShowBox(window, "Change screen saver settings!", "Can't get any pictures!");
        for (int face = 0; face < kFaces; face++) settings->faceTextures[face] = settings->faceTextures[kFrameEntry];
    }
    settings->pictureCount = X;
    if (!g_bePreviewing) SaveSettings(settings);
    memcpy(settings->ownedTextures, settings->faceTextures, sizeof settings->ownedTextures);
    return 1;
}
