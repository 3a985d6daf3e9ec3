// Draws the sample pictures the saver shows in scripts/run: one of every
// kind the engine reads (BMP of 1, 4, 8 and 24 bits, grey and colour JPEG).
//   make_samples.exe <folder>
#include <math.h>
#include <stdio.h>
#include <string>
#include <vector>

#include "picturefiles.h"
#include "testsupport.h"

using testsupport::BmpSpec;
using testsupport::JpegSpec;

namespace {

const double kPi = 3.14159265358979;

uint32_t Rgb(double r, double g, double b) {
    auto c = [](double v) { return (uint32_t)(v < 0 ? 0 : v > 255 ? 255 : v + 0.5); };
    return c(r) << 16 | c(g) << 8 | c(b);
}

uint32_t Mix(uint32_t a, uint32_t b, double t) {
    auto ch = [&](int s) { return (a >> s & 255) + ((double)(b >> s & 255) - (a >> s & 255)) * t; };
    return Rgb(ch(16), ch(8), ch(0));
}

// Evening sky over the sea, a low sun and its glitter on the water.
uint32_t Sunset(int x, int y) {
    const int w = 320, h = 240, horizon = 160;
    double sx = x - w * 0.62, sy = y - horizon + 22;
    double sun = sqrt(sx * sx + sy * sy);
    if (y < horizon) {
        uint32_t sky = Mix(0x2B1B5E, 0xFF9A3C, pow((double)y / horizon, 1.4));
        if (sun < 26) return Mix(0xFFF2B0, 0xFFD36A, sun / 26);
        if (sun < 60) return Mix(Mix(sky, 0xFFD36A, 0.5), sky, (sun - 26) / 34);
        return sky;
    }
    uint32_t sea = Mix(0x3A2A5A, 0x0D1030, (double)(y - horizon) / (h - horizon));
    double glitter = fabs(x - w * 0.62) < 8 + (y - horizon) * 0.5 && ((x / 3 + y) % 5 == 0);
    return glitter ? Mix(sea, 0xFFC56A, 0.8) : sea;
}

// Two-colour checkerboard, inverted inside a large ring.
uint32_t Checker(int x, int y) {
    double dx = x - 127.5, dy = y - 127.5, r = sqrt(dx * dx + dy * dy);
    int square = ((x / 32) + (y / 32)) & 1;
    return (r > 70 && r < 110) ? !square : square;
}

// Sixteen concentric rainbow rings.
uint32_t Rings(int x, int y) {
    double dx = x - 119.5, dy = y - 119.5;
    return (uint32_t)(sqrt(dx * dx + dy * dy) / 10) % 16;
}

// Plasma of overlapping waves through a 256-colour table.
uint32_t Plasma(int x, int y) {
    double v = sin(x / 16.0) + sin(y / 11.0) + sin((x + y) / 23.0) + sin(sqrt((double)(x - 128) * (x - 128) + (y - 96) * (y - 96)) / 9.0);
    return (uint32_t)((v + 4) * 32) & 255;
}

// Rolling green hills under a blue sky, with a white cloud.
uint32_t Hills(int x, int y) {
    const int h = 400;
    double ridge1 = 230 + 40 * sin(x / 90.0) + 15 * sin(x / 23.0);
    double ridge2 = 290 + 30 * sin(x / 70.0 + 2) + 10 * sin(x / 17.0);
    if (y > ridge2) return Mix(0x3E8E2E, 0x1F4F17, (y - ridge2) / (h - ridge2));
    if (y > ridge1) return Mix(0x74B84A, 0x4C8A34, (y - ridge1) / (ridge2 - ridge1));
    double cx = (x - 180) / 90.0, cy = (y - 90) / 30.0;
    double cloud = cx * cx + cy * cy;
    uint32_t sky = Mix(0x2F6FD0, 0xBFE3FF, y / ridge1);
    return cloud < 1 ? Mix(0xFFFFFF, sky, cloud * cloud) : sky;
}

// A grey moon: a lit sphere with a few craters, on black.
uint32_t Moon(int x, int y) {
    double dx = (x - 150) / 120.0, dy = (y - 150) / 120.0, d = dx * dx + dy * dy;
    if (d > 1) return 0;
    double z = sqrt(1 - d);
    double light = 0.15 + 0.85 * fmax(0, -0.5 * dx - 0.4 * dy + 0.77 * z);
    static const double craters[][3] = {{-0.3, -0.2, 0.18}, {0.35, 0.3, 0.12}, {0.1, -0.55, 0.1}, {-0.45, 0.45, 0.08}};
    for (auto& c : craters) {
        double cx = dx - c[0], cy = dy - c[1];
        if (cx * cx + cy * cy < c[2] * c[2]) light *= 0.7;
    }
    uint32_t g = (uint32_t)(light * 235);
    return g << 16 | g << 8 | g;
}

std::vector<uint32_t> Palette(int n, uint32_t (*colour)(int, int)) {
    std::vector<uint32_t> p;
    for (int i = 0; i < n; i++) p.push_back(colour(i, n));
    return p;
}

uint32_t Rainbow(int i, int n) {
    double t = 2 * kPi * i / n;
    return Rgb(128 + 127 * cos(t), 128 + 127 * cos(t - 2.1), 128 + 127 * cos(t + 2.1));
}

uint32_t Ember(int i, int n) {
    double t = 2 * kPi * i / n;
    return Rgb(140 + 115 * sin(t), 90 + 90 * sin(t + 1.3), 120 + 120 * sin(t + 3.0));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: make_samples <folder>\n");
        return 2;
    }
    std::string dir = argv[1];
    CreateDirectoryA(dir.c_str(), nullptr);
    struct Sample {
        const char* name;
        std::string bytes;
    };
    BmpSpec sunset;
    sunset.width = 320, sunset.height = 240, sunset.bits = 24, sunset.pixel = Sunset;
    BmpSpec checker;
    checker.width = 256, checker.height = 256, checker.bits = 1, checker.palette = {0x1B2A4A, 0xF2E6C8};
    checker.pixel = Checker;
    BmpSpec rings;
    rings.width = 240, rings.height = 240, rings.bits = 4, rings.palette = Palette(16, Rainbow), rings.pixel = Rings;
    BmpSpec plasma;
    plasma.width = 256, plasma.height = 192, plasma.bits = 8, plasma.palette = Palette(256, Ember);
    plasma.pixel = Plasma;
    JpegSpec hills;
    hills.width = 640, hills.height = 400, hills.components = 3, hills.pixel = Hills;
    JpegSpec moon;
    moon.width = 300, moon.height = 300, moon.components = 1, moon.pixel = Moon;
    Sample samples[] = {
        {"sunset.bmp", MakeBmp(sunset)},  {"checker.bmp", MakeBmp(checker)}, {"rings.bmp", MakeBmp(rings)},
        {"plasma.bmp", MakeBmp(plasma)},  {"hills.jpg", MakeJpeg(hills)},    {"moon.jpg", MakeJpeg(moon)},
    };
    for (auto& s : samples) {
        std::string path = dir + "\\" + s.name;
        testsupport::WriteFile(path, s.bytes);
        printf("%s\n", path.c_str());
    }
    return 0;
}
