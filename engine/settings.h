// The engine's settings record and its settings file vistaro.ini.
#pragma once
#include <windows.h>
#include <stddef.h>

// One plain record, g_settings, in the library's static data: all zero at
// load, then filled by LoadInstallPaths during the library's attach.
struct CubeSettings {
    HWND sceneWindow;     // the animated window (set by InitScene)
    char* installDir;     // heap string: the App Paths "Path" value, or null
    char title[60];       // desktop title, at most 59 characters
    float spinnerOffset;  // z of the spinner's centre: 3.5 when orbiting, else 1.5
    int picturesChanged;  // the dialog edited the picture list
    int stars;
    int spinning;
    int orbiting;
    int shade;
    int randomWalkAxis;         // the rotation axis wanders randomly
    char pictureNames[6][200];  // packed from slot 0, each at most 199 characters
    int pictureCount;           // 0 to 6
    int speed;                  // 1 to 10 in the dialog
    int bigness;                // 1 to 10 in the dialog
    int maxTextureSide;         // 256, 512 or 1024
    int numStars;               // 10 to 100 in the dialog
    int viewport[4];            // left, top, right, bottom in client pixels
    RECT clientRect;
    int twinkleCount;
    int twinklePoints[100][2];  // (x, y) in client pixels
    int faceTextures[7];        // 0-5 cube faces, 6 the frame texture
    int ownedTextures[7];       // the handles the engine must release
    char* helpPath;             // heap string: installDir + "\vistaro.hlp", or null
};

static_assert(offsetof(CubeSettings, sceneWindow) == 0, "layout");
static_assert(offsetof(CubeSettings, installDir) == 4, "layout");
static_assert(offsetof(CubeSettings, title) == 8, "layout");
static_assert(offsetof(CubeSettings, spinnerOffset) == 68, "layout");
static_assert(offsetof(CubeSettings, picturesChanged) == 72, "layout");
static_assert(offsetof(CubeSettings, stars) == 76, "layout");
static_assert(offsetof(CubeSettings, spinning) == 80, "layout");
static_assert(offsetof(CubeSettings, orbiting) == 84, "layout");
static_assert(offsetof(CubeSettings, shade) == 88, "layout");
static_assert(offsetof(CubeSettings, randomWalkAxis) == 92, "layout");
static_assert(offsetof(CubeSettings, pictureNames) == 96, "layout");
static_assert(offsetof(CubeSettings, pictureCount) == 1296, "layout");
static_assert(offsetof(CubeSettings, speed) == 1300, "layout");
static_assert(offsetof(CubeSettings, bigness) == 1304, "layout");
static_assert(offsetof(CubeSettings, maxTextureSide) == 1308, "layout");
static_assert(offsetof(CubeSettings, numStars) == 1312, "layout");
static_assert(offsetof(CubeSettings, viewport) == 1316, "layout");
static_assert(offsetof(CubeSettings, clientRect) == 1332, "layout");
static_assert(offsetof(CubeSettings, twinkleCount) == 1348, "layout");
static_assert(offsetof(CubeSettings, twinklePoints) == 1352, "layout");
static_assert(offsetof(CubeSettings, faceTextures) == 2152, "layout");
static_assert(offsetof(CubeSettings, ownedTextures) == 2180, "layout");
static_assert(offsetof(CubeSettings, helpPath) == 2208, "layout");
static_assert(sizeof(CubeSettings) == 2212, "layout");

extern CubeSettings g_settings;

// Registry key under HKEY_LOCAL_MACHINE whose value "Path" is the install directory.
#define VISTARO_APP_PATHS_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\3-D Vistaro Screensaver.scr"

// The constructor of g_settings: reads the install directory, forms the help
// path and stores the defaults. Registry failures are reported by a message
// box ("Couldn't get path key" / "Couldn't get path value", caption "ERROR")
// and leave the record untouched apart from sceneWindow.
void LoadInstallPaths(void);

// Releases installDir and helpPath (registered with atexit) and nulls them.
void FreeInstallPaths(void);

// Reads vistaro.ini of the install directory into the record. Always 1.
// Makes installDir the process's current directory (when it is set).
int LoadSettings(CubeSettings* settings);

// Writes the record to vistaro.ini of the install directory. Always 1.
int SaveSettings(CubeSettings* settings);
