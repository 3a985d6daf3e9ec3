// The 3-D scene: set-up, one animated frame per call, view layout, tear-down.
#pragma once
#include <windows.h>
#include <stdint.h>

struct CubeSettings;

// Scene state, one per process. All floats are 32-bit.
extern int g_rc;                    // render context, 0 when none
extern int g_gc;                    // geometry context, 0 when none
extern HDC g_hdc;                   // the animated window's DC (taken by the window)
extern int g_frameCount;            // frames presented since the last fps reset
extern float g_rotationAxis[3];     // unit axis both cubes turn about
extern float g_axisAzimuth;         // radians
extern float g_axisPolar;           // radians
extern float g_orbitAngle;          // kept in 0..2pi
extern float g_orbiterPosition[3];  // orbiter centre as last placed
extern int g_starPhase;             // the stars turn on every second drawn frame
extern float g_stars[100][3][3];
extern float g_starNormals[3][3];
extern float g_orbiterVertices[24][3];
extern float g_orbiterNormals[24][3];
extern float g_spinnerVertices[24][3];
extern float g_spinnerNormals[24][3];
extern float g_cubeTexCoords[24][3];  // (u, v, 1), shared by both cubes
extern uint16_t g_cubeFaces[6][5];    // polygon list: 4, then four vertex indexes

// Sets the whole scene up inside WM_CREATE. Returns 1; a fatal failure
// (palette display, too little memory, no render context) has shown its
// message box and ended the process with exit code 1.
int InitScene(HWND window, HDC dc, CubeSettings* settings);

// Draws and presents one frame (called by the host's loop).
extern "C" void __cdecl AnimateScreen(void);

// Re-lays out view volume, viewport and twinkle points after a resize or the
// settings dialog. Does nothing when gc is 0 or the client area is empty.
void LayoutView(HWND window, int gc, CubeSettings* settings);

// Releases every distinct owned texture once, then the render and geometry
// contexts; zeroes what it frees.
void FreeScene(int* rc, int* gc, CubeSettings* settings);

// Releases each distinct non-zero handle of the seven once (faces that
// reuse a picture share a handle).
void FreeDistinctTextures(int rc, const int handles[7]);

// The machine facts that set-up checks; tests replace them to reach the
// fatal paths on a machine that passes them.
struct SceneMachine {
    void(WINAPI* globalMemoryStatus)(LPMEMORYSTATUS);
    int(WINAPI* getDeviceCaps)(HDC, int);
};
extern SceneMachine g_sceneMachine;

// dst = rotation part of the 4x4 row-major matrix m applied to src (or its
// transpose). src and dst may be the same vector.
void TransformVector(const float* src, float* dst, const float* m, int transpose);

// Holds the x87 unit at double precision (53-bit results) for the scene's
// arithmetic while it lives: the host or an outside library may have left it
// at 64 or 24 bits. Every entry of the scene takes one; they nest.
class ScenePrecision {
public:
    ScenePrecision();
    ~ScenePrecision();
    ScenePrecision(const ScenePrecision&) = delete;
    ScenePrecision& operator=(const ScenePrecision&) = delete;

    // v, worked out and stored while the precision holds. The compiler may
    // otherwise finish a result (reload a stored double, truncate it) after
    // the destructor has given the caller's precision back, and an emulated
    // x87 rounds even that reload to the caller's precision.
    template <class T>
    T Kept(T v) const {
        __asm__ __volatile__("" : "+m"(v));
        return v;
    }

private:
    unsigned short saved_;
};

// The pieces below are the scene's pure computations.

const float kPi = 3.1415925f;
const float kTwoPi = 6.2831850f;

// Speed factor of every frame; speed is clamped to 1..10 first.
float SpeedFactor(int speed);

// Divisor t of the twinkle test rand() / t == 1: 32767 / trunc(3 / sf).
int TwinkleDivisor(float sf);

// Half sizes of the view volume for a client of w x h (both positive).
void ViewVolume(int w, int h, float* halfW, float* halfH);

// Viewport {left, top, right, bottom} for a client of w x h; bigness is
// clamped to 1..10 first.
void ComputeViewport(int w, int h, int bigness, int viewport[4]);

// Largest texture side for the machine's physical memory, 0 when it is too
// little to run.
int TextureSideForMemory(SIZE_T totalPhys);

// False for a palette display with fewer than 256 entries.
bool DisplayIsUsable(int rasterCaps, int sizePalette);

// rand() / 32767 as a float.
float UniformRandom();

// Twinkle and star counts clamped to their 100-entry tables.
int ClampTableCount(int count);

// Fills the twinkle table in four bands around the viewport; returns the
// twinkle count that stays in use (0 when a margin is 20 pixels or less).
int MakeTwinklePoints(const RECT& client, const int viewport[4], int count, int points[100][2]);

// Star triangle from three uniform values in 0..1.
void MakeStar(float r1, float r2, float r3, float star[3][3]);

// Orbit angle after one frame, wrapped into 0..2pi.
float AdvanceOrbitAngle(float angle, float sf);
