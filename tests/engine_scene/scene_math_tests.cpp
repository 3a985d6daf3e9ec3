// The scene's pure computations against the numbers the design states.
#include <gtest/gtest.h>

#include <math.h>
#include <stdlib.h>

#include "scene.h"

TEST(SceneMath, SpeedFactorAndTwinkleDivisor) {
    struct Case { int speed; float sf; int divisor; } cases[] = {
        {1, 0.05f, 32767 / 59},   // n = 59, not 60, at the slowest speed
        {2, (float)((2 * 1.9 - 1) / 18), 32767 / 19},
        {5, (float)((5 * 1.9 - 1) / 18), 32767 / 6},
        {7, (float)((7 * 1.9 - 1) / 18), 32767 / 4},
        {8, (float)((8 * 1.9 - 1) / 18), 32767 / 3},
        {10, 1.0f, 32767 / 3},
        // Hand-edited speeds are clamped, so n never reaches 0.
        {0, 0.05f, 32767 / 59},
        {-40, 0.05f, 32767 / 59},
        {25, 1.0f, 32767 / 3},
        {1000000, 1.0f, 32767 / 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.speed);
        float sf = SpeedFactor(c.speed);
        EXPECT_FLOAT_EQ(sf, c.sf);
        EXPECT_EQ(TwinkleDivisor(sf), c.divisor);
    }
    EXPECT_EQ(SpeedFactor(1), 0.05f);
    EXPECT_EQ(SpeedFactor(10), 1.0f);
}

static unsigned short X87ControlWord() {
    unsigned short cw;
    __asm__ __volatile__("fnstcw %0" : "=m"(cw));
    return cw;
}

static void SetX87ControlWord(unsigned short cw) { __asm__ __volatile__("fldcw %0" : : "m"(cw)); }

// A host or an outside library may leave the x87 unit at single or extended
// precision; the scene's numbers stay those of doubles, and the unit is given
// back as it was.
TEST(SceneMath, NumbersHoldAtEveryX87Precision) {
    const unsigned short saved = X87ControlWord();
    struct Case { const char* name; unsigned short bits; } cases[] = {
        {"24-bit", 0x000}, {"53-bit", 0x200}, {"64-bit", 0x300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const unsigned short cw = (unsigned short)((saved & ~0x300) | c.bits);
        SetX87ControlWord(cw);
        float slow = SpeedFactor(1), fast = SpeedFactor(10);
        int slowDivisor = TwinkleDivisor(slow), fastDivisor = TwinkleDivisor(fast);
        const int sizes[][2] = {{800, 600}, {1280, 1024}, {640, 400}, {1023, 767}, {333, 999}};
        int full[5][4];
        for (int i = 0; i < 5; ++i) ComputeViewport(sizes[i][0], sizes[i][1], 10, full[i]);
        int quarter[4];
        ComputeViewport(1280, 1024, 5, quarter);
        float hw, hh;
        ViewVolume(640, 400, &hw, &hh);
        float a = 0;
        for (int frame = 0; frame < 63; ++frame) a = AdvanceOrbitAngle(a, fast);
        const unsigned short after = X87ControlWord();
        SetX87ControlWord(saved);

        EXPECT_EQ(after, cw);
        EXPECT_EQ(slow, 0.05f);
        EXPECT_EQ(fast, 1.0f);
        EXPECT_EQ(slowDivisor, 32767 / 59);
        EXPECT_EQ(fastDivisor, 32767 / 3);
        for (int i = 0; i < 5; ++i) {
            const int whole[4] = {0, 0, sizes[i][0], sizes[i][1]};
            for (int k = 0; k < 4; ++k) EXPECT_EQ(full[i][k], whole[k]) << sizes[i][0] << "x" << sizes[i][1];
        }
        const int expected[4] = {266, 213, 1012, 810};
        for (int k = 0; k < 4; ++k) EXPECT_EQ(quarter[k], expected[k]);
        EXPECT_FLOAT_EQ(hw, 0.96f);
        EXPECT_FLOAT_EQ(hh, 0.6f);
        EXPECT_NEAR(a, 6.3 - 6.2831850, 1e-4);   // wrapped at frame 63
    }
}

TEST(SceneMath, ViewVolumeKeepsTallWidthAndWideHeight) {
    struct Case { int w, h; float halfW, halfH; } cases[] = {
        {600, 800, 0.9f, 1.2f},      // tall: halfW stays 0.9
        {300, 900, 0.9f, 2.7f},
        {800, 800, 0.9f, 0.9f},      // square
        {1280, 1024, 0.9f, 0.72f},   // wide: halfH = 0.9 a
        {1000, 500, 1.2f, 0.6f},     // very wide: halfH held at 0.6
        {1600, 400, 2.4f, 0.6f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
        float hw = 0, hh = 0;
        ViewVolume(c.w, c.h, &hw, &hh);
        EXPECT_FLOAT_EQ(hw, c.halfW);
        EXPECT_FLOAT_EQ(hh, c.halfH);
    }
}

TEST(SceneMath, ViewportByBigness) {
    struct Case { int w, h, bigness; int vp[4]; } cases[] = {
        {800, 600, 10, {0, 0, 800, 600}},           // the whole client
        {1280, 1024, 10, {0, 0, 1280, 1024}},
        {800, 600, 1, {300, 225, 500, 375}},         // a quarter of each side
        {640, 480, 4, {160, 120, 480, 360}},
        {1280, 1024, 5, {266, 213, 1012, 810}},
        {300, 700, 7, {37, 87, 262, 612}},           // tall
        {1000, 300, 7, {125, 37, 875, 262}},         // wide
        // Out-of-range bigness is clamped: never empty, never inverted.
        {800, 600, 0, {300, 225, 500, 375}},
        {800, 600, -7, {300, 225, 500, 375}},
        {800, 600, 50, {0, 0, 800, 600}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " bigness " << c.bigness);
        int vp[4] = {-1, -1, -1, -1};
        ComputeViewport(c.w, c.h, c.bigness, vp);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(vp[i], c.vp[i]) << "entry " << i;
    }
}

TEST(SceneMath, MachineChecks) {
    struct Mem { SIZE_T bytes; int side; } mem[] = {
        {0, 0}, {3999999, 0}, {4000000, 256}, {6999999, 256}, {7000000, 512},
        {22999999, 512}, {23000000, 1024}, {0x7FFFFFFF, 1024},
        {0x80000000u, 1024}, {0xFFFFFFFFu, 1024},   // all bits set is a big machine
    };
    for (const Mem& m : mem) EXPECT_EQ(TextureSideForMemory(m.bytes), m.side) << m.bytes;

    struct Disp { int caps, palette; bool usable; } disp[] = {
        {RC_PALETTE, 16, false}, {RC_PALETTE | RC_BITBLT, 255, false},
        {RC_PALETTE, 256, true}, {RC_BITBLT, 16, true}, {0, 0, true},
    };
    for (const Disp& d : disp) EXPECT_EQ(DisplayIsUsable(d.caps, d.palette), d.usable) << d.caps << " " << d.palette;
}

// Twinkle points are written into a table with guard entries behind the 100
// that belong to it, so any overrun shows.
struct TwinkleTable {
    int points[104][2];
    TwinkleTable() { for (auto& p : points) p[0] = p[1] = -12345; }
    int (*table())[2] { return points; }
    bool guardsIntact() const {
        for (int i = 100; i < 104; ++i)
            if (points[i][0] != -12345 || points[i][1] != -12345) return false;
        return true;
    }
};

TEST(SceneMath, TwinkleMarginRule) {
    // Client 800 x 600; the margins are set directly through the viewport.
    struct Case { int left, bottomMargin; bool made; } cases[] = {
        {20, 100, false}, {100, 20, false}, {20, 20, false}, {0, 300, false},
        {21, 21, true}, {21, 100, true}, {100, 21, true},
    };
    RECT client = {0, 0, 800, 600};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.left << " " << c.bottomMargin);
        int vp[4] = {c.left, c.bottomMargin, 800 - c.left, 600 - c.bottomMargin};
        TwinkleTable t;
        int count = MakeTwinklePoints(client, vp, 32, t.table());
        EXPECT_EQ(count, c.made ? 32 : 0);
        EXPECT_EQ(t.points[0][0] != -12345, c.made);
    }
    // Bigness 10 leaves no margin at all.
    int vp[4];
    ComputeViewport(800, 600, 10, vp);
    TwinkleTable t;
    EXPECT_EQ(MakeTwinklePoints(client, vp, 32, t.table()), 0);
}

TEST(SceneMath, TwinkleBandsStayInTheirMargins) {
    RECT client = {0, 0, 1024, 768};
    int vp[4];
    ComputeViewport(1024, 768, 5, vp);
    const int left = vp[0], bottomMargin = 768 - vp[3];
    ASSERT_GT(left, 20);
    ASSERT_GT(bottomMargin, 20);
    struct Case { int count, perBand; } cases[] = {
        {32, 8},      // numStars 40
        {80, 20},     // numStars 100
        {30, 7},      // integer bands: two points unused
        {160, 25},    // numStars 200 from a hand-edited file: table limit
        {-8, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        for (unsigned seed : {1u, 7u, 12345u}) {
            srand(seed);
            TwinkleTable t;
            EXPECT_EQ(MakeTwinklePoints(client, vp, c.count, t.table()), c.count);
            EXPECT_TRUE(t.guardsIntact());
            for (int k = 0; k < 4 * c.perBand; ++k) {
                int band = k / c.perBand, x = t.points[k][0], y = t.points[k][1];
                SCOPED_TRACE(testing::Message() << "point " << k << " (" << x << ", " << y << ")");
                switch (band) {
                case 0: EXPECT_TRUE(x >= 0 && x <= left && y >= 0 && y <= 768); break;
                case 1: EXPECT_TRUE(x >= 0 && x <= 1024 && y >= 0 && y <= bottomMargin); break;
                case 2: EXPECT_TRUE(x >= vp[2] && x <= vp[2] + left && y >= 0 && y <= 768); break;
                case 3: EXPECT_TRUE(x >= 0 && x <= 1024 && y >= vp[3] && y <= vp[3] + bottomMargin); break;
                }
            }
            if (c.perBand < 25) {
                EXPECT_EQ(t.points[4 * c.perBand][0], -12345);
            }
        }
    }
    // Each point draws x first, then y.
    srand(99);
    float rx = (float)rand() / 32767.0f, ry = (float)rand() / 32767.0f;
    srand(99);
    TwinkleTable t;
    MakeTwinklePoints(client, vp, 32, t.table());
    EXPECT_EQ(t.points[0][0], (int)((double)rx * left));
    EXPECT_EQ(t.points[0][1], (int)((double)ry * 768));
}

TEST(SceneMath, StarTriangles) {
    struct Case { float r1, r2, r3; float v[3][2]; } cases[] = {
        // angle 0: R = 1.5, d = 0.01; the third corner uses 1.732, not sqrt(3)
        {0, 0, 0, {{1.5f, 0}, {1.51f, 0}, {1.505f, 0.01732f}}},
        // angle 0: R = 4, d = 0.02
        {0, 1, 1, {{4, 0}, {4.02f, 0}, {4.01f, 0.03464f}}},
        // a quarter turn: c ~ 0, s = 1
        {0.25f, 1, 1, {{0, 4}, {0, 3.98f}, {0.03464f, 3.99f}}},
        // half a turn, mid size and radius: R = 2.75, d = 0.015
        {0.5f, 0.5f, 0.5f, {{-2.75f, 0}, {-2.765f, 0}, {-2.7575f, -0.025980f}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.r1 << " " << c.r2 << " " << c.r3);
        float star[3][3];
        MakeStar(c.r1, c.r2, c.r3, star);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(star[i][0], c.v[i][0], 2e-6) << "vertex " << i;
            EXPECT_NEAR(star[i][1], c.v[i][1], 2e-6) << "vertex " << i;
            EXPECT_EQ(star[i][2], 9.5f);
        }
    }
    float star[3][3];
    MakeStar(0, 0, 0, star);
    EXPECT_FLOAT_EQ(star[2][1], 0.01732f);   // sqrt(3) would give 0.0173205
}

TEST(SceneMath, TransformVectorRowsAndColumns) {
    const float m[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    struct Case { int transpose; float out[3]; } cases[] = {
        {0, {9, 25, 41}},
        {1, {24, 28, 32}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.transpose);
        const float v[3] = {2, -1, 3};
        float out[3];
        TransformVector(v, out, m, c.transpose);
        float inPlace[3] = {2, -1, 3};
        TransformVector(inPlace, inPlace, m, c.transpose);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(out[i], c.out[i]);
            EXPECT_EQ(inPlace[i], c.out[i]);
        }
    }
}

TEST(SceneMath, OrbitAngleWrapsAndOrdersTheCubes) {
    // Speed 10: 0.1 radian a frame, the wrap comes at frame 63, and the
    // orbiter is behind (angle below pi) for frames 1 to 31.
    float a = 0;
    int behind = 0;
    for (int frame = 1; frame <= 62; ++frame) {
        a = AdvanceOrbitAngle(a, 1.0f);
        EXPECT_NEAR(a, frame * 0.1, 1e-4);
        if (a < kPi) {
            ++behind;
            EXPECT_LE(frame, 31);
        }
    }
    EXPECT_EQ(behind, 31);
    a = AdvanceOrbitAngle(a, 1.0f);
    EXPECT_NEAR(a, 6.3 - 6.2831850, 1e-4);
    EXPECT_LT(a, kPi);

    // Speed 1: twenty times slower; the angle stays within 0 to 2 pi.
    a = 0;
    int wraps = 0;
    for (int frame = 1; frame <= 2600; ++frame) {
        float next = AdvanceOrbitAngle(a, SpeedFactor(1));
        if (next < a) ++wraps;
        a = next;
        ASSERT_GE(a, 0);
        ASSERT_LE(a, kTwoPi);
    }
    EXPECT_EQ(wraps, 2);
}
