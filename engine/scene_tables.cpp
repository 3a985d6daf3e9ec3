// The scene's geometry tables as they stand before the first frame.
#include "scene.h"

// Each cube lists its 8 corners three times, so that every vertex belongs to
// exactly one face: corner k has x = -h for k 0-3, y = -h for k 0, 1, 4, 5,
// z = -h for even k.
#define CUBE_CORNERS(h) \
    {-h, -h, -h}, {-h, -h, h}, {-h, h, -h}, {-h, h, h}, {h, -h, -h}, {h, -h, h}, {h, h, -h}, { h, h, h }
#define CUBE_VERTICES(h) CUBE_CORNERS(h), CUBE_CORNERS(h), CUBE_CORNERS(h)

#define CUBE_NORMALS                                                                                                   \
    {-1, 0, 0}, {-1, 0, 0}, {-1, 0, 0}, {-1, 0, 0}, {1, 0, 0}, {1, 0, 0}, {1, 0, 0}, {1, 0, 0}, {0, 0, -1}, {0, 0, 1}, \
        {0, 0, -1}, {0, 0, 1}, {0, 0, -1}, {0, 0, 1}, {0, 0, -1}, {0, 0, 1}, {0, -1, 0}, {0, -1, 0}, {0, 1, 0},        \
        {0, 1, 0}, {0, -1, 0}, {0, -1, 0}, {0, 1, 0}, {                                                                \
        0, 1, 0                                                                                                        \
    }

float g_orbiterVertices[24][3] = {CUBE_VERTICES(0.35f)};
float g_orbiterNormals[24][3] = {CUBE_NORMALS};
float g_spinnerVertices[24][3] = {CUBE_VERTICES(0.6f)};
float g_spinnerNormals[24][3] = {CUBE_NORMALS};

float g_cubeTexCoords[24][3] = {
    {0, 1, 1}, {0, 0, 1}, {1, 1, 1}, {1, 0, 1}, {1, 0, 1}, {0, 0, 1}, {1, 1, 1}, {0, 1, 1},
    {1, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 0, 1}, {0, 0, 1}, {1, 1, 1}, {0, 1, 1}, {0, 1, 1},
    {1, 0, 1}, {0, 0, 1}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}, {0, 1, 1}, {1, 1, 1},
};

uint16_t g_cubeFaces[6][5] = {
    {4, 0, 2, 3, 1}, {4, 4, 5, 7, 6}, {4, 9, 11, 15, 13}, {4, 19, 18, 22, 23}, {4, 16, 17, 21, 20}, {4, 8, 12, 14, 10},
};

float g_stars[100][3][3];
float g_starNormals[3][3] = {{0, 0, -1}, {0, 0, 0}, {0, 0, 0}};
