// Set-up, frames, layout and tear-down on a real window, checked against the
// call trace of the rendering and geometry stand-ins.
#include <gtest/gtest.h>

#include <math.h>
#include <sstream>
#include <string>
#include <vector>

#include "calltrace.h"
#include "messagelog.h"
#include "msgbox.h"
#include "scene.h"
#include "settings.h"
#include "testsupport.h"
#include "vistaro.h"
#include "vxn32.h"

using testsupport::CallTrace;
using testsupport::TraceCall;

namespace {

const char kOptions[] =
    "[options]\r\ntitle=Trace\r\nstars=1\r\nshade=1\r\nspinning=1\r\norbiting=1\r\n"
    "bigness=5\r\nnumStars=40\r\nspeed=10\r\n";

// "Name key=value ...": the call has that name and those values; values that
// read as numbers (or lists of them) are compared as floats.
void ExpectCall(const TraceCall& call, const std::string& expect) {
    std::istringstream in(expect);
    std::string name, pair;
    in >> name;
    EXPECT_EQ(call.name, name) << call.line;
    EXPECT_FALSE(call.Failed()) << call.line;
    while (in >> pair) {
        std::string key = pair.substr(0, pair.find('='));
        std::string want = pair.substr(pair.find('=') + 1);
        ASSERT_TRUE(call.Has(key)) << key << " in " << call.line;
        std::string got = call.Text(key);
        if (got == want) continue;
        std::vector<float> g = call.Floats(key), w;
        std::istringstream ws(want);
        for (std::string item; std::getline(ws, item, ',');) w.push_back(strtof(item.c_str(), nullptr));
        ASSERT_EQ(g.size(), w.size()) << key << " in " << call.line << ", expected " << want;
        for (size_t i = 0; i < g.size(); ++i) EXPECT_NEAR(g[i], w[i], 1e-6) << key << " in " << call.line;
    }
}

std::vector<TraceCall> Without(const std::vector<TraceCall>& calls, std::initializer_list<const char*> names) {
    std::vector<TraceCall> kept;
    for (const TraceCall& c : calls) {
        bool drop = false;
        for (const char* n : names) drop = drop || c.name == n;
        if (!drop) kept.push_back(c);
    }
    return kept;
}

// A visible 640 x 400 popup whose whole area is client, a settings file in
// a folder of its own, and the scene set up on them.
class SceneOnWindow : public testing::Test {
protected:
    void SetUp() override {
        GetCurrentDirectoryA(sizeof oldDir_, oldDir_);
        oldBox_ = g_messageBox;
        g_messageBox = testsupport::MessageLog::Record;
        testsupport::MessageLog::Clear();
        g_hinst = GetModuleHandleA(nullptr);   // the engine bitmaps are linked in
        g_bePreviewing = 1;                    // the frame texture on every face, no picture boxes
        testsupport::WriteFile(dir_.file("vistaro.ini"), kOptions);
        delete[] g_settings.installDir;
        g_settings.installDir = new char[dir_.path().size() + 1];
        strcpy(g_settings.installDir, dir_.path().c_str());
        g_settings.randomWalkAxis = 1;

        // One window for the suite: Wine takes seconds to destroy a visible one.
        ASSERT_NE(window_, nullptr);
        SetWindowPos(window_, nullptr, 0, 0, 640, 400, SWP_NOZORDER | SWP_NOACTIVATE);
        g_hdc = GetDC(window_);
        ASSERT_EQ(InitScene(window_, g_hdc, &g_settings), 1);
        ASSERT_NE(g_rc, 0);
        ASSERT_NE(g_gc, 0);
    }

    void TearDown() override {
        if (g_rc || g_gc) FreeScene(&g_rc, &g_gc, &g_settings);
        ReleaseDC(window_, g_hdc);
        g_hdc = nullptr;
        SetCurrentDirectoryA(oldDir_);
        g_messageBox = oldBox_;
        EXPECT_TRUE(testsupport::MessageLog::Messages().empty());
    }

    static void SetUpTestSuite() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
        wc.lpszClassName = "SceneTraceWindow";
        RegisterClassA(&wc);
        // Shown without taking focus from other tests' windows.
        window_ = CreateWindowExA(WS_EX_NOACTIVATE, "SceneTraceWindow", "", WS_POPUP, 0, 0, 640, 400, nullptr,
                                  nullptr, wc.hInstance, nullptr);
        ShowWindow(window_, SW_SHOWNOACTIVATE);
    }

    static void TearDownTestSuite() { DestroyWindow(window_); }

    // The calls of each frame, one AnimateScreen each.
    std::vector<std::vector<TraceCall>> Frames(int n) {
        std::vector<std::vector<TraceCall>> frames;
        for (int i = 0; i < n; ++i) {
            trace_.Clear();
            AnimateScreen();
            frames.push_back(trace_.Calls());
        }
        return frames;
    }

    CallTrace trace_;   // before set-up, so set-up is traced too
    testsupport::TempDir dir_;
    static HWND window_;
    char oldDir_[MAX_PATH] = {};
    MessageBoxFn oldBox_ = nullptr;
};

HWND SceneOnWindow::window_;

TEST_F(SceneOnWindow, SetUpCallsAndValues) {
    std::vector<TraceCall> calls = Without(trace_.Calls(), {"VnrNewTexture", "VnrLoadTexture"});
    // 640 x 400: a = 0.625, so halfH is held at 0.6 and halfW = 0.96; the
    // viewport at bigness 5 is 133, 83, 506, 316.
    const char* expected[] = {
        "VngRotateMatrix angle=3.1415925 axis=0,1,0",
        "VnrCreateRC flags=1",
        "VnrSetState id=1 value=1",
        "VnrSetState id=2 value=8",
        "VnrSetState id=2 value=512",
        "VngCreateGC",
        "VngSetState id=4 value=0",
        "VngSetState id=3 value=0",
        "VngSetState id=1 value=1",
        "VnrSetState id=1 value=2",
        "VngSetState id=2 value=1",
        "VnrSetState id=1 value=4",
        "VnrSetState id=8 value=2",
        "VnrSetState id=1 value=8192",
        "VnrSetState id=7 value=1",
        "VngSetCameraProjection kind=2",
        "VngSetCameraPosition eye=0,0,-4,1 direction=0,0,1 up=0,1,0",
        "VngSetCameraView right=0.96 left=-0.96 top=0.6 bottom=-0.6 near=2.9 far=18",
        "VngSetWindowSize width=640 height=400",
        "VngSetCameraPort right=506 left=133 bottom=316 top=83",
        "VnrSetState id=1 value=256",
        "VnrSetState id=57 value=83",
        "VnrSetState id=56 value=133",
        "VnrSetState id=58 value=506",
        "VnrSetState id=59 value=316",
        "VngClearStack",
        "VngSetLight light=0 property=0 values=1,1,1",
        "VngSetLight light=0 property=4 values=0,0,-10,0",
        "VngSetLight light=0 property=2 values=0.9,0.9,0.9,0",
        "VngSetLight light=0 property=3 values=1,1,1",
        "VngSetLight light=0 property=1 values=1,1,1",
        "VngSetLight light=1 property=0 values=1,1,1",
        "VngSetLight light=1 property=4 values=0,0,-10,0",
        "VngSetLight light=1 property=1 values=1,1,1",
        "VngSetMatt material=0 property=0 values=1,1,1",
        "VngSetMatt material=0 property=1 values=0.9,0.9,0.9,0",
        "VngSetMatt material=0 property=2 values=1,1,1",
        "VngSetMatt material=0 property=4 values=1,1,1",
        "VngSetMatt material=0 property=11 values=1",
        "VngSetCurrentMatt material=0",
        "VnrSetState id=51 value=0",
        "VnrSetState id=50 value=16777215",
        "VnrClearBuffers buffers=1",
    };
    ASSERT_EQ(calls.size(), sizeof expected / sizeof *expected) << trace_.Calls().size() << " calls in all";
    for (size_t i = 0; i < calls.size(); ++i) {
        SCOPED_TRACE(i);
        ExpectCall(calls[i], expected[i]);
    }
    // The texture build comes last, on the new render context.
    std::vector<TraceCall> all = trace_.Calls();
    EXPECT_EQ(all.back().name, "VnrLoadTexture");

    char caption[100];
    GetWindowTextA(window_, caption, sizeof caption);
    EXPECT_STREQ(caption, "3-D Vistaro    Trace");
    EXPECT_EQ(g_settings.spinnerOffset, 3.5f);
    EXPECT_EQ(g_settings.twinkleCount, 32);
    const int vp[4] = {133, 83, 506, 316};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(g_settings.viewport[i], vp[i]);
    EXPECT_EQ(g_settings.maxTextureSide, 1024);   // Wine reports 2 GB
    // Every star lies on its ring (radius 1.5 to 4, size up to 0.02) at z 9.5;
    // the third vertex lies 1.803 d from the first, in any direction.
    for (auto& star : g_stars)
        for (auto& v : star) {
            EXPECT_EQ(v[2], 9.5f);
            float r = hypotf(v[0], v[1]);
            EXPECT_TRUE(r >= 1.46f && r <= 4.05f) << r;   // R - 1.81 d to R + 2 d
        }
}

TEST_F(SceneOnWindow, OneFrameCallsAndValues) {
    // Six distinct face textures, to see each face get its own.
    int textures[6];
    for (int i = 0; i < 6; ++i) g_settings.faceTextures[i] = textures[i] = VnrNewTexture(g_rc, 0, 32, 2, 2);
    g_orbitAngle = 0;
    int frames = g_frameCount;
    std::vector<TraceCall> calls = Frames(1)[0];

    size_t k = 0;
    auto next = [&](const std::string& expect) {
        ASSERT_LT(k, calls.size()) << expect;
        ExpectCall(calls[k++], expect);
    };
    next("VnrClearBuffers buffers=1");
    next("VngRotateMatrix angle=0.001 axis=0,0,1");
    next("VnrSetState id=2 value=2");
    for (int i = 0; i < 40; ++i) next("VngPrimitiveF kind=7 count=3 vstride=12 nstride=12 tstride=12 format=16");
    next("VnrSetState id=1 value=2");
    next("VngSetState id=2 value=1");
    next("VnrSetState id=1 value=4");
    next("VnrSetState id=8 value=2");
    // Angle 0.1 is below pi: the orbiter is behind and drawn first, turning
    // the other way from the spinner about the same unit axis.
    const float* axis = g_rotationAxis;
    EXPECT_NEAR(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2], 1.0, 1e-6);
    char expect[200];
    for (float angle : {0.1f, -0.1f}) {
        snprintf(expect, sizeof expect, "VngRotateMatrix angle=%.9g axis=%.9g,%.9g,%.9g", angle, axis[0], axis[1],
                 axis[2]);
        next(expect);
        for (int f = 0; f < 6; ++f) {
            snprintf(expect, sizeof expect, "VnrSetState id=55 value=%d", textures[f]);
            next(expect);
            snprintf(expect, sizeof expect,
                     "VngPolygonListF kind=1 count=24 vstride=12 nstride=12 tstride=12 format=16 list=%d,%d,%d,%d,%d",
                     g_cubeFaces[f][0], g_cubeFaces[f][1], g_cubeFaces[f][2], g_cubeFaces[f][3], g_cubeFaces[f][4]);
            next(expect);
        }
    }
    next("VnrSwapBuffers flags=4");
    EXPECT_EQ(k, calls.size());
    EXPECT_EQ(g_frameCount, frames + 1);

    // The orbiter's corners sit around its new centre on the tilted path.
    double c = cos(g_orbitAngle), s = sin(g_orbitAngle);
    const double centre[3] = {1.9 * c, 0.8 * c, 4.9 * s * s * s + 4.5};
    for (int a = 0; a < 3; ++a) {
        double sum = 0;
        for (auto& v : g_orbiterVertices) sum += v[a];
        EXPECT_NEAR(sum / 24, centre[a], 1e-4) << "axis " << a;
        EXPECT_NEAR(g_orbiterPosition[a], centre[a], 1e-5);
    }
}

TEST_F(SceneOnWindow, OptionsChooseWhatAFrameDraws) {
    struct Case {
        int stars, spinning, orbiting, shade, numStars, speed;
        std::vector<std::string> names;   // the frame's calls, polygons of a cube as "cube"
        bool phaseFlips;
    } cases[] = {
        // Nothing on: only cleared and presented.
        {0, 0, 0, 0, 40, 10, {"VnrClearBuffers", "VnrSetState", "VnrSwapBuffers"}, false},
        {1, 0, 0, 0, 10, 10,
         {"VnrClearBuffers", "VngRotateMatrix", "VnrSetState", "stars 10", "VnrSetState", "VnrSwapBuffers"}, true},
        // Hand-edited star counts stay inside the 100-entry table.
        {1, 0, 0, 0, 250, 10,
         {"VnrClearBuffers", "VngRotateMatrix", "VnrSetState", "stars 100", "VnrSetState", "VnrSwapBuffers"}, true},
        {1, 0, 0, 0, -5, 10,
         {"VnrClearBuffers", "VngRotateMatrix", "VnrSetState", "VnrSetState", "VnrSwapBuffers"}, true},
        {0, 1, 0, 1, 40, 10,
         {"VnrClearBuffers", "VnrSetState", "VngSetState", "VnrSetState", "VnrSetState", "cube",
          "VnrSwapBuffers"}, false},
        {0, 0, 1, 0, 40, 10, {"VnrClearBuffers", "VnrSetState", "cube", "VnrSwapBuffers"}, false},
        // A speed of 0 from the file runs as speed 1.
        {0, 1, 0, 0, 40, 0, {"VnrClearBuffers", "VnrSetState", "cube", "VnrSwapBuffers"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "stars " << c.stars << " spinning " << c.spinning << " orbiting "
                                        << c.orbiting << " numStars " << c.numStars << " speed " << c.speed);
        g_settings.stars = c.stars;
        g_settings.spinning = c.spinning;
        g_settings.orbiting = c.orbiting;
        g_settings.shade = c.shade;
        g_settings.numStars = c.numStars;
        g_settings.speed = c.speed;
        int phase = g_starPhase;
        std::vector<TraceCall> calls = Frames(1)[0];
        std::vector<std::string> names;
        for (size_t i = 0; i < calls.size(); ++i) {
            if (calls[i].name == "VngPrimitiveF") {
                size_t n = 0;
                while (i + n < calls.size() && calls[i + n].name == "VngPrimitiveF") ++n;
                names.push_back("stars " + std::to_string(n));
                i += n - 1;
            } else if (calls[i].name == "VngRotateMatrix" && i + 12 < calls.size() &&
                       calls[i + 2].name == "VngPolygonListF") {
                if (c.speed == 0) {
                    EXPECT_NEAR(fabs(calls[i].Float("angle")), 0.005, 1e-7);
                }
                names.push_back("cube");
                i += 12;
            } else {
                names.push_back(calls[i].name);
            }
        }
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(g_starPhase != phase, c.phaseFlips);
    }
}

TEST_F(SceneOnWindow, RotationAxisWalks) {
    for (int walk : {0, 1}) {
        SCOPED_TRACE(testing::Message() << "random walk " << walk);
        g_settings.randomWalkAxis = walk;
        for (int frame = 0; frame < 20; ++frame) {
            double polar = g_axisPolar, azimuth = g_axisAzimuth;
            Frames(1);
            double dp = g_axisPolar - polar, da = g_axisAzimuth - azimuth;
            if (walk) {
                // Speed 10: each angle moves by a uniform share of 0.1, the azimuth backwards.
                EXPECT_TRUE(dp >= 0 && dp <= 0.1 + 1e-5) << dp;
                EXPECT_TRUE(da <= 0 && da >= -0.1 - 1e-5) << da;
            } else {
                EXPECT_NEAR(dp, 0.041397849, 1e-5);
                EXPECT_NEAR(da, -0.028731170, 1e-5);
            }
            const double axis[3] = {cos(g_axisAzimuth) * sin(g_axisPolar), sin(g_axisAzimuth) * sin(g_axisPolar),
                                    cos(g_axisPolar)};
            for (int a = 0; a < 3; ++a) EXPECT_NEAR(g_rotationAxis[a], axis[a], 1e-5);
        }
    }
}

TEST_F(SceneOnWindow, OrbiterDrawnBehindThenInFrontOverAFullOrbit) {
    g_settings.stars = 0;
    g_orbitAngle = 0;
    std::vector<std::vector<TraceCall>> frames = Frames(63);
    for (int f = 1; f <= 63; ++f) {
        SCOPED_TRACE(testing::Message() << "frame " << f);
        std::vector<float> angles;
        for (const TraceCall& c : frames[f - 1])
            if (c.name == "VngRotateMatrix") angles.push_back(c.Float("angle"));
        ASSERT_EQ(angles.size(), 2u);
        // Behind (orbit angle below pi) for frames 1 to 31; the angle wraps at 63.
        bool orbiterFirst = angles[0] > 0;
        EXPECT_EQ(orbiterFirst, f <= 31 || f == 63);
    }
}

TEST_F(SceneOnWindow, TwinklesLightOnlyWithStarsOn) {
    ASSERT_EQ(g_settings.twinkleCount, 32);
    const RECT vp = {g_settings.viewport[0], g_settings.viewport[1], g_settings.viewport[2], g_settings.viewport[3]};
    const COLORREF marker = RGB(255, 0, 0);
    auto mark = [&] {
        for (int i = 0; i < 32; ++i) SetPixel(g_hdc, g_settings.twinklePoints[i][0], g_settings.twinklePoints[i][1], marker);
    };
    g_settings.spinning = g_settings.orbiting = 0;
    for (int stars : {0, 1}) {
        SCOPED_TRACE(testing::Message() << "stars " << stars);
        g_settings.stars = stars;
        mark();
        Frames(100);
        for (int i = 0; i < 32; ++i) {
            POINT p = {g_settings.twinklePoints[i][0], g_settings.twinklePoints[i][1]};
            // Skip a point the frame itself draws over, or one just off the
            // client (a uniform value of exactly 1 reaches the far edge).
            RECT client = {0, 0, 640, 400};
            if (PtInRect(&vp, p) || !PtInRect(&client, p)) continue;
            COLORREF got = GetPixel(g_hdc, p.x, p.y);
            if (stars) {
                EXPECT_TRUE(got == RGB(0, 0, 0) || got == RGB(255, 255, 255)) << i << ": " << std::hex << got;
            } else {
                EXPECT_EQ(got, marker) << i;
            }
        }
    }
}

TEST_F(SceneOnWindow, LayoutFollowsTheClientArea) {
    struct Case { int w, h, bigness; const char* view; const char* port; int top, left, right, bottom; int twinkles; } cases[] = {
        // Tall: halfW stays 0.9.
        {300, 700, 7, "right=0.9 left=-0.9 top=2.1 bottom=-2.1", "right=262 left=37 bottom=612 top=87", 87, 37, 262, 612, 32},
        // Wide: halfH = 0.9 a.
        {1000, 800, 4, "right=0.9 left=-0.9 top=0.72 bottom=-0.72", "right=750 left=250 bottom=600 top=200", 200, 250, 750, 600, 32},
        // Bigness 10 leaves no margin: no twinkles, and none come back with
        // a smaller bigness until the count is recomputed.
        {800, 600, 10, "right=0.9 left=-0.9 top=0.675 bottom=-0.675", "right=800 left=0 bottom=600 top=0", 0, 0, 800, 600, 0},
        {800, 600, 1, "right=0.9 left=-0.9 top=0.675 bottom=-0.675", "right=500 left=300 bottom=375 top=225", 225, 300, 500, 375, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " bigness " << c.bigness);
        SetWindowPos(window_, nullptr, 0, 0, c.w, c.h, SWP_NOZORDER | SWP_NOACTIVATE);
        g_settings.bigness = c.bigness;
        trace_.Clear();
        LayoutView(window_, g_gc, &g_settings);
        std::vector<TraceCall> calls = trace_.Calls();
        char expect[200];
        std::vector<std::string> expected = {"VngGetCameraView"};
        expected.push_back(std::string("VngSetCameraView ") + c.view + " near=2.9 far=18");
        snprintf(expect, sizeof expect, "VngSetWindowSize width=%d height=%d", c.w, c.h);
        expected.push_back(expect);
        expected.push_back(std::string("VngSetCameraPort ") + c.port);
        expected.push_back("VnrSetState id=2 value=256");
        expected.push_back("VnrSetState id=1 value=256");
        for (auto [id, v] : {std::pair<int, int>{57, c.top}, {56, c.left}, {58, c.right}, {59, c.bottom}}) {
            snprintf(expect, sizeof expect, "VnrSetState id=%d value=%d", id, v);
            expected.push_back(expect);
        }
        ASSERT_EQ(calls.size(), expected.size());
        for (size_t i = 0; i < calls.size(); ++i) ExpectCall(calls[i], expected[i]);
        EXPECT_EQ(g_settings.twinkleCount, c.twinkles);
        EXPECT_EQ(g_settings.clientRect.right, c.w);
        EXPECT_EQ(g_settings.clientRect.bottom, c.h);
    }

    // No geometry context, or a window shrunk to nothing: no layout at all.
    RECT before = g_settings.clientRect;
    trace_.Clear();
    LayoutView(window_, 0, &g_settings);
    SetWindowPos(window_, nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE);
    LayoutView(window_, g_gc, &g_settings);
    SetWindowPos(window_, nullptr, 0, 0, 500, 0, SWP_NOZORDER | SWP_NOACTIVATE);
    LayoutView(window_, g_gc, &g_settings);
    EXPECT_TRUE(trace_.Calls().empty());
    EXPECT_TRUE(EqualRect(&before, &g_settings.clientRect));
}

TEST_F(SceneOnWindow, SetUpOnAnEmptyClientStillSetsNearAndFar) {
    FreeScene(&g_rc, &g_gc, &g_settings);
    SetWindowPos(window_, nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE);
    trace_.Clear();
    ASSERT_EQ(InitScene(window_, g_hdc, &g_settings), 1);
    std::vector<TraceCall> views = trace_.Calls("VngSetCameraView");
    ASSERT_EQ(views.size(), 1u);
    ExpectCall(views[0], "VngSetCameraView right=0.9 left=-0.9 top=0.9 bottom=-0.9 near=2.9 far=18");
    EXPECT_EQ(g_settings.twinkleCount, 0);

    // The first real size lays out with the near and far set up then.
    SetWindowPos(window_, nullptr, 0, 0, 640, 400, SWP_NOZORDER | SWP_NOACTIVATE);
    trace_.Clear();
    LayoutView(window_, g_gc, &g_settings);
    views = trace_.Calls("VngSetCameraView");
    ASSERT_EQ(views.size(), 1u);
    ExpectCall(views[0], "VngSetCameraView right=0.96 left=-0.96 top=0.6 bottom=-0.6 near=2.9 far=18");
}

TEST_F(SceneOnWindow, TearDownReleasesEachTextureOnce) {
    int frameTexture = g_settings.ownedTextures[6];
    int a = VnrNewTexture(g_rc, 0, 32, 2, 2), b = VnrNewTexture(g_rc, 0, 32, 4, 4);
    const int owned[7] = {a, a, b, 0, b, frameTexture, a};
    const int faces[7] = {11, 12, 13, 14, 15, 16, 17};
    for (int i = 0; i < 7; ++i) {
        g_settings.ownedTextures[i] = owned[i];
        g_settings.faceTextures[i] = faces[i];
    }
    int rc = g_rc, gc = g_gc;
    trace_.Clear();
    FreeScene(&g_rc, &g_gc, &g_settings);
    std::vector<TraceCall> calls = trace_.Calls();
    char expect[5][100];
    snprintf(expect[0], 100, "VnrFreeTexture rc=%d texture=%d", rc, a);
    snprintf(expect[1], 100, "VnrFreeTexture rc=%d texture=%d", rc, b);
    snprintf(expect[2], 100, "VnrFreeTexture rc=%d texture=%d", rc, frameTexture);
    snprintf(expect[3], 100, "VnrDeleteRC rc=%d textures-left=0", rc);
    snprintf(expect[4], 100, "VngDeleteGC gc=%d", gc);
    ASSERT_EQ(calls.size(), 5u);
    for (int i = 0; i < 5; ++i) ExpectCall(calls[i], expect[i]);
    EXPECT_EQ(g_rc, 0);
    EXPECT_EQ(g_gc, 0);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(g_settings.ownedTextures[i], 0);
        EXPECT_EQ(g_settings.faceTextures[i], faces[i]);
    }
    // A second tear-down has nothing left to release.
    trace_.Clear();
    FreeScene(&g_rc, &g_gc, &g_settings);
    EXPECT_TRUE(trace_.Calls().empty());
}

}  // namespace
