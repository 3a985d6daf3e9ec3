// What the stand-ins put in a real window on swap.
#include <gtest/gtest.h>
#include <stdint.h>
#include "calltrace.h"
#include "vxg32.h"
#include "vxn32.h"

namespace {

class StandinWindow : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
        wc.lpszClassName = "StandinWindowTest";
        RegisterClassA(&wc);
        window_ = CreateWindowExA(0, wc.lpszClassName, "stand-in", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240,
                                  nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(nullptr, window_);
        UpdateWindow(window_);
        Pump();
        dc_ = GetDC(window_);
        rc_ = VnrCreateRC(dc_, 1);
        ASSERT_NE(0, rc_);
    }
    void TearDown() override {
        VnrDeleteRC(rc_);
        ReleaseDC(window_, dc_);
        DestroyWindow(window_);
    }
    static void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    void Viewport(int left, int top, int right, int bottom) {
        VnrSetState(rc_, VNR_RECT_TOP, top);
        VnrSetState(rc_, VNR_RECT_LEFT, left);
        VnrSetState(rc_, VNR_RECT_RIGHT, right);
        VnrSetState(rc_, VNR_RECT_BOTTOM, bottom);
    }
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
    int rc_ = 0;
};

TEST_F(StandinWindow, SwapShowsTheClearedViewportOnly) {
    VnrSetState(rc_, VNR_CLEAR_COLOR, 0x0000FF);  // red
    Viewport(40, 30, 280, 210);
    VnrClearBuffers(rc_, 1);
    VnrSwapBuffers(rc_, 4);
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc_, 160, 120));
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc_, 40, 30));
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc_, 279, 209));
    // The margins are the window's own (the engine twinkles there).
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc_, 39, 120));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc_, 160, 210));
}

TEST_F(StandinWindow, TexturedQuadThroughTheCamera) {
    VnrSetState(rc_, VNR_CLEAR_COLOR, 0);
    Viewport(0, 0, 320, 240);
    int gc = VngCreateGC(rc_);
    float eye[4] = {0, 0, -4, 1}, dir[3] = {0, 0, 1}, up[3] = {0, 1, 0};
    VngSetCameraPosition(gc, eye, dir, up);
    VngSetCameraView(gc, 0.9f, -0.9f, 0.675f, -0.675f, 2.9f, 18.0f);
    VngSetWindowSize(gc, 320, 240);
    VngSetCameraPort(gc, 320, 0, 240, 0);
    // Left half blue, right half green; the quad spans x -0.5..0.5 at z 1.5.
    uint32_t texels[4 * 4];
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++) texels[y * 4 + x] = x < 2 ? 0x01FF0000 : 0x0100FF00;
    int tex = VnrNewTexture(rc_, 0, 32, 4, 4);
    VnrLoadTexture(rc_, 0, 32, 0, 4, 4, 16, tex, 0, texels);
    VnrSetState(rc_, VNR_ENABLE, VNR_FEATURE_TEXTURE | VNR_FEATURE_PERSPECTIVE);
    VnrSetState(rc_, VNR_TEXTURE, tex);
    float v[4][3] = {{-0.5f, -0.5f, 1.5f}, {0.5f, -0.5f, 1.5f}, {0.5f, 0.5f, 1.5f}, {-0.5f, 0.5f, 1.5f}};
    float n[4][3] = {{0, 0, -1}, {0, 0, -1}, {0, 0, -1}, {0, 0, -1}};
    float t[4][3] = {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
    uint16_t list[5] = {4, 0, 1, 2, 3};
    VnrClearBuffers(rc_, 1);
    VngPolygonListF(gc, 1, 4, &v[0][0], 12, &n[0][0], 12, &t[0][0], 12, nullptr, 16, list);
    VnrSwapBuffers(rc_, 4);
    // Half width 0.5 at distance 5.5 on a near plane 2.9 away: 0.2636 of 0.9
    // either side of the centre, about 47 pixels.
    // Texels reach the driver with five bits per channel.
    EXPECT_EQ(RGB(0, 0, 0xF8), GetPixel(dc_, 160 - 30, 120));
    EXPECT_EQ(RGB(0, 0xF8, 0), GetPixel(dc_, 160 + 30, 120));
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc_, 160 - 55, 120));
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc_, 160, 120 - 55));
    VnrFreeTexture(rc_, tex);
    VngDeleteGC(gc);
}

// The nearer of two overlapping quads is seen, whichever is drawn first.
TEST_F(StandinWindow, NearerQuadHidesFartherOne) {
    VnrSetState(rc_, VNR_CLEAR_COLOR, 0);
    Viewport(0, 0, 320, 240);
    int gc = VngCreateGC(rc_);
    float eye[4] = {0, 0, -4, 1}, dir[3] = {0, 0, 1}, up[3] = {0, 1, 0};
    VngSetCameraPosition(gc, eye, dir, up);
    VngSetCameraView(gc, 0.9f, -0.9f, 0.675f, -0.675f, 2.9f, 18.0f);
    VngSetWindowSize(gc, 320, 240);
    VngSetCameraPort(gc, 320, 0, 240, 0);
    uint32_t red[4] = {0x010000FF, 0x010000FF, 0x010000FF, 0x010000FF};
    uint32_t green[4] = {0x0100FF00, 0x0100FF00, 0x0100FF00, 0x0100FF00};
    int nearTex = VnrNewTexture(rc_, 0, 32, 2, 2), farTex = VnrNewTexture(rc_, 0, 32, 2, 2);
    VnrLoadTexture(rc_, 0, 32, 0, 2, 2, 8, nearTex, 0, red);
    VnrLoadTexture(rc_, 0, 32, 0, 2, 2, 8, farTex, 0, green);
    VnrSetState(rc_, VNR_ENABLE, VNR_FEATURE_DEPTH | VNR_FEATURE_TEXTURE | VNR_FEATURE_PERSPECTIVE);
    float n[4][3] = {{0, 0, -1}, {0, 0, -1}, {0, 0, -1}, {0, 0, -1}};
    float t[4][3] = {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
    uint16_t list[5] = {4, 0, 1, 2, 3};
    auto quad = [&](int tex, float z) {
        float v[4][3] = {{-0.5f, -0.5f, z}, {0.5f, -0.5f, z}, {0.5f, 0.5f, z}, {-0.5f, 0.5f, z}};
        VnrSetState(rc_, VNR_TEXTURE, tex);
        VngPolygonListF(gc, 1, 4, &v[0][0], 12, &n[0][0], 12, &t[0][0], 12, nullptr, 16, list);
    };
    for (int order = 0; order < 2; ++order) {
        VnrClearBuffers(rc_, 1);
        if (order == 0) quad(nearTex, 0), quad(farTex, 2);
        else quad(farTex, 2), quad(nearTex, 0);
        VnrSwapBuffers(rc_, 4);
        EXPECT_EQ(RGB(0xF8, 0, 0), GetPixel(dc_, 160, 120)) << "order " << order;
    }
    VnrFreeTexture(rc_, nearTex);
    VnrFreeTexture(rc_, farTex);
    VngDeleteGC(gc);
}

}  // namespace
