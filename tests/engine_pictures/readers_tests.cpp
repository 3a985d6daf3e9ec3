// The picture readers on their own: file-name test, bitmap header, JPEG decode.
#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>
#include <vector>

#include "picturefiles.h"
#include "pictures.h"
#include "pictures_internal.h"
#include "testsupport.h"

using namespace testsupport;

TEST(IsJpegFileName, OnlyExactJpgOrJPGAfterTheLastDot) {
    struct Case {
        const char* name;
        int expected;
    } cases[] = {
        {"c:\\pics\\cat.jpg", 1}, {"cat.JPG", 1},    {"cat.Jpg", 0},      {"cat.jpeg", 0}, {"cat.bmp", 0},
        {"cat.bmp.jpg", 1},       {"cat.jpg.bmp", 0}, {"dir.jpg\\cat", 0}, {"jpg", 0},     {"cat.", 0},
        {"cat.jpg ", 0},          {"", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(IsJpegFileName(c.name), c.expected) << c.name;
}

namespace {

std::string Patch32(std::string bytes, size_t offset, uint32_t v) {
    for (int i = 0; i < 4; i++) bytes[offset + i] = (char)(v >> (8 * i));
    return bytes;
}

std::string SmallBmp(int w, int h, int bits, bool topDown = false, bool core = false, int headerSize = 40) {
    BmpSpec pic;
    pic.width = w, pic.height = h, pic.bits = bits, pic.topDown = topDown, pic.coreHeader = core;
    pic.headerSize = headerSize;
    if (bits <= 8) pic.palette.assign(1u << bits, 0x808080);
    pic.pixel = [](int, int) { return 0u; };
    return MakeBmp(pic);
}

}  // namespace

TEST(ReadBmpHeader, SizesAndBitCountOrRefusal) {
    const std::string bmp = SmallBmp(100, 60, 24);
    struct Case {
        const char* what;
        std::string bytes;
        int result;
        short width, height;
        int bits;
    } cases[] = {
        {"information header", bmp, 1, 100, 60, 24},
        {"top-down", SmallBmp(12, 9, 8, true), 1, 12, -9, 8},
        {"core header", SmallBmp(13, 7, 4, false, true), 1, 13, 7, 4},
        {"version 5 header", SmallBmp(20, 10, 1, false, false, 124), 1, 20, 10, 1},
        {"16 bits reported", SmallBmp(8, 8, 16), 1, 8, 8, 16},
        {"wrong magic", "BN" + bmp.substr(2), 0, 0, 0, 0},
        {"only the file header", bmp.substr(0, 14), 0, 0, 0, 0},
        {"header cut short", bmp.substr(0, 24), 0, 0, 0, 0},
        {"empty file", "", 0, 0, 0, 0},
        {"unknown header size", Patch32(bmp, 14, 20), 0, 0, 0, 0},
        {"zero width", Patch32(bmp, 18, 0), 0, 0, 0, 0},
        {"negative width", Patch32(bmp, 18, (uint32_t)-100), 0, 0, 0, 0},
        {"zero height", Patch32(bmp, 22, 0), 0, 0, 0, 0},
        {"width beyond 16 bits", Patch32(bmp, 18, 65536 + 100), 0, 0, 0, 0},
        {"width 32768", Patch32(bmp, 18, 32768), 0, 0, 0, 0},
        {"height beyond 16 bits", Patch32(bmp, 22, 0x7FFFFFFF), 0, 0, 0, 0},
        {"most negative height", Patch32(bmp, 22, 0x80000000u), 0, 0, 0, 0},
    };
    TempDir dir;
    for (const Case& c : cases) {
        std::string path = dir.file("p.bmp");
        WriteFile(path, c.bytes);
        short w = -1, h = -1;
        int bits = -1;
        ASSERT_EQ(ReadBmpHeader(path.c_str(), &w, &h, &bits), c.result) << c.what;
        if (c.result) {
            EXPECT_EQ(w, c.width) << c.what;
            EXPECT_EQ(h, c.height) << c.what;
            EXPECT_EQ(bits, c.bits) << c.what;
        }
    }
    short w;
    int bits;
    EXPECT_EQ(ReadBmpHeader(dir.file("missing.bmp").c_str(), &w, &w, &bits), 0);
}

TEST(BmpLayoutIsComplete, RefusesFilesShorterThanTheirHeadersPromise) {
    const std::string bmp24 = SmallBmp(100, 60, 24), bmp8 = SmallBmp(12, 9, 8), core4 = SmallBmp(13, 7, 4, false, true);
    BmpSpec rle;
    rle.width = 30, rle.height = 10, rle.bits = 8, rle.rle = true, rle.palette.assign(256, 0x404040);
    rle.pixel = [](int x, int) { return (uint32_t)x / 4; };
    const std::string rle8 = MakeBmp(rle);
    struct Case {
        const char* what;
        std::string bytes;
        bool complete;
    } cases[] = {
        {"24 bits", bmp24, true},
        {"8 bits", bmp8, true},
        {"core header", core4, true},
        {"top-down", SmallBmp(12, 9, 8, true), true},
        {"last pixel row missing", bmp24.substr(0, bmp24.size() - 300), false},
        {"one byte short", bmp8.substr(0, bmp8.size() - 1), false},
        {"colour table cut", bmp8.substr(0, 14 + 40 + 100), false},
        {"core table cut", core4.substr(0, 14 + 12 + 20), false},
        {"pixel offset beyond the end", Patch32(bmp24, 10, 1u << 30), false},
        // A zero offset puts the pixels just past the colour table.
        {"no pixel offset", Patch32(bmp8, 10, 0), true},
        {"no pixel offset, one byte short", Patch32(bmp8, 10, 0).substr(0, bmp8.size() - 1), false},
        {"compression 4", Patch32(bmp24, 30, 4), false},
        {"bit count 7", Patch32(bmp24, 28, 7), false},
        {"more colours than the depth has", Patch32(bmp8, 46, 257), false},
        {"image taller than the file", Patch32(bmp24, 22, 30000), false},
        {"run-length encoded", rle8, true},
        {"runs longer than the file", Patch32(rle8, 34, (uint32_t)rle8.size()), false},
        {"runs without a size", Patch32(rle8, 34, 0), false},
        {"runs at 24 bits", Patch32(Patch32(rle8, 28, 24 | 1u << 16), 46, 0), false},
    };
    TempDir dir;
    for (const Case& c : cases) {
        WriteFile(dir.file("p.bmp"), c.bytes);
        BmpInfo info;
        if (ReadBmpInfo(dir.file("p.bmp").c_str(), &info) != BMP_HEADER_OK) {
            EXPECT_FALSE(c.complete) << c.what << ": header refused";
            continue;
        }
        EXPECT_EQ(BmpLayoutIsComplete(info), c.complete) << c.what;
    }
}

namespace {

// Quadrants of 16 x 16: red top left, green top right, blue bottom left, white bottom right.
uint32_t Quadrants(int x, int y) {
    static const uint32_t colours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    return colours[(y >= 16) * 2 + (x >= 16)];
}

struct Decoded {
    int result;
    unsigned short width, height;
    int colours, warnings;
    std::vector<unsigned char> pixels;
};

Decoded Decode(const std::string& path, size_t capacity, int scale, size_t bufferSize = 0) {
    Decoded d{};
    d.pixels.assign(bufferSize ? bufferSize : capacity, 0xAB);
    d.result = ReadJpegFile(path.c_str(), d.pixels.data(), capacity, &d.width, &d.height, &d.colours, 1, scale,
                            &d.warnings);
    return d;
}

void ExpectBgr(const Decoded& d, int x, int y, uint32_t rgb, const char* what) {
    const unsigned char* p = &d.pixels[((size_t)y * d.width + x) * 3];
    EXPECT_NEAR(p[0], (int)(rgb & 255), 12) << what << " blue at " << x << "," << y;
    EXPECT_NEAR(p[1], (int)(rgb >> 8 & 255), 12) << what << " green at " << x << "," << y;
    EXPECT_NEAR(p[2], (int)(rgb >> 16 & 255), 12) << what << " red at " << x << "," << y;
}

bool Untouched(const Decoded& d) {
    for (unsigned char b : d.pixels)
        if (b != 0xAB) return false;
    return true;
}

}  // namespace

TEST(ReadJpegFile, HeaderModeGivesSizeAndReturnsZero) {
    TempDir dir;
    JpegSpec pic;
    pic.width = 37, pic.height = 21, pic.pixel = Quadrants;
    WriteFile(dir.file("a.jpg"), MakeJpeg(pic));
    unsigned short w = 0, h = 0;
    int colours = 0, warnings = -1;
    EXPECT_EQ(ReadJpegFile(dir.file("a.jpg").c_str(), nullptr, 0, &w, &h, &colours, 0, 1, &warnings), 0);
    EXPECT_EQ(w, 37);
    EXPECT_EQ(h, 21);
    EXPECT_EQ(colours, 0x1000000);
    EXPECT_EQ(warnings, 0);

    w = h = 7;
    EXPECT_EQ(ReadJpegFile(dir.file("missing.jpg").c_str(), nullptr, 0, &w, &h, &colours, 0, 1, &warnings), 0);
    WriteFile(dir.file("junk.jpg"), "this is not a picture at all");
    EXPECT_EQ(ReadJpegFile(dir.file("junk.jpg").c_str(), nullptr, 0, &w, &h, &colours, 0, 1, &warnings), 0);
    EXPECT_EQ(w, 7) << "size written although no header was read";
    EXPECT_EQ(h, 7);
}

TEST(ReadJpegFile, DecodesTopRowFirstMirroredAsBlueGreenRed) {
    TempDir dir;
    JpegSpec pic;
    pic.width = 32, pic.height = 32, pic.quality = 100, pic.pixel = Quadrants;
    WriteFile(dir.file("q.jpg"), MakeJpeg(pic));
    Decoded d = Decode(dir.file("q.jpg"), 32 * 32 * 3, 1);
    ASSERT_EQ(d.result, 1);
    EXPECT_EQ(d.width, 32);
    EXPECT_EQ(d.height, 32);
    EXPECT_EQ(d.warnings, 0);
    ExpectBgr(d, 8, 8, 0x00FF00, "mirrored top right");
    ExpectBgr(d, 24, 8, 0xFF0000, "mirrored top left");
    ExpectBgr(d, 8, 24, 0xFFFFFF, "mirrored bottom right");
    ExpectBgr(d, 24, 24, 0x0000FF, "mirrored bottom left");

    pic.components = 1;
    pic.pixel = [](int x, int) { return x < 16 ? 0x282828u : 0xC8C8C8u; };
    WriteFile(dir.file("g.jpg"), MakeJpeg(pic));
    d = Decode(dir.file("g.jpg"), 32 * 32 * 3, 1);
    ASSERT_EQ(d.result, 1);
    ExpectBgr(d, 4, 3, 0xC8C8C8, "grey right half");
    ExpectBgr(d, 28, 30, 0x282828, "grey left half");
    for (size_t i = 0; i < d.pixels.size(); i += 3) {
        ASSERT_EQ(d.pixels[i], d.pixels[i + 1]);
        ASSERT_EQ(d.pixels[i], d.pixels[i + 2]);
    }
}

TEST(ReadJpegFile, HalfSizeRoundsUpAndFillsExactlyItsSize) {
    TempDir dir;
    JpegSpec pic;
    pic.width = 33, pic.height = 21, pic.pixel = Quadrants;
    WriteFile(dir.file("h.jpg"), MakeJpeg(pic));
    const size_t size = 17 * 11 * 3;
    Decoded d = Decode(dir.file("h.jpg"), size, 2, size + 64);
    ASSERT_EQ(d.result, 1);
    EXPECT_EQ(d.width, 17);
    EXPECT_EQ(d.height, 11);
    for (size_t i = size; i < d.pixels.size(); i++) ASSERT_EQ(d.pixels[i], 0xAB) << "written past the picture";
}

TEST(ReadJpegFile, RefusesBeforeWritingAnything) {
    TempDir dir;
    JpegSpec pic;
    pic.width = 32, pic.height = 32, pic.pixel = Quadrants;
    WriteFile(dir.file("q.jpg"), MakeJpeg(pic));
    pic.components = 4;
    WriteFile(dir.file("cmyk.jpg"), MakeJpeg(pic));
    struct Case {
        const char* what;
        const char* file;
        size_t capacity;
        int scale;
    } cases[] = {
        {"buffer one byte short", "q.jpg", 32 * 32 * 3 - 1, 1},
        {"buffer sized for half the picture", "q.jpg", 16 * 16 * 3, 1},
        {"four components", "cmyk.jpg", 32 * 32 * 3, 1},
    };
    for (const Case& c : cases) {
        Decoded d = Decode(dir.file(c.file), c.capacity, c.scale, 32 * 32 * 3);
        EXPECT_EQ(d.result, 0) << c.what;
        EXPECT_TRUE(Untouched(d)) << c.what;
    }
}
