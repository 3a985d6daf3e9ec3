// Draws the project's own pictures at build time: the preview bitmap of the
// engine and the program icons. Built for the build machine and run by the build.
//   draw_art preview out.bmp     213 x 160, 8 bits with a 256-colour table
//   draw_art icon saver|desk out.ico
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

struct Rgba {
    double r, g, b, a;
};

struct Canvas {
    int w, h;
    std::vector<Rgba> px;
    Canvas(int w_, int h_, Rgba fill) : w(w_), h(h_), px(size_t(w_) * h_, fill) {}
    Rgba& at(int x, int y) { return px[size_t(y) * w + x]; }
};

Rgba Mix(Rgba a, Rgba b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

// A face is the parallelogram origin + s*u + t*v for s, t in [0, 1); its
// colour comes from a little picture of its own, inside a light frame.
using Pattern = Rgba (*)(double s, double t);

Rgba Landscape(double s, double t) {
    double dx = s - 0.68, dy = t - 0.3;
    if (dx * dx + dy * dy < 0.018) return {1.0, 0.85, 0.2, 1};
    if (t < 0.58 + 0.08 * sin(s * 9.0)) return Mix({0.35, 0.6, 1.0, 1}, {0.75, 0.9, 1.0, 1}, t / 0.6);
    return Mix({0.2, 0.65, 0.25, 1}, {0.05, 0.35, 0.1, 1}, (t - 0.55) / 0.45);
}

Rgba Stripes(double s, double t) {
    int band = int((s + t) * 6.0);
    return band % 2 ? Rgba{0.95, 0.45, 0.15, 1} : Rgba{0.85, 0.15, 0.25, 1};
}

Rgba Rings(double s, double t) {
    double d = sqrt((s - 0.5) * (s - 0.5) + (t - 0.5) * (t - 0.5));
    return int(d * 10.0) % 2 ? Rgba{0.15, 0.3, 0.85, 1} : Rgba{0.55, 0.2, 0.8, 1};
}

void FillFace(Canvas& c, double ox, double oy, double ux, double uy, double vx, double vy, Pattern pattern,
              double light, bool blend) {
    double det = ux * vy - uy * vx;
    const int n = 4;  // samples per side, for smooth edges
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            Rgba sum{0, 0, 0, 0};
            int hits = 0;
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < n; ++i) {
                    double px = x + (i + 0.5) / n - ox, py = y + (j + 0.5) / n - oy;
                    double s = (px * vy - py * vx) / det, t = (ux * py - uy * px) / det;
                    if (s < 0 || s >= 1 || t < 0 || t >= 1) continue;
                    const double f = 0.08;
                    Rgba col = (s < f || t < f || s > 1 - f || t > 1 - f)
                                   ? Rgba{0.92, 0.92, 0.88, 1}
                                   : pattern((s - f) / (1 - 2 * f), (t - f) / (1 - 2 * f));
                    sum.r += col.r * light;
                    sum.g += col.g * light;
                    sum.b += col.b * light;
                    ++hits;
                }
            if (!hits) continue;
            double cover = double(hits) / (n * n);
            Rgba col{sum.r / hits, sum.g / hits, sum.b / hits, 1};
            Rgba& dst = c.at(x, y);
            if (blend) {
                double a = cover + dst.a * (1 - cover);
                dst = {col.r * cover + dst.r * (1 - cover), col.g * cover + dst.g * (1 - cover),
                       col.b * cover + dst.b * (1 - cover), a};
            } else {
                dst = Mix(dst, col, cover);
                dst.a = 1;
            }
        }
}

// An upright cube seen from above: top, left and right faces.
void DrawCube(Canvas& c, double cx, double cy, double size, Pattern top, Pattern left, Pattern right, bool blend) {
    double k = 0.866 * size, half = size / 2;
    FillFace(c, cx - k, cy - half, k, -half, k, half, top, 1.0, blend);
    FillFace(c, cx - k, cy - half, k, half, 0, size, left, 0.78, blend);
    FillFace(c, cx, cy, k, -half, 0, size, right, 0.6, blend);
}

uint8_t Byte(double v) {
    v = v < 0 ? 0 : v > 1 ? 1 : v;
    return uint8_t(lround(v * 255));
}

void Put16(std::string& s, unsigned v) {
    s += char(v & 0xff);
    s += char((v >> 8) & 0xff);
}
void Put32(std::string& s, unsigned v) {
    Put16(s, v & 0xffff);
    Put16(s, v >> 16);
}

std::string InfoHeader(int w, int h, int bits, unsigned imageBytes, int colours) {
    std::string s;
    Put32(s, 40);
    Put32(s, unsigned(w));
    Put32(s, unsigned(h));
    Put16(s, 1);
    Put16(s, bits);
    Put32(s, 0);
    Put32(s, imageBytes);
    Put32(s, 2835);
    Put32(s, 2835);
    Put32(s, colours);
    Put32(s, 0);
    return s;
}

// 216 colours of a 6-level cube, then 40 greys.
std::vector<Rgba> Palette() {
    std::vector<Rgba> p;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) p.push_back({r / 5.0, g / 5.0, b / 5.0, 1});
    for (int i = 0; i < 40; ++i) p.push_back({(i + 0.5) / 40, (i + 0.5) / 40, (i + 0.5) / 40, 1});
    return p;
}

std::string PaletteBytes(const std::vector<Rgba>& pal) {
    std::string s;
    for (const Rgba& c : pal) {
        s += char(Byte(c.b));
        s += char(Byte(c.g));
        s += char(Byte(c.r));
        s += char(0);
    }
    return s;
}

uint8_t Nearest(const std::vector<Rgba>& pal, Rgba c) {
    int best = 0;
    double bestD = 1e9;
    for (size_t i = 0; i < pal.size(); ++i) {
        double dr = pal[i].r - c.r, dg = pal[i].g - c.g, db = pal[i].b - c.b;
        double d = dr * dr * 0.3 + dg * dg * 0.59 + db * db * 0.11;
        if (d < bestD) bestD = d, best = int(i);
    }
    return uint8_t(best);
}

// 8-bit rows, bottom-up, padded to four bytes.
std::string IndexedRows(Canvas& c, const std::vector<Rgba>& pal) {
    std::string s;
    int stride = (c.w + 3) & ~3;
    for (int y = c.h - 1; y >= 0; --y) {
        for (int x = 0; x < c.w; ++x) s += char(Nearest(pal, c.at(x, y)));
        s.append(size_t(stride - c.w), '\0');
    }
    return s;
}

bool WriteAll(const char* path, const std::string& bytes) {
    FILE* f = fopen(path, "wb");
    if (!f) return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

unsigned Lcg(unsigned& seed) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7fff;
}

int Preview(const char* path) {
    Canvas c(213, 160, {0, 0, 0, 1});
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) c.at(x, y) = Mix({0.02, 0.03, 0.2, 1}, {0, 0, 0.02, 1}, y / 159.0);
    unsigned seed = 113;
    for (int i = 0; i < 70; ++i) {
        int x = int(Lcg(seed) % 213), y = int(Lcg(seed) % 160);
        double v = 0.5 + (Lcg(seed) % 50) / 100.0;
        c.at(x, y) = {v, v, v, 1};
    }
    DrawCube(c, 100, 86, 50, Landscape, Stripes, Rings, false);
    DrawCube(c, 170, 40, 17, Rings, Landscape, Stripes, false);
    std::vector<Rgba> pal = Palette();
    std::string rows = IndexedRows(c, pal);
    std::string info = InfoHeader(c.w, c.h, 8, unsigned(rows.size()), 256) + PaletteBytes(pal);
    std::string file = "BM";
    Put32(file, unsigned(14 + info.size() + rows.size()));
    Put32(file, 0);
    Put32(file, unsigned(14 + info.size()));
    return WriteAll(path, file + info + rows) ? 0 : 1;
}

Canvas IconCanvas(int side, bool desk) {
    Canvas c(side, side, {0, 0, 0, 0});
    double s = side / 2.1;
    if (desk) {
        // The viewer's icon: the cube in a small window frame.
        for (int y = side / 8; y < side - side / 16; ++y)
            for (int x = side / 16; x < side - side / 16; ++x) {
                bool bar = y < side / 8 + side / 8;
                c.at(x, y) = bar ? Rgba{0.1, 0.2, 0.6, 1} : Rgba{0.02, 0.02, 0.08, 1};
            }
        s = side / 3.2;
        DrawCube(c, side / 2.0, side * 0.6, s, Landscape, Stripes, Rings, true);
    } else {
        DrawCube(c, side / 2.0, side / 2.0, s, Landscape, Stripes, Rings, true);
    }
    return c;
}

std::string AndMask(Canvas& c) {
    std::string s;
    int stride = ((c.w + 31) / 32) * 4;
    for (int y = c.h - 1; y >= 0; --y) {
        std::string row(size_t(stride), '\0');
        for (int x = 0; x < c.w; ++x)
            if (c.at(x, y).a < 0.5) row[size_t(x / 8)] |= char(0x80 >> (x % 8));
        s += row;
    }
    return s;
}

std::string IconImage(Canvas& c, int bits) {
    std::string colours, pixels;
    if (bits == 32) {
        for (int y = c.h - 1; y >= 0; --y)
            for (int x = 0; x < c.w; ++x) {
                Rgba p = c.at(x, y);
                double a = p.a > 0 ? p.a : 1;  // canvas colours are premultiplied
                pixels += char(Byte(p.b / a));
                pixels += char(Byte(p.g / a));
                pixels += char(Byte(p.r / a));
                pixels += char(Byte(p.a));
            }
    } else {
        std::vector<Rgba> pal = Palette();
        Canvas plain = c;
        for (Rgba& p : plain.px)
            if (p.a > 0) p = {p.r / p.a, p.g / p.a, p.b / p.a, p.a};
        colours = PaletteBytes(pal);
        pixels = IndexedRows(plain, pal);
    }
    std::string mask = AndMask(c);
    return InfoHeader(c.w, c.h * 2, bits, unsigned(pixels.size() + mask.size()), bits == 8 ? 256 : 0) + colours +
           pixels + mask;
}

int Icon(bool desk, const char* path) {
    struct Entry {
        int side, bits;
    };
    const Entry entries[] = {{16, 32}, {32, 32}, {48, 32}, {32, 8}, {16, 8}};
    const int count = int(sizeof entries / sizeof entries[0]);
    std::vector<std::string> images;
    for (const Entry& e : entries) {
        Canvas c = IconCanvas(e.side, desk);
        images.push_back(IconImage(c, e.bits));
    }
    std::string file;
    Put16(file, 0);
    Put16(file, 1);
    Put16(file, count);
    unsigned offset = 6 + 16 * count;
    for (int i = 0; i < count; ++i) {
        file += char(entries[i].side);
        file += char(entries[i].side);
        file += char(0);
        file += char(0);
        Put16(file, 1);
        Put16(file, entries[i].bits);
        Put32(file, unsigned(images[i].size()));
        Put32(file, offset);
        offset += unsigned(images[i].size());
    }
    for (const std::string& img : images) file += img;
    return WriteAll(path, file) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && !strcmp(argv[1], "preview")) return Preview(argv[2]);
    if (argc == 4 && !strcmp(argv[1], "icon") && (!strcmp(argv[2], "saver") || !strcmp(argv[2], "desk")))
        return Icon(!strcmp(argv[2], "desk"), argv[3]);
    fprintf(stderr, "usage: draw_art preview out.bmp | draw_art icon saver|desk out.ico\n");
    return 2;
}
