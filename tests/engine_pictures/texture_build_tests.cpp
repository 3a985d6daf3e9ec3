// The texture build: generated pictures of every kind become face textures
// of the right side, placement, texels and face scale; failed names leave
// the list with their box; faces without a picture reuse the loaded ones.
#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>
#include <set>
#include <vector>

#include "picturefiles.h"
#include "pictures.h"
#include "pictures_harness.h"
#include "resource.h"
#include "scene.h"
#include "settings.h"
#include "testsupport.h"

using namespace testsupport;

namespace {

uint32_t Texel(uint32_t rgb) { return 0x01000000u | (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF); }

// Tile texel (x, y) of bitmap 108 loaded at side s, as the bands use it.
uint32_t TileTexel(int s, int x, int y) {
    HBITMAP b = (HBITMAP)LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_FRAME), IMAGE_BITMAP, s, s,
                                    LR_CREATEDIBSECTION);
    DIBSECTION ds;
    GetObjectA(b, sizeof ds, &ds);
    const unsigned char* p = (const unsigned char*)ds.dsBm.bmBits + (y % s) * ds.dsBm.bmWidthBytes + 3 * (x % s);
    uint32_t t = 0x01000000u | p[0] << 16 | p[1] << 8 | p[2];
    DeleteObject(b);
    return t;
}

// A picture whose every pixel has its own colour, so a texel names its source.
uint32_t Gradient(int x, int y) { return (uint32_t)(x * 2 & 255) << 16 | (uint32_t)(y * 2 & 255) << 8 | (x + y) % 251; }

// Two flat halves, left and right, that survive stretching and JPEG.
const uint32_t kLeft = 0xE03020, kRight = 0x2040D0;
uint32_t Halves(int x, int w) { return x < w / 2 ? kLeft : kRight; }

// Quadrants for JPEG orientation: red top left, green top right, blue
// bottom left, white bottom right.
uint32_t Quadrant(int x, int y, int w, int h) {
    static const uint32_t colours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    return colours[(y >= h / 2) * 2 + (x >= w / 2)];
}

std::vector<uint32_t> GreyRamp(int n) {
    std::vector<uint32_t> p;
    for (int i = 0; i < n; i++) p.push_back((uint32_t)(i * 255 / (n - 1)) * 0x010101u);
    return p;
}

std::string Bmp(int w, int h, int bits, bool topDown, PixelFunction pixel, bool rle = false) {
    BmpSpec pic;
    pic.width = w, pic.height = h, pic.bits = bits, pic.topDown = topDown, pic.pixel = pixel, pic.rle = rle;
    if (bits <= 8) {
        // Index i shows grey ramp entry i; indices wrap at the depth.
        pic.palette = GreyRamp(1 << bits);
        pic.pixel = [pixel, bits](int x, int y) { return pixel(x, y) % (1u << bits); };
    }
    return MakeBmp(pic);
}

std::string Jpeg(int w, int h, int components, PixelFunction pixel) {
    JpegSpec pic;
    pic.width = w, pic.height = h, pic.components = components, pic.quality = 100, pic.pixel = pixel;
    return MakeJpeg(pic);
}

// An expected texel: exact, or within a JPEG's tolerance.
struct TexelCheck {
    int row, column;
    uint32_t texel;
};

bool Near(uint32_t a, uint32_t b, int tolerance) {
    for (int s = 0; s < 32; s += 8) {
        int d = (int)(a >> s & 255) - (int)(b >> s & 255);
        if (d > tolerance || d < -tolerance) return false;
    }
    return true;
}

}  // namespace

class TextureBuild : public ::testing::Test {
protected:
    PicturesHarness h;
};

TEST_F(TextureBuild, PicturesOfEveryKindBecomePlacedTextures) {
    // Expected placement: side E, picture in rows r.., columns c.. with size
    // W x H; face scale; tile side of the bands.
    struct Case {
        const char* what;
        const char* name;
        std::string bytes;
        int maxSide;
        int E, r, c, W, H;
        float scale;
        int tile;
        std::vector<TexelCheck> texels;
        int tolerance;
    };
    auto bmpAt = [](int W, int Hh, int x, int yTop, PixelFunction f) {
        // Bottom-up: the picture's bottom row is the first texel row.
        return TexelCheck{Hh - 1 - yTop, x, Texel(f(x, yTop))};
    };
    auto grey = [](PixelFunction f, int bits) {
        return PixelFunction([f, bits](int x, int y) {
            uint32_t i = f(x, y) % (1u << bits);
            return (uint32_t)(i * 255 / ((1u << bits) - 1)) * 0x010101u;
        });
    };
    PixelFunction index = [](int x, int y) { return (uint32_t)(x * 7 + y * 3); };
    std::vector<Case> cases;
    cases.push_back({"24 bits, wide", "wide.bmp", Bmp(100, 60, 24, false, Gradient), 512, 128, 20, 0, 100, 60,
                     0.78125f, 32,
                     {bmpAt(100, 60, 0, 0, Gradient), bmpAt(100, 60, 99, 0, Gradient), bmpAt(100, 60, 0, 59, Gradient),
                      bmpAt(100, 60, 57, 31, Gradient)}, 0});
    cases.push_back({"24 bits, top-down", "td.bmp", Bmp(100, 60, 24, true, Gradient), 512, 128, 20, 0, 100, 60,
                     0.78125f, 32,
                     {bmpAt(100, 60, 0, 0, Gradient), bmpAt(100, 60, 99, 59, Gradient), bmpAt(100, 60, 57, 31, Gradient)},
                     0});
    cases.push_back({"8 bits, tall", "tall.bmp", Bmp(60, 100, 8, false, index), 512, 128, 0, 20, 60, 100, 0.78125f, 32,
                     {bmpAt(60, 100, 0, 0, grey(index, 8)), bmpAt(60, 100, 59, 99, grey(index, 8)),
                      bmpAt(60, 100, 13, 40, grey(index, 8))}, 0});
    cases.push_back({"8 bits, top-down", "td8.bmp", Bmp(60, 100, 8, true, index), 512, 128, 0, 20, 60, 100, 0.78125f,
                     32, {bmpAt(60, 100, 0, 0, grey(index, 8)), bmpAt(60, 100, 13, 40, grey(index, 8))}, 0});
    std::string td8 = Bmp(60, 100, 8, true, index);
    td8.replace(10, 4, std::string(4, '\0'));  // no pixel offset: the pixels follow the colour table
    cases.push_back({"8 bits, top-down, no pixel offset", "td8z.bmp", td8, 512, 128, 0, 20, 60, 100, 0.78125f, 32,
                     {bmpAt(60, 100, 0, 0, grey(index, 8)), bmpAt(60, 100, 13, 40, grey(index, 8))}, 0});
    cases.push_back({"8 bits, run-length encoded", "rle8.bmp", Bmp(60, 100, 8, false, index, true), 512, 128, 0, 20,
                     60, 100, 0.78125f, 32,
                     {bmpAt(60, 100, 0, 0, grey(index, 8)), bmpAt(60, 100, 59, 99, grey(index, 8)),
                      bmpAt(60, 100, 13, 40, grey(index, 8))}, 0});
    cases.push_back({"4 bits, run-length encoded", "rle4.bmp",
                     Bmp(20, 9, 4, false, [](int x, int y) { return (uint32_t)(x / 3 + y); }, true), 512, 32, 5, 0,
                     20, 9, 0.625f, 32,
                     {bmpAt(20, 9, 0, 0, grey([](int x, int y) { return (uint32_t)(x / 3 + y); }, 4)),
                      bmpAt(20, 9, 19, 8, grey([](int x, int y) { return (uint32_t)(x / 3 + y); }, 4))}, 0});
    // Indices beyond a short colour table show black, never stray memory.
    BmpSpec shortTable;
    shortTable.width = 8, shortTable.height = 8, shortTable.bits = 4, shortTable.palette = {0xFF0000, 0x00FF00, 0x0000FF};
    shortTable.pixel = [](int x, int) { return (uint32_t)(x < 4 ? 1 : 9); };
    cases.push_back({"4 bits, colour table of 3", "short.bmp", MakeBmp(shortTable), 512, 8, 0, 0, 8, 8, 1.0f, 32,
                     {{2, 1, Texel(0x00FF00)}, {2, 6, Texel(0)}}, 0});
    cases.push_back({"4 bits, odd height", "odd4.bmp", Bmp(20, 9, 4, false, index), 512, 32, 5, 0, 20, 9, 0.625f, 32,
                     {bmpAt(20, 9, 0, 0, grey(index, 4)), bmpAt(20, 9, 19, 8, grey(index, 4)),
                      bmpAt(20, 9, 7, 4, grey(index, 4))}, 0});
    cases.push_back({"4 bits, top-down", "td4.bmp", Bmp(20, 9, 4, true, index), 512, 32, 5, 0, 20, 9, 0.625f, 32,
                     {bmpAt(20, 9, 19, 8, grey(index, 4)), bmpAt(20, 9, 7, 4, grey(index, 4))}, 0});
    // 12 pixels use one and a half bytes a row; the padding bits would show as black.
    cases.push_back({"1 bit, width not a multiple of 8", "one.bmp", Bmp(12, 12, 1, false, index), 512, 16, 0, 0, 12,
                     12, 0.75f, 32,
                     {bmpAt(12, 12, 0, 0, grey(index, 1)), bmpAt(12, 12, 11, 3, grey(index, 1)),
                      bmpAt(12, 12, 10, 11, grey(index, 1)), {0, 12, 0}, {11, 15, 0}}, 0});
    cases.push_back({"1 bit, top-down", "td1.bmp", Bmp(12, 12, 1, true, index), 512, 16, 0, 0, 12, 12, 0.75f, 32,
                     {bmpAt(12, 12, 11, 3, grey(index, 1)), bmpAt(12, 12, 10, 11, grey(index, 1))}, 0});
    // 61 wide is loaded stretched to 64: r = (64 - 60) / 2.
    cases.push_back({"24 bits, odd width", "odd.bmp", Bmp(61, 60, 24, false, [](int x, int) { return Halves(x, 61); }),
                     512, 64, 2, 0, 64, 60, 1.0f, 32, {{30, 5, Texel(kLeft)}, {30, 60, Texel(kRight)}}, 0});
    cases.push_back({"24 bits, fitted under 512", "big.bmp",
                     Bmp(800, 400, 24, false, [](int x, int) { return Halves(x, 800); }), 512, 512, 128, 0, 512, 256,
                     1.0f, 128, {{100, 10, Texel(kLeft)}, {100, 500, Texel(kRight)}}, 0});
    cases.push_back({"24 bits, four times the side", "huge.bmp",
                     Bmp(1024, 40, 24, false, [](int x, int) { return Halves(x, 1024); }), 256, 256, 123, 0, 256, 10,
                     1.0f, 64, {{5, 10, Texel(kLeft)}, {5, 250, Texel(kRight)}}, 0});
    // A side fitted to no pixel is asked of the loader as 0: the file's own.
    cases.push_back({"24 bits, three rows fitted to none", "flat.bmp",
                     Bmp(1024, 3, 24, false, [](int x, int) { return Halves(x, 1024); }), 256, 256, 126, 0, 256, 3,
                     1.0f, 64, {{0, 10, Texel(kLeft)}, {2, 250, Texel(kRight)}}, 0});
    cases.push_back({"24 bits, top-down, three columns fitted to none", "thin.bmp",
                     Bmp(3, 1024, 24, true, [](int, int y) { return y < 512 ? kLeft : kRight; }), 256, 256, 0, 126, 3,
                     256, 1.0f, 64, {{10, 0, Texel(kRight)}, {250, 2, Texel(kLeft)}}, 0});
    // 1200 x 800 at 512: half size 600 x 400, fitted to 512 x 341. JPEG rows
    // run top first and mirrored.
    PixelFunction q1200 = [](int x, int y) { return Quadrant(x, y, 1200, 800); };
    cases.push_back({"colour JPEG, half size", "photo.jpg", Jpeg(1200, 800, 3, q1200), 512, 512, 85, 0, 512, 341, 1.0f,
                     128,
                     {{40, 40, Texel(0x00FF00)}, {40, 470, Texel(0xFF0000)}, {300, 40, Texel(0xFFFFFF)},
                      {300, 470, Texel(0x0000FF)}}, 12});
    PixelFunction greyHalves = [](int x, int) { return x < 150 ? 0x303030u : 0xD0D0D0u; };
    cases.push_back({"grey JPEG, fitted", "grey.JPG", Jpeg(300, 200, 1, greyHalves), 256, 256, 43, 0, 256, 170, 1.0f, 64,
                     {{80, 20, Texel(0xD0D0D0)}, {80, 230, Texel(0x303030)}}, 6});
    cases.push_back({"JPEG three times the side", "wide3.jpg",
                     Jpeg(768, 100, 3, [](int x, int) { return Halves(x, 768); }), 256, 256, 111, 0, 256, 33, 1.0f, 64,
                     {{16, 20, Texel(kRight)}, {16, 230, Texel(kLeft)}}, 12});
    cases.push_back({"JPEG at twice the side, full size", "wide2.jpg",
                     Jpeg(512, 64, 3, [](int x, int) { return Halves(x, 512); }), 256, 256, 112, 0, 256, 32, 1.0f, 64,
                     {{16, 20, Texel(kRight)}, {16, 230, Texel(kLeft)}}, 12});
    // 30 wide keeps 28 columns.
    cases.push_back({"small JPEG, width rounded down", "small.jpg",
                     Jpeg(30, 17, 3, [](int, int) { return 0x808040u; }), 512, 32, 5, 0, 28, 17, 0.875f, 32,
                     {{8, 3, Texel(0x808040)}, {8, 27, Texel(0x808040)}, {8, 28, 0}}, 6});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        h.Reset(c.maxSide);
        std::string path = h.Picture(c.name, c.bytes);
        h.Load({path});
        ASSERT_EQ(h.settings.pictureCount, 1);
        ASSERT_TRUE(h.boxes.empty()) << h.boxes[0].caption;
        const PicturesHarness::Texture* t = h.TextureOf(h.settings.faceTextures[0]);
        ASSERT_NE(t, nullptr);
        ASSERT_EQ(t->side, c.E);
        EXPECT_FLOAT_EQ(h.FaceScale(0), c.scale);
        for (const TexelCheck& k : c.texels)
            EXPECT_PRED3(Near, t->At(c.r + k.row, c.c + k.column), k.texel, c.tolerance)
                << "picture row " << k.row << " column " << k.column;
        // Bands: tiles counted from each band's own first row and column.
        if (c.r > 0) {
            EXPECT_EQ(t->At(0, 0), TileTexel(c.tile, 0, 0));
            EXPECT_EQ(t->At(c.r - 1, c.W - 1), TileTexel(c.tile, c.W - 1, c.r - 1));
            EXPECT_EQ(t->At(c.H + c.r, 3), TileTexel(c.tile, 3, 0));
            EXPECT_EQ(t->At(c.H + 2 * c.r - 1, 5), TileTexel(c.tile, 5, c.r - 1));
        }
        if (c.c > 0) {
            EXPECT_EQ(t->At(7, 0), TileTexel(c.tile, 0, 7));
            EXPECT_EQ(t->At(7, c.W + c.c), TileTexel(c.tile, 0, 7));
            EXPECT_EQ(t->At(c.H - 1, c.W + 2 * c.c - 1), TileTexel(c.tile, c.c - 1, c.H - 1));
        }
        // Nothing outside the picture and its bands.
        if (c.W < c.E) {
            EXPECT_EQ(t->At(0, c.E - 1), 0u);
        }
        int longSide = c.W > c.H ? c.W : c.H;
        if (longSide < c.E) {
            EXPECT_EQ(t->At(c.E - 1, 0), 0u);
        }
    }
}

TEST_F(TextureBuild, TopDownFilesGiveTheTextureOfTheirBottomUpTwin) {
    // Every depth kept at its size, stretched in width, and fitted under the
    // largest side (the loader smooths all but one bit per pixel).
    struct Case {
        int w, h, bits;
    } cases[] = {{12, 9, 1}, {13, 9, 1}, {40, 600, 1},  {12, 9, 4},  {13, 9, 4},  {40, 600, 4},
                 {12, 9, 8}, {13, 9, 8}, {40, 600, 8}, {12, 9, 24}, {13, 9, 24}, {40, 600, 24}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h) + ", " + std::to_string(c.bits) + " bits");
        BmpSpec pic;
        pic.width = c.w, pic.height = c.h, pic.bits = c.bits, pic.pixel = Gradient;
        if (c.bits <= 8) {
            for (uint32_t i = 0; i < (1u << c.bits); i++) pic.palette.push_back((0x8020F0u + i * 0x030507u) & 0xFFFFFF);
            pic.pixel = [&c](int x, int y) { return (uint32_t)(x / 3 + y * 5) % (1u << c.bits); };
        }
        std::vector<uint32_t> texels[2];
        for (int topDown = 0; topDown < 2; topDown++) {
            pic.topDown = topDown;
            h.Reset(256);
            h.Load({h.Picture("p.bmp", MakeBmp(pic))});
            ASSERT_EQ(h.settings.pictureCount, 1);
            const PicturesHarness::Texture* t = h.TextureOf(h.settings.faceTextures[0]);
            ASSERT_NE(t, nullptr);
            texels[topDown] = t->texels;
        }
        ASSERT_EQ(texels[0].size(), texels[1].size());
        size_t differing = 0;
        for (size_t i = 0; i < texels[0].size(); i++) differing += texels[0][i] != texels[1][i];
        EXPECT_EQ(differing, 0u);
    }
}

TEST_F(TextureBuild, FailedNameLeavesTheListAndTheRestAreReused) {
    h.Reset(512);
    std::string a = h.Picture("a.bmp", Bmp(64, 64, 24, false, Gradient));
    std::string bad = h.Picture("bad.bmp", "BM not really a bitmap");
    std::string b = h.Picture("b.jpg", Jpeg(40, 20, 3, [](int, int) { return 0x30C030u; }));
    h.Load({a, bad, b});

    ASSERT_EQ(h.boxes.size(), 1u);
    EXPECT_EQ(h.boxes[0].text, bad);
    EXPECT_EQ(h.boxes[0].caption, "Can't deal with this file.");
    EXPECT_EQ(h.boxes[0].owner, h.window);
    EXPECT_EQ(h.settings.pictureCount, 2);
    EXPECT_STREQ(h.settings.pictureNames[0], a.c_str());
    EXPECT_STREQ(h.settings.pictureNames[1], b.c_str());

    const int* f = h.settings.faceTextures;
    ASSERT_NE(f[0], 0);
    ASSERT_NE(f[1], 0);
    EXPECT_NE(f[0], f[1]);
    EXPECT_EQ(h.TextureOf(f[0])->side, 64);
    EXPECT_EQ(h.TextureOf(f[1])->side, 64);  // 40 x 20 in a 64 square
    const int reuse[6] = {0, 1, 0, 1, 0, 1};
    for (int face = 2; face < 6; face++) {
        EXPECT_EQ(f[face], f[reuse[face]]) << "face " << face;
        EXPECT_FLOAT_EQ(h.FaceScale(face), h.FaceScale(reuse[face])) << "face " << face;
    }
    EXPECT_FLOAT_EQ(h.FaceScale(0), 1.0f);
    EXPECT_FLOAT_EQ(h.FaceScale(1), 40.0f / 64);
    const PicturesHarness::Texture* frame = h.TextureOf(f[6]);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->side, 256);
    EXPECT_EQ(frame->At(200, 130), TileTexel(64, 130, 200));
    EXPECT_EQ(memcmp(h.settings.ownedTextures, f, sizeof h.settings.ownedTextures), 0);

    // Two pictures and the frame reach the rendering library, each loaded
    // whole: the trace's checksum is that of the texels the stand-in kept.
    std::vector<TraceCall> loads = h.trace.Calls("VnrLoadTexture");
    ASSERT_EQ(loads.size(), 3u);
    const int sides[3] = {64, 64, 256};
    for (int i = 0; i < 3; i++) {
        const TraceCall& c = loads[i];
        EXPECT_FALSE(c.Failed()) << c.line;
        EXPECT_EQ(c.Int("rc"), h.rc);
        EXPECT_EQ(c.Int("kind"), 0);
        EXPECT_EQ(c.Int("bits"), 32);
        EXPECT_EQ(c.Int("level"), 0);
        EXPECT_EQ(c.Int("width"), sides[i]);
        EXPECT_EQ(c.Int("height"), sides[i]);
        EXPECT_EQ(c.Int("pitch"), 4 * sides[i]);
        EXPECT_EQ(c.Int("face"), 0);
        const PicturesHarness::Texture* t = h.TextureOf((int)c.Int("texture"));
        ASSERT_NE(t, nullptr) << c.line;
        EXPECT_EQ((uint32_t)c.Int("sum"), TexelChecksum(t->texels.data(), (int)t->texels.size()));
    }
    EXPECT_EQ(loads[0].Int("texture"), f[0]);
    EXPECT_EQ(loads[1].Int("texture"), f[1]);
    EXPECT_EQ(loads[2].Int("texture"), f[6]);
    EXPECT_EQ(h.trace.Calls("VnrNewTexture").size(), 3u);

    // The shortened list is saved; keys beyond it stay with empty values.
    EXPECT_EQ(h.SavedName(1), a);
    EXPECT_EQ(h.SavedName(2), b);
    EXPECT_EQ(h.SavedName(3), "");
}

TEST_F(TextureBuild, ReuseFollowsTheNumberOfLoadedPictures) {
    for (int loaded = 1; loaded <= 6; loaded++) {
        SCOPED_TRACE(loaded);
        h.Reset(256);
        std::vector<std::string> names;
        for (int i = 0; i < loaded; i++)
            names.push_back(h.Picture("p" + std::to_string(i) + ".bmp",
                                      Bmp(8 + 4 * i, 8, 24, false, [](int, int) { return 0x112233u; })));
        h.Load(names);
        EXPECT_EQ(h.settings.pictureCount, loaded);
        for (int face = 0; face < 6; face++) {
            EXPECT_EQ(h.settings.faceTextures[face], h.settings.faceTextures[face % loaded]) << face;
            EXPECT_FLOAT_EQ(h.FaceScale(face), (8.0f + 4 * (face % loaded)) / h.TextureOf(h.settings.faceTextures[face])->side);
        }
        for (int i = 0; i < loaded; i++)
            for (int j = 0; j < i; j++) EXPECT_NE(h.settings.faceTextures[i], h.settings.faceTextures[j]);
    }
}

TEST_F(TextureBuild, NoPictureGivesTheFrameOnEveryFace) {
    h.Reset(512);
    h.Load({h.Picture("x.Jpg", Jpeg(16, 16, 3, Gradient)), h.Picture("y.jpeg", Jpeg(16, 16, 3, Gradient))});
    ASSERT_EQ(h.boxes.size(), 3u);
    EXPECT_EQ(h.boxes[0].caption, "Can't deal with this file.");
    EXPECT_EQ(h.boxes[1].caption, "Can't deal with this file.");
    EXPECT_EQ(h.boxes[2].text, "Change screen saver settings!");
    EXPECT_EQ(h.boxes[2].caption, "Can't get any pictures!");
    EXPECT_EQ(h.settings.pictureCount, 0);
    ASSERT_NE(h.settings.faceTextures[6], 0);
    for (int face = 0; face < 6; face++) EXPECT_EQ(h.settings.faceTextures[face], h.settings.faceTextures[6]);
    EXPECT_EQ(h.SavedName(1), "");
}

TEST_F(TextureBuild, PreviewLoadsNothingShowsNothingSavesNothing) {
    h.Reset(512);
    h.previewing = 1;
    h.Load({});
    EXPECT_TRUE(h.boxes.empty());
    EXPECT_FALSE(h.SettingsFileExists());
    ASSERT_NE(h.settings.faceTextures[6], 0);
    for (int face = 0; face < 6; face++) EXPECT_EQ(h.settings.faceTextures[face], h.settings.faceTextures[6]);
}

TEST_F(TextureBuild, NoStaleHandleSurvivesWhenTheFrameCannotBeMade) {
    h.Reset(512);
    for (int i = 0; i < 7; i++) h.settings.faceTextures[i] = 0x5000 + i;  // freed by the caller already
    h.WithoutFrameBitmap();
    h.Load({h.Picture("a.bmp", Bmp(8, 8, 24, false, Gradient))});
    ASSERT_EQ(h.boxes.size(), 3u);
    EXPECT_EQ(h.boxes[0].text, "");
    EXPECT_EQ(h.boxes[0].caption, "Can't deal with frame bitmap!");
    EXPECT_EQ(h.boxes[1].caption, "Can't deal with frame bitmap!");
    for (int i = 0; i < 7; i++) EXPECT_EQ(h.settings.faceTextures[i], 0) << i;
}

TEST_F(TextureBuild, BrokenFilesLeaveWithTheRightBox) {
    const std::string bmp = Bmp(64, 32, 24, false, Gradient);
    const std::string jpeg = Jpeg(64, 32, 3, Gradient);
    auto patch32 = [](std::string s, size_t at, uint32_t v) {
        const char le[4] = {(char)v, (char)(v >> 8), (char)(v >> 16), (char)(v >> 24)};
        return s.replace(at, 4, le, 4);
    };
    // SOF0 size fields of a baseline file from the encoder.
    auto jpegSize = [&](uint16_t w, uint16_t hh) {
        std::string s = jpeg;
        size_t sof = s.find("\xFF\xC0");
        if (sof == std::string::npos || sof + 9 > s.size()) return std::string();
        s[sof + 5] = (char)(hh >> 8), s[sof + 6] = (char)hh, s[sof + 7] = (char)(w >> 8), s[sof + 8] = (char)w;
        return s;
    };
    JpegSpec cmyk;
    cmyk.width = 32, cmyk.height = 32, cmyk.components = 4, cmyk.pixel = Gradient;
    const char* cantDeal = "Can't deal with this file.";
    const char* tooBig = "This file is too big.";
    struct Case {
        const char* what;
        const char* name;
        std::string bytes;
        const char* caption;
    } cases[] = {
        {"missing file", "", "", cantDeal},
        {"empty bitmap", "e.bmp", "", cantDeal},
        {"bitmap cut in its pixels", "cut.bmp", bmp.substr(0, bmp.size() / 2), cantDeal},
        {"bitmap cut in its header", "hdr.bmp", bmp.substr(0, 30), cantDeal},
        // The loader reads a zero-offset file's pixels past its colour table:
        // here 1078 bytes beyond the end of an 8192-byte file.
        {"no pixel offset, pixels cut short", "off0.bmp",
         patch32(Bmp(16, 512, 8, false, Gradient), 10, 0).substr(0, 8192), cantDeal},
        {"unknown header size", "hs.bmp", patch32(bmp, 14, 20), cantDeal},
        {"16 bits", "b16.bmp", Bmp(16, 16, 16, false, Gradient), cantDeal},
        {"32 bits", "b32.bmp", Bmp(16, 16, 32, false, Gradient), cantDeal},
        {"bit count 7", "b7.bmp", patch32(bmp, 28, 7), cantDeal},
        {"zero height", "h0.bmp", patch32(bmp, 22, 0), cantDeal},
        {"negative width", "wn.bmp", patch32(bmp, 18, (uint32_t)-64), cantDeal},
        {"width wrapping 16 bits", "w16.bmp", patch32(bmp, 18, 0x10000 + 64), tooBig},
        {"billions of pixels", "bn.bmp", patch32(patch32(bmp, 18, 0x7FFFFFFF), 22, 0x7FFFFFFF), tooBig},
        {"bitmap above four sides", "w4.bmp", patch32(bmp, 18, 2049), tooBig},
        {"JPEG name holding a bitmap", "bmp.jpg", bmp, cantDeal},
        {"JPEG cut in its header", "cut.jpg", jpeg.substr(0, 40), cantDeal},
        {"JPEG above three sides", "w3.jpg", jpegSize(1537, 16), tooBig},
        {"JPEG claiming 65000 x 65000", "huge.jpg", jpegSize(65000, 65000), tooBig},
        {"JPEG three pixels wide", "narrow.jpg", Jpeg(3, 40, 3, Gradient), cantDeal},
        {"JPEG fitted to no rows", "flat.jpg", Jpeg(1536, 1, 3, Gradient), cantDeal},
        {"CMYK JPEG", "cmyk.jpg", MakeJpeg(cmyk), cantDeal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        h.Reset(512);
        std::string good = h.Picture("good.bmp", bmp);
        std::string path = *c.name ? h.Picture(c.name, c.bytes) : h.dir.file("nowhere.bmp");
        h.Load({path, good});
        ASSERT_EQ(h.boxes.size(), 1u);
        EXPECT_EQ(h.boxes[0].text, path);
        EXPECT_EQ(h.boxes[0].caption, c.caption);
        EXPECT_EQ(h.settings.pictureCount, 1);
        EXPECT_STREQ(h.settings.pictureNames[0], good.c_str());
    }
}

TEST_F(TextureBuild, DamagedJpegDataIsShownWithAWarning) {
    h.Reset(512);
    const std::string jpeg = Jpeg(64, 64, 3, Gradient);
    std::string path = h.Picture("short.jpg", jpeg.substr(0, jpeg.size() * 2 / 3));
    h.Load({path});
    ASSERT_EQ(h.boxes.size(), 1u);
    EXPECT_EQ(h.boxes[0].text, path);
    EXPECT_EQ(h.boxes[0].caption, "This JPEG file may be corrupt:");
    EXPECT_EQ(h.settings.pictureCount, 1);
    EXPECT_EQ(h.TextureOf(h.settings.faceTextures[0])->side, 64);
}

TEST_F(TextureBuild, EndlessProgressiveScansAreRefused) {
    // A progressive file whose last scan is repeated hundreds of times: each
    // repeat is only a warning to the decoder, and a pass over the picture.
    JpegSpec pic;
    pic.width = 64, pic.height = 64, pic.progressive = true, pic.pixel = Gradient;
    std::string jpeg = MakeJpeg(pic);
    size_t lastScan = jpeg.rfind("\xFF\xDA");
    std::string scan = jpeg.substr(lastScan, jpeg.size() - 2 - lastScan);
    std::string hostile = jpeg.substr(0, jpeg.size() - 2);
    for (int i = 0; i < 400; i++) hostile += scan;
    hostile += "\xFF\xD9";
    h.Reset(512);
    std::string path = h.Picture("scans.jpg", hostile);
    h.Load({path, h.Picture("ok.jpg", jpeg)});
    ASSERT_GE(h.boxes.size(), 1u);
    EXPECT_EQ(h.boxes[0].text, path);
    EXPECT_EQ(h.boxes[0].caption, "Can't deal with this file.");
    EXPECT_EQ(h.settings.pictureCount, 1);
}

TEST_F(TextureBuild, FlippedBytesNeverCrashAndEndInAKnownWay) {
    const std::string files[2] = {Bmp(36, 20, 8, false, Gradient), Jpeg(36, 20, 3, Gradient)};
    const char* names[2] = {"f.bmp", "f.jpg"};
    const std::set<std::string> known = {"Can't deal with this file.", "This file is too big.",
                                         "Not enough memory to deal with this file.", "This JPEG file may be corrupt:"};
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
    for (int k = 0; k < 2; k++)
        for (int round = 0; round < 20; round++) {
            std::string bytes = files[k];
            for (int flips = 0; flips < 4; flips++) bytes[next() % bytes.size()] ^= (char)(1 << (next() % 8));
            h.Reset(256);
            h.Load({h.Picture(names[k], bytes)});
            for (const auto& box : h.boxes) {
                if (box.caption != "Can't get any pictures!") {
                    EXPECT_TRUE(known.count(box.caption)) << box.caption;
                }
            }
            if (h.settings.pictureCount == 1) {
                const PicturesHarness::Texture* t = h.TextureOf(h.settings.faceTextures[0]);
                ASSERT_NE(t, nullptr);
                EXPECT_LE(t->side, 256);
            }
        }
}
