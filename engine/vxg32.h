// vxg32.dll, the geometry library: the functions the engine imports.
// Standard calling convention, exported by undecorated name. Floats are
// 32-bit and passed by value, vectors by pointer; handles are 32-bit
// integers, 0 meaning none.
#pragma once
#include <windows.h>
#include <stdint.h>

extern "C" {
// A geometry context drawing through render context rc.
int WINAPI VngCreateGC(int rc);
int WINAPI VngDeleteGC(int gc);
int WINAPI VngSetState(int gc, int id, const int* value);
int WINAPI VngSetCameraProjection(int gc, int kind);
// eye: 4 floats (x, y, z, w); direction and up: 3 floats each.
int WINAPI VngSetCameraPosition(int gc, const float* eye, const float* direction, const float* up);
// The view volume: extents on the near plane, then near and far.
int WINAPI VngSetCameraView(int gc, float right, float left, float top, float bottom, float nearZ, float farZ);
int WINAPI VngGetCameraView(int gc, float* right, float* left, float* top, float* bottom, float* nearZ, float* farZ);
int WINAPI VngSetWindowSize(int gc, int width, int height);
// The image is mapped onto this rectangle of client pixels.
int WINAPI VngSetCameraPort(int gc, int right, int left, int bottom, int top);
int WINAPI VngClearStack(int gc);
// Floats read behind values: light properties 2 and 4 and material
// property 1 read 4, material property 11 reads 1, every other property 3.
int WINAPI VngSetLight(int gc, int light, int property, const float* values);
int WINAPI VngSetMatt(int gc, int material, int property, const float* values);
int WINAPI VngSetCurrentMatt(int gc, int material);
// matrix (16 floats, rows of four) = rotation by angle radians about (x, y, z).
int WINAPI VngRotateMatrix(float angle, float x, float y, float z, float* matrix);
// Draws the polygons of list (a count, then that many vertex indexes) from
// count vertices, normals and texture coordinates (u, v, 1), each array with
// its stride in bytes, with the render context's current texture.
int WINAPI VngPolygonListF(int gc, int kind, int count, const float* vertices, int vertexStride, const float* normals,
                           int normalStride, const float* texCoords, int texCoordStride, const float* colors,
                           int format, const uint16_t* list);
// Draws count vertices as one primitive (kind 7: a triangle).
int WINAPI VngPrimitiveF(int gc, int kind, int count, const float* vertices, int vertexStride, const float* normals,
                         int normalStride, const float* texCoords, int texCoordStride, const float* colors, int format);
}
