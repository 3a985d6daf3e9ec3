// Pixels per second of every 8-bit trapezoid variant and line routine, beside the memset
// bandwidth of the same back buffer measured in the same run. Not a test:
// it prints numbers and always succeeds.
#include "bpp08/bpp08_trapezoids.h"
#include "bpp16/bpp16_trapezoids.h"
#include "bpp24/bpp24_trapezoids.h"
#include "bpp32/bpp32_trapezoids.h"
#include "bpp08/lines08.h"
#include "bpp08/services08.h"
#include "bpp16/services16.h"
#include "bpp24/services24.h"
#include "bpp32/services32.h"
#include "frame/globals.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <vector>

namespace {

const int kWidth = 1024, kHeight = 768;
const double kSeconds = 0.25;  // per measurement

double Now() {
    static LARGE_INTEGER freq;
    if (!freq.QuadPart) QueryPerformanceFrequency(&freq);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

uint32_t Fixed(double v) { return static_cast<uint32_t>(static_cast<int32_t>(v * 65536.0)); }

// One trapezoid over most of the buffer, slanted so that spans start at
// every alignment; returns the pixels it covers.
uint64_t MakeTrapezoid(DevTrapEdge& left, DevTrapEdge& right, DevTrapGradients& g) {
    memset(&left, 0, sizeof left);
    memset(&right, 0, sizeof right);
    memset(&g, 0, sizeof g);
    left.x = Fixed(40.3);
    left.y = 0;
    left.dxdy = Fixed(0.07);
    left.rowCount = kHeight;
    left.z = 0x4000000;
    left.ch0 = 0x200000;
    left.ch1 = 0x400000;
    left.ch2 = 0x600000;
    right.x = Fixed(1000.6);
    right.dxdy = Fixed(-0.05);
    right.rowCount = kHeight;
    g.dzdx = 0x10;
    g.dzdy = 0x20;
    g.dch0dx = 0x1800;
    g.dch1dx = 0x1400;
    g.dch2dx = 0x1000;
    g.dch0dy = 0x1000;
    g.dch1dy = 0x800;
    g.dch2dy = 0x400;
    // Texture coordinates: a little under one texel per pixel across, a
    // slow drift down; the perspective ones with small second differences.
    left.u = 0x100000;
    left.v = 0x80000;
    left.uStepX = 0x1c0000;
    left.vStepX = 0x10000;
    left.uStepY = 0x8000;
    left.vStepY = 0x140000;
    g.dudx = 0x1c0000;
    g.dvdx = 0x10000;
    g.dudy = 0x8000;
    g.dvdy = 0x140000;
    g.d2udx2 = 0x20;
    g.d2udxdy = 0x10;
    g.d2udy2 = 0x8;
    g.d2vdx2 = 0x8;
    g.d2vdxdy = 0x10;
    g.d2vdy2 = 0x20;
    uint64_t pixels = 0;
    for (int r = 0; r < kHeight; ++r) {
        int xl = static_cast<int>((static_cast<int32_t>(left.x) + r * static_cast<int32_t>(left.dxdy)) >> 16);
        int xr = static_cast<int>((static_cast<int32_t>(right.x) + r * static_cast<int32_t>(right.dxdy)) >> 16);
        if (xr > xl) pixels += static_cast<uint64_t>(xr - xl);
    }
    return pixels;
}

// A 256 x 256 power-of-two texture of noise, 16-bit texels or 8-bit
// indices; one texel value in 64 is the colour key.
struct BenchTexture {
    std::vector<uint16_t> texels16;
    std::vector<uint8_t> texels8;
    DevTexture record16, record8;
    static const uint32_t kKey = 0x1234;
    BenchTexture() : texels16(256 * 256), texels8(256 * 256) {
        uint32_t n = 12345;
        for (uint32_t i = 0; i < 256 * 256; ++i) {
            n = n * 1103515245u + 12345u;
            texels16[i] = (n >> 16) % 64 == 0 ? kKey : static_cast<uint16_t>(n >> 16);
            texels8[i] = (n >> 16) % 64 == 0 ? kKey & 0xff : static_cast<uint8_t>(n >> 20);
        }
        for (DevTexture* t : {&record16, &record8}) {
            memset(t, 0, sizeof *t);
            t->rowShift = 8;
            t->addressMode = TEXADDR_POW2;
            t->uMask = 0x1fffffff;
            t->vMask = 0x1fffffff;
        }
        record16.texels = texels16.data();
        record8.texels = texels8.data();
    }
};

// Clear and present of one family over the whole buffer with every block
// marked, at bpp bytes per pixel: Mpixel/s, and bytes written per second
// against memset's on the same buffer.
void ServiceRows(const char* family, DevClearProc clear, DevPresentProc present, uint32_t bpp) {
    double memsetRate = 0;
    const size_t bytes = static_cast<size_t>(kWidth) * kHeight * bpp;
    std::vector<uint8_t> back(bytes + 64), front(bytes + 64);
    std::vector<uint32_t> a(kHeight + 1), b(kHeight + 1);
    DevRect16 clip = {0, 0, kWidth, kHeight};
    DevContext ctx;
    memset(&ctx, 0, sizeof ctx);
    ctx.back.bits = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(back.data() + (64 - reinterpret_cast<uintptr_t>(back.data()) % 64) % 64));
    ctx.back.width = kWidth;
    ctx.back.height = kHeight;
    ctx.back.pitch = static_cast<int16_t>(kWidth * bpp);
    ctx.front.bits = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(front.data() + (64 - reinterpret_cast<uintptr_t>(front.data()) % 64) % 64));
    ctx.drawBuffer = &ctx.back;
    ctx.update = clip;
    ctx.window = clip;
    ctx.clipRects = &clip;
    ctx.clipCount = 1;
    ctx.dirtyA = a.data();
    ctx.dirtyB = b.data();
    ctx.dirtyRows = kHeight;
    g_screenPitch = kWidth * bpp;
    g_dciWin95 = 0;
    const uint32_t pixel = 0x11223344;
    memcpy(ctx.clearPattern, &pixel, 4);
    memcpy(ctx.clearPattern + 4, &pixel, 4);
    memcpy(ctx.clearPattern + 8, &pixel, 4);
    // memset of this family's back buffer, in the same run.
    {
        uint64_t rounds = 0;
        double start = Now(), elapsed = 0;
        do {
            memset(back.data(), static_cast<int>(rounds), bytes);
            ++rounds;
            elapsed = Now() - start;
        } while (elapsed < kSeconds);
        memsetRate = static_cast<double>(bytes) * rounds / elapsed;
        printf("memset, %ux%u x %u bytes: %.1f Mbyte/s\n", kWidth, kHeight, bpp, memsetRate / 1e6);
    }
    const struct {
        const char* what;
        bool isClear;
    } rows[] = {{"DevClear", true}, {"DevPresent", false}};
    for (const auto& r : rows) {
        uint64_t rounds = 0;
        double start = Now(), elapsed = 0;
        do {
            memset(a.data(), 0xff, 4 * kHeight);
            if (r.isClear)
                clear(&ctx, 0x20);
            else
                present(&ctx);
            ++rounds;
            elapsed = Now() - start;
        } while (elapsed < kSeconds);
        const double rate = static_cast<double>(kWidth) * kHeight * rounds / elapsed;
        printf("%s_%-22s %8.1f Mpixel/s  %5.2f x memset (%u bytes per pixel)\n", family, r.what, rate / 1e6,
               rate * bpp / memsetRate, bpp);
    }
}

// Lines from the middle of the buffer to 64 points around its edge, every
// slope from flat to steep in both directions, as the family's line
// routines draw them: Mpixel/s against memset.
void LineRows(DevContext* ctx, double memsetRate) {
    std::vector<DevLineRecord> lines;
    uint64_t pixels = 0;
    const int cx = kWidth / 2, cy = kHeight / 2;
    for (int i = 0; i < 64; ++i) {
        const int t = i % 16, side = i / 16;
        const int ex = side == 0 ? t * (kWidth - 1) / 15 : side == 1 ? kWidth - 1 : side == 2 ? (15 - t) * (kWidth - 1) / 15 : 0;
        const int ey = side == 0 ? 0 : side == 1 ? t * (kHeight - 1) / 15 : side == 2 ? kHeight - 1 : (15 - t) * (kHeight - 1) / 15;
        DevLineRecord r;
        memset(&r, 0, sizeof r);
        r.vertex[0].x = static_cast<uint32_t>(cx) << 16;
        r.vertex[0].y = static_cast<uint32_t>(cy) << 16;
        r.vertex[0].z = 0x4000000;
        r.vertex[0].zStep = 0x10;
        r.vertex[0].ch0 = 0x200000;
        r.vertex[0].ch1 = 0x400000;
        r.vertex[0].ch2 = 0x600000;
        r.vertex[0].ch0Step = 0x1800;
        r.vertex[0].ch1Step = 0x1400;
        r.vertex[0].ch2Step = 0x1000;
        r.vertex[1].x = static_cast<uint32_t>(ex) << 16;
        r.vertex[1].y = static_cast<uint32_t>(ey) << 16;
        lines.push_back(r);
        const int adx = ex > cx ? ex - cx : cx - ex, ady = ey > cy ? ey - cy : cy - ey;
        pixels += static_cast<uint64_t>((adx > ady ? adx : ady) + 1);
    }
    for (uint32_t i = 0; i < kBpp08LineVariantCount; ++i) {
        const DevLineVariant& v = g_bpp08LineVariants[i];
        uint64_t rounds = 0;
        const double start = Now();
        double elapsed = 0;
        do {
            for (DevLineRecord& r : lines) v.proc(ctx, &r, 0);
            ++rounds;
            elapsed = Now() - start;
        } while (elapsed < kSeconds);
        const double rate = static_cast<double>(pixels) * rounds / elapsed;
        printf("%-28s %8.1f Mpixel/s  %5.2f x memset\n", v.name, rate / 1e6, rate / memsetRate);
    }
}

// Every trapezoid routine of a family's table on the same trapezoid (spans
// of about 960 pixels) with a 256 x 256 power-of-two texture, on the pixel
// layout the caller has set, beside memset of the same buffer at bpp bytes
// per pixel: Mpixel/s, and bytes written per second against memset's.
void TrapRows(const DevTrapVariant* table, uint32_t count, uint32_t bpp) {
    const size_t bytes = static_cast<size_t>(kWidth) * kHeight * bpp;
    std::vector<uint8_t> color(bytes + 64);
    std::vector<uint16_t> depth(static_cast<size_t>(kWidth) * kHeight, 0xffff);
    std::vector<uint32_t> dirty(kHeight + 1);
    std::vector<uint16_t> texels(256 * 256);
    for (size_t i = 0; i < texels.size(); ++i) texels[i] = static_cast<uint16_t>(i * 2654435761u >> 17);
    uint8_t* bits = color.data() + (64 - reinterpret_cast<uintptr_t>(color.data()) % 64) % 64;

    DevTexture tex;
    memset(&tex, 0, sizeof tex);
    tex.texels = texels.data();
    tex.addressMode = TEXADDR_POW2;
    tex.rowShift = 8;
    tex.uMask = tex.vMask = 0x1fffffff;
    DevContext ctx;
    memset(&ctx, 0, sizeof ctx);
    ctx.back.bits = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(bits));
    ctx.back.width = kWidth;
    ctx.back.height = kHeight;
    ctx.back.bitsPerPixel = static_cast<uint16_t>(bpp == 2 ? 16 : 8 * bpp);
    ctx.back.pitch = static_cast<int16_t>(bpp * kWidth);
    ctx.depth.bits = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(depth.data()));
    ctx.depth.pitch = 2 * kWidth;
    ctx.drawBuffer = &ctx.back;
    ctx.dirtyA = dirty.data();
    ctx.dirtyRows = kHeight;
    ctx.texture = &tex;
    ctx.colorKey = 0xffffffff;  // matches nothing: every pixel is drawn
    ctx.color = 0x00c08040;
    const uint32_t pattern = 0x12341234;
    memcpy(ctx.fillPattern, &pattern, 4);
    if (bpp == 3) {
        const uint8_t four[12] = {0x12, 0x34, 0x56, 0x12, 0x34, 0x56, 0x12, 0x34, 0x56, 0x12, 0x34, 0x56};
        memcpy(ctx.fillPattern, four, 12);
    }
    g_dirtyShift = 5;

    uint64_t rounds = 0;
    double start = Now(), elapsed = 0;
    do {
        memset(bits, static_cast<int>(rounds), bytes);
        ++rounds;
        elapsed = Now() - start;
    } while (elapsed < kSeconds);
    const double memsetRate = static_cast<double>(bytes) * rounds / elapsed;
    printf("memset, %ux%u buffer: %.1f Mbyte/s = %.1f Mpixel/s at %u bytes per pixel\n", kWidth, kHeight,
           memsetRate / 1e6, memsetRate / bpp / 1e6, bpp);

    DevTrapEdge left, right;
    DevTrapGradients g;
    const uint64_t pixels = MakeTrapezoid(left, right, g);
    left.u = 0x100000;
    left.v = 0x300000;
    left.uStepX = 0x60000;   // about a quarter texel a pixel
    left.vStepX = 0x18000;
    left.uStepY = 0x8000;
    left.vStepY = 0x50000;
    g.dudx = 0x60000;
    g.dvdx = 0x18000;
    g.dudy = 0x8000;
    g.dvdy = 0x50000;
    g.d2udx2 = 0x10;
    g.d2vdx2 = 0x8;
    g.d2udxdy = 0x4;
    g.d2vdxdy = 0x4;
    g.d2udy2 = 0x2;
    g.d2vdy2 = 0x2;
    for (uint32_t i = 0; i < count; ++i) {
        const DevTrapVariant& v = table[i];
        if (i > 0 && v.proc == table[i - 1].proc) continue;
        bool alias = false;
        for (uint32_t j = 0; j < i; ++j) alias = alias || table[j].proc == v.proc;
        if (alias) continue;
        // The best of five short runs: the machine is shared.
        double rate = 0;
        for (int run = 0; run < 5; ++run) {
            rounds = 0;
            start = Now();
            do {
                v.proc(&ctx, &left, &right, &g);
                ++rounds;
                elapsed = Now() - start;
            } while (elapsed < kSeconds / 5);
            const double r = static_cast<double>(pixels) * rounds / elapsed;
            if (r > rate) rate = r;
        }
        printf("%-30s %8.1f Mpixel/s  %5.2f x memset (%u bytes per pixel)\n", v.name, rate / 1e6,
               rate * bpp / memsetRate, bpp);
    }
}

}  // namespace

int main() {
    std::vector<uint8_t> color(static_cast<size_t>(kWidth) * kHeight + 64);
    std::vector<uint16_t> depth(static_cast<size_t>(kWidth) * kHeight, 0xffff);
    std::vector<uint32_t> dirty(kHeight + 1);
    uint8_t* bits = color.data() + (64 - reinterpret_cast<uintptr_t>(color.data()) % 64) % 64;

    DevContext ctx;
    memset(&ctx, 0, sizeof ctx);
    ctx.back.bits = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(bits));
    ctx.back.width = kWidth;
    ctx.back.height = kHeight;
    ctx.back.bitsPerPixel = 8;
    ctx.back.pitch = kWidth;
    ctx.depth.bits = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(depth.data()));
    ctx.depth.pitch = 2 * kWidth;
    ctx.drawBuffer = &ctx.back;
    ctx.dirtyA = dirty.data();
    ctx.dirtyRows = kHeight;
    const uint32_t even = 0x33221100, odd = 0x77665544;
    memcpy(ctx.fillPattern, &even, 4);
    memcpy(ctx.fillPattern + 8, &odd, 4);
    g_dirtyShift = 5;
    g_paletteBase = 10;
    BenchTexture texture;
    ctx.colorKey = BenchTexture::kKey;
    ctx.color = 0x00c08040;

    // memset of the same buffer, at one byte per pixel.
    const size_t bytes = static_cast<size_t>(kWidth) * kHeight;
    uint64_t rounds = 0;
    double start = Now(), elapsed = 0;
    do {
        memset(bits, static_cast<int>(rounds), bytes);
        ++rounds;
        elapsed = Now() - start;
    } while (elapsed < kSeconds);
    const double memsetRate = static_cast<double>(bytes) * rounds / elapsed;
    printf("memset, %ux%u buffer: %.1f Mbyte/s = %.1f Mpixel/s at 1 byte per pixel\n",
           kWidth, kHeight, memsetRate / 1e6, memsetRate / 1e6);

    DevTrapEdge left, right;
    DevTrapGradients g;
    const uint64_t pixels = MakeTrapezoid(left, right, g);
    for (uint32_t i = 0; i < kBpp08TrapRoutineCount; ++i) {
        const DevTrapVariant& v = g_bpp08TrapVariants[i];
        ctx.texture = v.key & DEV_COLORINDEX ? &texture.record8 : &texture.record16;
        rounds = 0;
        start = Now();
        do {
            v.proc(&ctx, &left, &right, &g);
            ++rounds;
            elapsed = Now() - start;
        } while (elapsed < kSeconds);
        const double rate = static_cast<double>(pixels) * rounds / elapsed;
        printf("%-28s %8.1f Mpixel/s  %5.2f x memset\n", v.name, rate / 1e6, rate / memsetRate);
    }
    LineRows(&ctx, memsetRate);
    g_colorMasks = {0xf800, 0x07e0, 0x001f};  // 5-6-5
    g_texelShift16 = {8, 13, 19};
    g_pixelCompose16 = {13, 0xfc0000, 19, 0xf80000, 8, 0xf80000};
    TrapRows(g_bpp16TrapVariants, g_bpp16TrapVariantCount, 2);
    g_byteMasks24 = {{0xff0000, 0x00ff00, 0x0000ff}, {16, 8, 0}};  // red 0xff0000: blue, green, red
    TrapRows(g_bpp24TrapVariants, g_bpp24TrapVariantCount, 3);
    g_colorShift32 = {16, 8, 0};
    TrapRows(g_bpp32TrapVariants, g_bpp32TrapVariantCount, 4);
    ServiceRows("BPP08", BPP08_DevClear, BPP08_DevPresent, 1);
    ServiceRows("BPP16", BPP16_DevClear, BPP16_DevPresent, 2);
    ServiceRows("BPP24", BPP24_DevClear, BPP24_DevPresent, 3);
    ServiceRows("BPP32", BPP32_DevClear, BPP32_DevPresent, 4);
    return 0;
}
