// Pure computations of the scene: no outside library, no window.
#include "scene.h"

#include <math.h>
#include <stdlib.h>

static int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

// Only the precision field (bits 8-9, 2 = 53 bits) changes; the compiler's
// own truncations save and restore the rounding field around themselves.
ScenePrecision::ScenePrecision() {
    unsigned short cw;
    __asm__ __volatile__("fnstcw %0" : "=m"(saved_) : : "memory");
    cw = (unsigned short)((saved_ & ~0x300) | 0x200);
    __asm__ __volatile__("fldcw %0" : : "m"(cw) : "memory");
}

ScenePrecision::~ScenePrecision() { __asm__ __volatile__("fldcw %0" : : "m"(saved_) : "memory"); }

float SpeedFactor(int speed) {
    ScenePrecision precision;
    // Speeds outside the dialog's range would make the twinkle divisor zero.
    double s = Clamp(speed, 1, 10);
    return precision.Kept((float)((s * 1.9 - 1) * (1.0 / 18)));
}

int TwinkleDivisor(float sf) {
    ScenePrecision precision;
    // In double: 3 / 0.05f is just below 60, and 59 is the intended count.
    int n = precision.Kept((int)(3.0 / (double)sf));
    return 32767 / n;
}

void ViewVolume(int w, int h, float* halfW, float* halfH) {
    ScenePrecision precision;
    double a = (double)h / (double)w;
    if (a > 1) {
        *halfW = 0.9f;
        *halfH = (float)(0.9 * a);
    } else {
        double hh = 0.9 * a;
        if (hh < 0.6) hh = 0.6;
        *halfH = (float)hh;
        *halfW = (float)(hh / a);
    }
}

void ComputeViewport(int w, int h, int bigness, int viewport[4]) {
    ScenePrecision precision;
    // Outside 1..10 the viewport would be empty or inverted.
    double e = (Clamp(bigness, 1, 10) + 2) * (1.0 / 12);
    viewport[0] = (int)(w * (1 - e) * 0.5);
    viewport[2] = viewport[0] + (int)(w * e);
    viewport[1] = (int)(h * (1 - e) * 0.5);
    viewport[3] = viewport[1] + (int)(h * e);
}

int TextureSideForMemory(SIZE_T totalPhys) {
    // Unsigned: a large machine may report every bit set.
    if (totalPhys < 4000000u) return 0;
    if (totalPhys < 7000000u) return 256;
    if (totalPhys < 23000000u) return 512;
    return 1024;
}

bool DisplayIsUsable(int rasterCaps, int sizePalette) { return !((rasterCaps & RC_PALETTE) && sizePalette < 256); }

int ClampTableCount(int count) { return Clamp(count, 0, 100); }

float UniformRandom() {
    ScenePrecision precision;
    return precision.Kept((float)rand() / 32767.0f);
}

int MakeTwinklePoints(const RECT& client, const int viewport[4], int count, int points[100][2]) {
    ScenePrecision precision;
    int leftMargin = viewport[0] - client.left;
    int bottomMargin = client.bottom - viewport[3];
    if (leftMargin <= 20 || bottomMargin <= 20) return 0;
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    int perBand = ClampTableCount(count) / 4;
    int k = 0;
    for (int band = 0; band < 4; ++band) {
        for (int i = 0; i < perBand; ++i, ++k) {
            double rx = UniformRandom();
            double ry = UniformRandom();
            switch (band) {
            case 0:
                points[k][0] = (int)(rx * leftMargin);
                points[k][1] = (int)(ry * height);
                break;
            case 1:
                points[k][0] = (int)(rx * width);
                points[k][1] = (int)(ry * bottomMargin);
                break;
            case 2:
                points[k][0] = (int)(rx * leftMargin + viewport[2]);
                points[k][1] = (int)(ry * height);
                break;
            default:
                points[k][0] = (int)(rx * width);
                points[k][1] = (int)(ry * bottomMargin + viewport[3]);
                break;
            }
        }
    }
    return count;
}

void MakeStar(float r1, float r2, float r3, float star[3][3]) {
    ScenePrecision precision;
    float turn = r1 * kTwoPi;  // a float product, rounded as one
    double angle = turn;
    double c = cos(angle), s = sin(angle);
    double d = 0.01 * r2 + 0.01;
    double R = 2.5 * r3 + 1.5;
    star[0][0] = (float)(R * c);
    star[0][1] = (float)(R * s);
    star[1][0] = (float)((R + d) * c);
    star[1][1] = (float)(R * s - d * s);
    star[2][0] = (float)(R * c + d * (0.5 * c + 1.732 * s));
    star[2][1] = (float)(R * s + d * (1.732 * c - 0.5 * s));
    star[0][2] = star[1][2] = star[2][2] = 9.5f;
}

float AdvanceOrbitAngle(float angle, float sf) {
    ScenePrecision precision;
    float a = (float)(angle + 0.1 * sf);
    if (a > kTwoPi) a -= kTwoPi;
    return precision.Kept(a);
}

void TransformVector(const float* src, float* dst, const float* m, int transpose) {
    ScenePrecision precision;
    double x = src[0], y = src[1], z = src[2];
    double rx, ry, rz;
    if (transpose) {
        rx = m[0] * x + m[4] * y + m[8] * z;
        ry = m[1] * x + m[5] * y + m[9] * z;
        rz = m[2] * x + m[6] * y + m[10] * z;
    } else {
        rx = m[0] * x + m[1] * y + m[2] * z;
        ry = m[4] * x + m[5] * y + m[6] * z;
        rz = m[8] * x + m[9] * y + m[10] * z;
    }
    dst[0] = (float)rx;
    dst[1] = (float)ry;
    dst[2] = (float)rz;
}
