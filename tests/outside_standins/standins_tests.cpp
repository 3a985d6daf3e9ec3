// The stand-ins of the rendering and geometry libraries, called as the
// engine calls them, checked through their call trace.
#include <gtest/gtest.h>
#include <math.h>
#include <stdint.h>
#include <vector>
#include "calltrace.h"
#include "vxg32.h"
#include "vxn32.h"
#include "vxn32_standin.h"

using testsupport::CallTrace;
using testsupport::TraceCall;

namespace {

TEST(Standins, HandlesAreDistinctAndNonZero) {
    CallTrace trace;
    int rc1 = VnrCreateRC(nullptr, 1), rc2 = VnrCreateRC(nullptr, 1);
    int gc1 = VngCreateGC(rc1), gc2 = VngCreateGC(rc2);
    int t1 = VnrNewTexture(rc1, 0, 32, 8, 8), t2 = VnrNewTexture(rc1, 0, 32, 16, 4);
    std::vector<int> all = {rc1, rc2, gc1, gc2, t1, t2};
    for (size_t i = 0; i < all.size(); i++) {
        EXPECT_NE(0, all[i]);
        for (size_t j = 0; j < i; j++) EXPECT_NE(all[i], all[j]);
    }
    auto calls = trace.Calls();
    ASSERT_EQ(6u, calls.size());
    EXPECT_EQ(rc1, calls[0].Result());
    EXPECT_EQ("VngCreateGC", calls[2].name);
    EXPECT_EQ(rc1, calls[2].Int("rc"));
    EXPECT_EQ(gc1, calls[2].Result());
    EXPECT_EQ(16, calls[5].Int("width"));
    EXPECT_EQ(4, calls[5].Int("height"));
}

TEST(Standins, OneTracedLinePerCallWithItsArguments) {
    CallTrace trace;
    int rc = VnrCreateRC(nullptr, 1);
    int gc = VngCreateGC(rc);
    int zero = 0;
    float eye[4] = {0, 0, -4, 1}, dir[3] = {0, 0, 1}, up[3] = {0, 1, 0};
    float light[4] = {0, 0, -10, 0};
    float shine = 1.0f;
    VnrSetState(rc, 57, 12);
    VngSetState(gc, 4, &zero);
    VngSetCameraPosition(gc, eye, dir, up);
    VngSetCameraView(gc, 0.9f, -0.9f, 0.6f, -0.6f, 2.9f, 18.0f);
    VngSetCameraPort(gc, 300, 20, 200, 10);
    VngSetLight(gc, 0, 4, light);
    VngSetMatt(gc, 0, 11, &shine);
    VnrClearBuffers(rc, 1);
    VnrSwapBuffers(rc, 4);
    auto calls = trace.Calls();
    ASSERT_EQ(11u, calls.size());
    struct Expect {
        const char* name;
        const char* key;
        const char* text;
    };
    const Expect expected[] = {
        {"VnrCreateRC", "flags", "1"},        {"VngCreateGC", "rc", nullptr},
        {"VnrSetState", "value", "12"},       {"VngSetState", "value", "0"},
        {"VngSetCameraPosition", "eye", "0,0,-4,1"}, {"VngSetCameraView", "near", "2.9000001"},
        {"VngSetCameraPort", "left", "20"},   {"VngSetLight", "values", "0,0,-10,0"},
        {"VngSetMatt", "values", "1"},        {"VnrClearBuffers", "buffers", "1"},
        {"VnrSwapBuffers", "flags", "4"},
    };
    for (size_t i = 0; i < calls.size(); i++) {
        SCOPED_TRACE(calls[i].line);
        EXPECT_EQ(expected[i].name, calls[i].name);
        if (expected[i].text) {
            EXPECT_EQ(expected[i].text, calls[i].Text(expected[i].key));
        }
        EXPECT_FALSE(calls[i].Failed());
    }
    EXPECT_EQ(57, calls[2].Int("id"));
}

TEST(Standins, LoadTextureKeepsItsOwnCopy) {
    CallTrace trace;
    int rc = VnrCreateRC(nullptr, 1);
    const int w = 8, h = 4, pitch = w * 4 + 12;  // rows with padding behind them
    std::vector<uint8_t> buffer(pitch * h, 0xEE);
    std::vector<uint32_t> expected;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            uint32_t t = 0x01000000u | (y * 40) << 8 | x * 30;
            memcpy(&buffer[y * pitch + x * 4], &t, 4);
            expected.push_back(t);
        }
    int tex = VnrNewTexture(rc, 0, 32, w, h);
    EXPECT_EQ(1, VnrLoadTexture(rc, 0, 32, 0, w, h, pitch, tex, 0, buffer.data()));
    std::fill(buffer.begin(), buffer.end(), 0);  // the engine frees its buffer at once
    int gw = 0, gh = 0;
    const uint32_t* kept = VnrStandinTexels(tex, &gw, &gh);
    ASSERT_NE(nullptr, kept);
    EXPECT_EQ(w, gw);
    EXPECT_EQ(h, gh);
    EXPECT_EQ(expected, std::vector<uint32_t>(kept, kept + w * h));
    auto load = trace.Calls("VnrLoadTexture");
    ASSERT_EQ(1u, load.size());
    EXPECT_EQ(pitch, load[0].Int("pitch"));
    EXPECT_EQ(tex, load[0].Int("texture"));
    EXPECT_EQ(testsupport::TexelChecksum(expected.data(), w * h), (uint32_t)load[0].Int("sum"));
    VnrFreeTexture(rc, tex);
    EXPECT_EQ(nullptr, VnrStandinTexels(tex, nullptr, nullptr));
}

TEST(Standins, MisuseIsReportedInTheTrace) {
    CallTrace trace;
    int rc = VnrCreateRC(nullptr, 1);
    int other = VnrCreateRC(nullptr, 1);
    int tex = VnrNewTexture(rc, 0, 32, 4, 4);
    int gc = VngCreateGC(rc);
    uint32_t texels[16] = {};
    trace.Clear();
    struct Case {
        const char* what;
        int result;
        const char* error;
    };
    const Case cases[] = {
        {"first free", VnrFreeTexture(rc, tex), nullptr},
        {"double free", VnrFreeTexture(rc, tex), "double-free"},
        {"unknown texture", VnrFreeTexture(rc, 0x7777), "unknown-texture"},
        {"texture of another context", VnrFreeTexture(other, VnrNewTexture(rc, 0, 32, 4, 4)), "wrong-rc"},
        {"load into a freed texture", VnrLoadTexture(rc, 0, 32, 0, 4, 4, 16, tex, 0, texels), "freed-texture"},
        {"unknown rc", VnrSetState(0x5555, 1, 1), "unknown-rc"},
        {"no rc", VnrClearBuffers(0, 1), "unknown-rc"},
        {"delete", VnrDeleteRC(other), nullptr},
        {"deleted rc", VnrSwapBuffers(other, 4), "deleted-rc"},
        {"unknown gc", VngClearStack(0x4444), "unknown-gc"},
        {"first gc delete", VngDeleteGC(gc), nullptr},
        {"second gc delete", VngDeleteGC(gc), "deleted-gc"},
        {"texture not a power of two", VnrNewTexture(rc, 0, 32, 48, 64), "bad-size"},
    };
    std::vector<TraceCall> calls;
    for (auto& c : trace.Calls())
        if (c.name != "VnrNewTexture" || c.Failed()) calls.push_back(c);  // skip the helper texture
    ASSERT_EQ(sizeof cases / sizeof cases[0], calls.size());
    for (size_t i = 0; i < calls.size(); i++) {
        SCOPED_TRACE(cases[i].what);
        SCOPED_TRACE(calls[i].line);
        EXPECT_EQ(cases[i].error ? cases[i].error : "", calls[i].Text("error"));
        if (cases[i].error) {
            EXPECT_EQ(0, cases[i].result);
        }
    }
}

TEST(Standins, DeletingAContextReportsTexturesLeft) {
    CallTrace trace;
    int rc = VnrCreateRC(nullptr, 1);
    int a = VnrNewTexture(rc, 0, 32, 4, 4);
    VnrNewTexture(rc, 0, 32, 4, 4);
    VnrFreeTexture(rc, a);
    VnrDeleteRC(rc);
    auto del = trace.Calls("VnrDeleteRC");
    ASSERT_EQ(1u, del.size());
    EXPECT_EQ(1, del[0].Int("textures-left"));
}

TEST(Standins, CreateRCFailsOnTheSwitch) {
    CallTrace trace;
    SetEnvironmentVariableA("VISTARO_VNR_CREATE_FAIL", "1");
    int failed = VnrCreateRC(nullptr, 1);
    SetEnvironmentVariableA("VISTARO_VNR_CREATE_FAIL", nullptr);
    EXPECT_EQ(0, failed);
    EXPECT_NE(0, VnrCreateRC(nullptr, 1));
    auto calls = trace.Calls("VnrCreateRC");
    ASSERT_EQ(2u, calls.size());
    EXPECT_EQ(0, calls[0].Result());
}

TEST(Standins, CameraViewGivesBackWhatWasLastSet) {
    int gc = VngCreateGC(VnrCreateRC(nullptr, 1));
    VngSetCameraView(gc, 1, -1, 1, -1, 2.9f, 18.0f);
    VngSetCameraView(gc, 0.9f, -0.9f, 0.75f, -0.75f, 3.5f, 20.5f);
    float v[6] = {};
    EXPECT_EQ(1, VngGetCameraView(gc, &v[0], &v[1], &v[2], &v[3], &v[4], &v[5]));
    const float expected[6] = {0.9f, -0.9f, 0.75f, -0.75f, 3.5f, 20.5f};
    for (int i = 0; i < 6; i++) EXPECT_EQ(expected[i], v[i]) << i;
}

void Apply(const float* m, const float* v, float* out) {
    for (int r = 0; r < 3; r++) out[r] = m[r * 4] * v[0] + m[r * 4 + 1] * v[1] + m[r * 4 + 2] * v[2];
}

TEST(Standins, RotateMatrixIsARotationAboutTheAxis) {
    struct Case {
        float angle, x, y, z;
        float in[3], out[3];  // out: NAN where only the invariants are checked
    };
    const float kHalfPi = 1.57079633f;
    const Case cases[] = {
        {kHalfPi, 0, 0, 1, {1, 0, 0}, {0, 1, 0}},
        {kHalfPi, 0, 0, 5, {0, 1, 0}, {-1, 0, 0}},  // the axis need not be unit length
        {kHalfPi, 1, 0, 0, {0, 1, 0}, {0, 0, 1}},
        {kHalfPi, 0, 1, 0, {0, 0, 1}, {1, 0, 0}},
        {3.1415925f, 0, 1, 0, {0.35f, -0.35f, 0.35f}, {-0.35f, -0.35f, -0.35f}},
        {-0.1f, 0.6f, 0.0f, 0.8f, {1, 2, 3}, {NAN, NAN, NAN}},
        {0.7f, 1, 1, 1, {1, -1, 0.5f}, {NAN, NAN, NAN}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "angle " << c.angle << " axis " << c.x << "," << c.y << "," << c.z);
        float m[16];
        memset(m, 0xCC, sizeof m);
        EXPECT_EQ(1, VngRotateMatrix(c.angle, c.x, c.y, c.z, m));
        // Rows of four: the last row and column are those of the identity.
        for (int i = 0; i < 3; i++) {
            EXPECT_EQ(0.0f, m[i * 4 + 3]);
            EXPECT_EQ(0.0f, m[12 + i]);
        }
        EXPECT_EQ(1.0f, m[15]);
        // Orthonormal rows, determinant +1.
        for (int a = 0; a < 3; a++)
            for (int b = 0; b < 3; b++) {
                float dot = m[a * 4] * m[b * 4] + m[a * 4 + 1] * m[b * 4 + 1] + m[a * 4 + 2] * m[b * 4 + 2];
                EXPECT_NEAR(a == b ? 1.0f : 0.0f, dot, 1e-5f);
            }
        float det = m[0] * (m[5] * m[10] - m[6] * m[9]) - m[1] * (m[4] * m[10] - m[6] * m[8]) +
                    m[2] * (m[4] * m[9] - m[5] * m[8]);
        EXPECT_NEAR(1.0f, det, 1e-5f);
        // The axis stays put; the turn is by the angle.
        float axis[3] = {c.x, c.y, c.z}, turned[3];
        Apply(m, axis, turned);
        for (int i = 0; i < 3; i++) EXPECT_NEAR(axis[i], turned[i], 1e-5f);
        float trace = m[0] + m[5] + m[10];
        EXPECT_NEAR(cosf(c.angle), (trace - 1) / 2, 1e-5f);
        if (!isnan(c.out[0])) {
            float got[3];
            Apply(m, c.in, got);
            for (int i = 0; i < 3; i++) EXPECT_NEAR(c.out[i], got[i], 1e-5f) << i;
        }
    }
}

TEST(Standins, PolygonsAreTracedWithTheirCorners) {
    CallTrace trace;
    int rc = VnrCreateRC(nullptr, 1);
    int gc = VngCreateGC(rc);
    float v[4][3] = {{-1, -1, 5}, {1, -1, 5}, {1, 1, 5}, {-1, 1, 5}};
    float n[4][3] = {{0, 0, -1}, {0, 0, -1}, {0, 0, -1}, {0, 0, -1}};
    float t[4][3] = {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
    uint16_t list[5] = {4, 0, 3, 2, 1};
    uint16_t bad[5] = {4, 0, 3, 2, 9};
    EXPECT_EQ(1, VngPolygonListF(gc, 1, 4, &v[0][0], 12, &n[0][0], 12, &t[0][0], 12, nullptr, 16, list));
    EXPECT_EQ(0, VngPolygonListF(gc, 1, 4, &v[0][0], 12, &n[0][0], 12, &t[0][0], 12, nullptr, 16, bad));
    EXPECT_EQ(1, VngPrimitiveF(gc, 7, 3, &v[0][0], 12, &n[0][0], 12, nullptr, 12, nullptr, 16));
    auto calls = trace.Calls();
    ASSERT_EQ(5u, calls.size());
    EXPECT_EQ("4,0,3,2,1", calls[2].Text("list"));
    EXPECT_EQ((std::vector<float>{-1, -1, 5, -1, 1, 5, 1, 1, 5, 1, -1, 5}), calls[2].Floats("points"));
    EXPECT_EQ("bad-index", calls[3].Text("error"));
    EXPECT_EQ("VngPrimitiveF", calls[4].name);
    EXPECT_EQ(7, calls[4].Int("kind"));
    EXPECT_EQ((std::vector<float>{-1, -1, 5, 1, -1, 5, 1, 1, 5}), calls[4].Floats("points"));
}

}  // namespace
