// Scene set-up, the per-frame animation, view layout and tear-down.
#include "scene.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#include "msgbox.h"
#include "pictures.h"
#include "settings.h"
#include "vistaro.h"
#include "vxg32.h"
#include "vxn32.h"

int g_rc;
int g_gc;
HDC g_hdc;
int g_frameCount;
float g_rotationAxis[3] = {1, 1, 1};
float g_axisAzimuth = 45.0f;
float g_axisPolar = 45.0f;
float g_orbitAngle;
float g_orbiterPosition[3];
int g_starPhase;

SceneMachine g_sceneMachine = {GlobalMemoryStatus, GetDeviceCaps};

static const int g_zero = 0;
static const int g_one = 1;

static void Fatal(const char* text, const char* caption) {
    g_messageBox(nullptr, text, caption, MB_OK);
    exit(1);
}

// vp is {left, top, right, bottom}.
static void SendViewport(int gc, const int vp[4]) { VngSetCameraPort(gc, vp[2], vp[0], vp[3], vp[1]); }

static void SendDrawingRect(const int vp[4]) {
    VnrSetState(g_rc, VNR_ENABLE, VNR_FEATURE_RECT);
    VnrSetState(g_rc, VNR_RECT_TOP, vp[1]);
    VnrSetState(g_rc, VNR_RECT_LEFT, vp[0]);
    VnrSetState(g_rc, VNR_RECT_RIGHT, vp[2]);
    VnrSetState(g_rc, VNR_RECT_BOTTOM, vp[3]);
}

static void SetViewVolume(int gc, int w, int h, float nearZ, float farZ) {
    float halfW, halfH;
    ViewVolume(w, h, &halfW, &halfH);
    VngSetCameraView(gc, halfW, -halfW, halfH, -halfH, nearZ, farZ);
}

static void SetShading() {
    VngSetState(g_gc, 2, &g_one);
    VnrSetState(g_rc, VNR_ENABLE, VNR_FEATURE_LIGHTING);
    VnrSetState(g_rc, VNR_LIGHT_MODE, VNR_LIGHT_MM);
}

static void TurnAll(float (*v)[3], int count, const float* m) {
    for (int i = 0; i < count; ++i) TransformVector(v[i], v[i], m, 0);
}

static void SetLights(int gc) {
    static float white[4] = {1, 1, 1, 0};
    static float position[4] = {0, 0, -10, 0};
    static float grey[4] = {0.9f, 0.9f, 0.9f, 0};
    VngSetLight(gc, 0, 0, white);
    VngSetLight(gc, 0, 4, position);
    VngSetLight(gc, 0, 2, grey);
    VngSetLight(gc, 0, 3, white);
    VngSetLight(gc, 0, 1, white);
    VngSetLight(gc, 1, 0, white);
    VngSetLight(gc, 1, 4, position);
    VngSetLight(gc, 1, 1, white);
}

static void SetMaterial(int gc) {
    static float white[4] = {1, 1, 1, 0};
    static float grey[4] = {0.9f, 0.9f, 0.9f, 0};
    static float shininess[4] = {1.0f, 0, 0, 0};
    VngSetMatt(gc, 0, 0, white);
    VngSetMatt(gc, 0, 1, grey);
    VngSetMatt(gc, 0, 2, white);
    VngSetMatt(gc, 0, 4, white);
    VngSetMatt(gc, 0, 11, shininess);
    VngSetCurrentMatt(gc, 0);
}

int InitScene(HWND window, HDC dc, CubeSettings* settings) {
    ScenePrecision precision;
    settings->sceneWindow = window;

    float m[16];
    VngRotateMatrix(kPi, 0, 1, 0, m);
    TurnAll(g_orbiterNormals, 24, m);
    TurnAll(g_orbiterVertices, 24, m);

    if (!DisplayIsUsable(g_sceneMachine.getDeviceCaps(dc, RASTERCAPS), g_sceneMachine.getDeviceCaps(dc, SIZEPALETTE)))
        Fatal("Can't deal with less than 256 colors!", "Arrghh!");

    MEMORYSTATUS mem = {};
    mem.dwLength = sizeof mem;
    g_sceneMachine.globalMemoryStatus(&mem);
    int side = TextureSideForMemory(mem.dwTotalPhys);
    if (side == 0) Fatal("Can't deal with less than 4 Megs of RAM!", "Arrghh!");
    settings->maxTextureSide = side;

    LoadSettings(settings);
    if (g_bePreviewing) settings->pictureCount = 0;

    char caption[100];
    snprintf(caption, sizeof caption, "%s%s", "3-D Vistaro    ", settings->title);
    SendMessageA(window, WM_SETTEXT, 0, (LPARAM)caption);

    settings->spinnerOffset = settings->orbiting ? 3.5f : 1.5f;
    srand((unsigned)time(nullptr));

    GetClientRect(window, &settings->clientRect);
    int w = settings->clientRect.right - settings->clientRect.left;
    int h = settings->clientRect.bottom - settings->clientRect.top;
    int* vp = settings->viewport;
    ComputeViewport(w, h, settings->bigness, vp);
    settings->twinkleCount = settings->numStars * 4 / 5;
    settings->twinkleCount =
        MakeTwinklePoints(settings->clientRect, vp, settings->twinkleCount, settings->twinklePoints);

    g_rc = VnrCreateRC(dc, 1);
    if (g_rc == 0) {
        g_messageBox(nullptr, "Failed to create a VXN context", "Error", MB_OK);
        Fatal("Try running setup again.", "Error");
    }

    VnrSetState(g_rc, VNR_ENABLE, VNR_FEATURE_DEPTH);
    VnrSetState(g_rc, VNR_DISABLE, VNR_FEATURE_DITHER);
    VnrSetState(g_rc, VNR_DISABLE, VNR_FEATURE_COLORKEY);
    g_gc = VngCreateGC(g_rc);
    VngSetState(g_gc, 4, &g_zero);
    VngSetState(g_gc, 3, &g_zero);
    VngSetState(g_gc, 1, &g_one);
    VnrSetState(g_rc, VNR_ENABLE, VNR_FEATURE_TEXTURE);
    if (settings->shade) SetShading();
    VnrSetState(g_rc, VNR_ENABLE, VNR_FEATURE_PERSPECTIVE);
    VnrSetState(g_rc, VNR_DEPTH_COMPARE, VNR_DEPTH_LESS_EQUAL);

    static float eye[4] = {0, 0, -4, 1};
    static float direction[3] = {0, 0, 1};
    static float up[3] = {0, 1, 0};
    VngSetCameraProjection(g_gc, 2);
    VngSetCameraPosition(g_gc, eye, direction, up);
    // A window created with no size still gets a view volume, so that its
    // near and far planes are there for the first layout.
    if (w > 0 && h > 0)
        SetViewVolume(g_gc, w, h, 2.9f, 18.0f);
    else
        SetViewVolume(g_gc, 1, 1, 2.9f, 18.0f);
    VngSetWindowSize(g_gc, w, h);
    SendViewport(g_gc, vp);
    SendDrawingRect(vp);

    VngClearStack(g_gc);
    SetLights(g_gc);
    SetMaterial(g_gc);

    VnrSetState(g_rc, VNR_CLEAR_COLOR, 0);
    VnrSetState(g_rc, VNR_DRAW_COLOR, 0xFFFFFF);
    VnrClearBuffers(g_rc, 1);

    LoadPictureTextures(settings, g_rc, window);

    for (auto& v : g_spinnerVertices) v[2] += settings->spinnerOffset;

    for (auto& star : g_stars) {
        float r1 = UniformRandom();
        float r2 = UniformRandom();
        float r3 = UniformRandom();
        MakeStar(r1, r2, r3, star);
    }
    return 1;
}

static void DrawTwinkles(const CubeSettings* s, float sf) {
    int start = rand() / 16383;
    int count = ClampTableCount(s->twinkleCount);
    if (start >= count) return;
    int t = TwinkleDivisor(sf);
    for (int i = start; i < count; i += 2) {
        if (rand() / t != 1) continue;
        COLORREF color = rand() / 10922 == 1 ? 0 : 0xFFFFFF;
        SetPixel(g_hdc, s->twinklePoints[i][0], s->twinklePoints[i][1], color);
    }
}

static void TurnAxis(const CubeSettings* s, float sf) {
    if (s->randomWalkAxis) {
        // r * sf is a float product, rounded as one before it is widened.
        float step = UniformRandom() * sf;
        g_axisPolar = (float)(g_axisPolar + step * 0.1);
        step = UniformRandom() * sf;
        g_axisAzimuth = (float)(g_axisAzimuth + step * -0.1);
    } else {
        g_axisPolar = (float)(g_axisPolar + 0.1 * 0.41397849);
        g_axisAzimuth = (float)(g_axisAzimuth + 0.1 * -0.28731170);
    }
    // The angles are floats, and so are their sines, cosines and products.
    float sinPolar = sin(g_axisPolar), cosPolar = cos(g_axisPolar);
    float cosAzimuth = cos(g_axisAzimuth), sinAzimuth = sin(g_axisAzimuth);
    float fx = cosAzimuth * sinPolar, fy = sinAzimuth * sinPolar;
    double x = fx, y = fy, z = cosPolar;
    double len = sqrt(x * x + y * y + z * z);
    g_rotationAxis[0] = (float)(x / len);
    g_rotationAxis[1] = (float)(y / len);
    g_rotationAxis[2] = (float)(z / len);
}

static void DrawStars(const CubeSettings* s, float sf) {
    float m[16];
    VngRotateMatrix((float)(0.1 * sf * 0.01), 0, 0, 1, m);
    VnrSetState(g_rc, VNR_DISABLE, VNR_FEATURE_TEXTURE);
    g_starPhase = !g_starPhase;
    int count = ClampTableCount(s->numStars);
    if (g_starPhase == 1)
        for (int i = 0; i < count; ++i) TurnAll(g_stars[i], 3, m);
    for (int i = 0; i < count; ++i)
        VngPrimitiveF(g_gc, 7, 3, &g_stars[i][0][0], 12, &g_starNormals[0][0], 12, 0, 12, 0, 16);
}

static void DrawFaces(const CubeSettings* s, float (*vertices)[3], float (*normals)[3]) {
    for (int i = 0; i < 6; ++i) {
        VnrSetState(g_rc, VNR_TEXTURE, s->faceTextures[i]);
        VngPolygonListF(g_gc, 1, 24, &vertices[0][0], 12, &normals[0][0], 12, &g_cubeTexCoords[0][0], 12, 0, 16,
                        g_cubeFaces[i]);
    }
}

static void DrawOrbiter(const CubeSettings* s, float sf) {
    float m[16];
    VngRotateMatrix((float)(0.1 * sf), g_rotationAxis[0], g_rotationAxis[1], g_rotationAxis[2], m);
    TurnAll(g_orbiterNormals, 24, m);
    float c = cos(g_orbitAngle), sn = sin(g_orbitAngle);
    float p[3] = {(float)(1.9 * c), (float)(0.8 * c), (float)(4.9 * sn * sn * sn + 4.5)};
    for (auto& v : g_orbiterVertices) {
        float d[3] = {v[0] - g_orbiterPosition[0], v[1] - g_orbiterPosition[1], v[2] - g_orbiterPosition[2]};
        TransformVector(d, d, m, 0);
        v[0] = d[0] + p[0];
        v[1] = d[1] + p[1];
        v[2] = d[2] + p[2];
    }
    for (int i = 0; i < 3; ++i) g_orbiterPosition[i] = p[i];
    DrawFaces(s, g_orbiterVertices, g_orbiterNormals);
}

static void DrawSpinner(const CubeSettings* s, float sf) {
    float m[16];
    VngRotateMatrix((float)-(0.1 * sf), g_rotationAxis[0], g_rotationAxis[1], g_rotationAxis[2], m);
    TurnAll(g_spinnerNormals, 24, m);
    for (auto& v : g_spinnerVertices) {
        v[2] -= s->spinnerOffset;
        TransformVector(v, v, m, 0);
        v[2] += s->spinnerOffset;
    }
    DrawFaces(s, g_spinnerVertices, g_spinnerNormals);
}

extern "C" void __cdecl AnimateScreen(void) {
    ScenePrecision precision;
    const CubeSettings* s = &g_settings;
    float sf = SpeedFactor(s->speed);
    if (s->stars) DrawTwinkles(s, sf);
    VnrClearBuffers(g_rc, 1);
    TurnAxis(s, sf);
    if (s->stars) DrawStars(s, sf);
    VnrSetState(g_rc, VNR_ENABLE, VNR_FEATURE_TEXTURE);
    if (s->shade) SetShading();

    g_orbitAngle = AdvanceOrbitAngle(g_orbitAngle, sf);
    bool behind = g_orbitAngle < kPi;
    if (s->orbiting && behind) DrawOrbiter(s, sf);
    if (s->spinning) DrawSpinner(s, sf);
    if (s->orbiting && !behind) DrawOrbiter(s, sf);

    ++g_frameCount;
    VnrSwapBuffers(g_rc, 4);
}

void LayoutView(HWND window, int gc, CubeSettings* settings) {
    if (gc == 0) return;
    ScenePrecision precision;
    RECT client;
    GetClientRect(window, &client);
    // A window shrunk to nothing has no view volume; wait for a real size.
    if (client.right <= 0 || client.bottom <= 0) return;

    float f[6] = {};
    VngGetCameraView(gc, &f[0], &f[1], &f[2], &f[3], &f[4], &f[5]);
    settings->clientRect = client;
    int w = client.right, h = client.bottom;
    SetViewVolume(gc, w, h, f[4], f[5]);
    VngSetWindowSize(gc, w, h);

    int* vp = settings->viewport;
    ComputeViewport(w, h, settings->bigness, vp);
    SendViewport(gc, vp);
    VnrSetState(g_rc, VNR_DISABLE, VNR_FEATURE_RECT);
    SendDrawingRect(vp);

    settings->twinkleCount =
        MakeTwinklePoints(settings->clientRect, vp, settings->twinkleCount, settings->twinklePoints);
}

void FreeDistinctTextures(int rc, const int handles[7]) {
    for (int i = 0; i < 7; ++i) {
        int h = handles[i];
        bool seen = false;
        for (int j = 0; j < i; ++j) seen = seen || handles[j] == h;
        if (h != 0 && !seen) VnrFreeTexture(rc, h);
    }
}

void FreeScene(int* rc, int* gc, CubeSettings* settings) {
    FreeDistinctTextures(*rc, settings->ownedTextures);
    for (int& h : settings->ownedTextures) h = 0;
    if (*rc) {
        VnrDeleteRC(*rc);
        *rc = 0;
    }
    if (*gc) {
        VngDeleteGC(*gc);
        *gc = 0;
    }
}
