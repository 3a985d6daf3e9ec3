// The cube tables: every face is a closed, outward-facing quad whose
// vertices carry its normal and the four corners of the texture.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "scene.h"

static void CheckCube(const float (*vertices)[3], const float (*normals)[3], float h) {
    const float faceNormals[6][3] = {{-1, 0, 0}, {1, 0, 0}, {0, 0, 1}, {0, 1, 0}, {0, -1, 0}, {0, 0, -1}};
    std::set<int> used;
    for (int f = 0; f < 6; ++f) {
        SCOPED_TRACE(testing::Message() << "face " << f);
        EXPECT_EQ(g_cubeFaces[f][0], 4);
        std::set<std::pair<float, float>> uv;
        for (int k = 1; k <= 4; ++k) {
            int v = g_cubeFaces[f][k];
            ASSERT_LT(v, 24);
            EXPECT_TRUE(used.insert(v).second) << "vertex " << v << " on two faces";
            float along = 0;
            for (int a = 0; a < 3; ++a) {
                EXPECT_EQ(normals[v][a], faceNormals[f][a]) << "vertex " << v;
                along += vertices[v][a] * faceNormals[f][a];
                EXPECT_EQ(vertices[v][a] == h || vertices[v][a] == -h, true);
            }
            EXPECT_FLOAT_EQ(along, h) << "vertex " << v << " off its face's plane";
            EXPECT_EQ(g_cubeTexCoords[v][2], 1.0f);
            uv.insert({g_cubeTexCoords[v][0], g_cubeTexCoords[v][1]});
        }
        EXPECT_EQ(uv.size(), 4u) << "the texture's four corners once each";
        // Seen from outside, every quad winds the same way and maps its
        // picture with the same handedness: no face shows a mirror image.
        const float* p[4];
        const float* t[4];
        for (int k = 0; k < 4; ++k) {
            p[k] = vertices[g_cubeFaces[f][k + 1]];
            t[k] = g_cubeTexCoords[g_cubeFaces[f][k + 1]];
        }
        float e1[3], e2[3];
        for (int a = 0; a < 3; ++a) e1[a] = p[1][a] - p[0][a], e2[a] = p[2][a] - p[0][a];
        const float turn[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                               e1[0] * e2[1] - e1[1] * e2[0]};
        float winding = turn[0] * faceNormals[f][0] + turn[1] * faceNormals[f][1] + turn[2] * faceNormals[f][2];
        float uvArea = 0;
        for (int k = 0; k < 4; ++k) uvArea += t[k][0] * t[(k + 1) % 4][1] - t[(k + 1) % 4][0] * t[k][1];
        EXPECT_LT(winding, 0) << "clockwise from outside, as face 0";
        EXPECT_LT(uvArea, 0) << "the picture's corners in the order of face 0";
        // Consecutive vertices of the quad share an edge: they differ in one coordinate.
        for (int k = 1; k <= 4; ++k) {
            const float* a = vertices[g_cubeFaces[f][k]];
            const float* b = vertices[g_cubeFaces[f][k % 4 + 1]];
            int differ = (a[0] != b[0]) + (a[1] != b[1]) + (a[2] != b[2]);
            EXPECT_EQ(differ, 1) << "edge " << k;
        }
    }
    EXPECT_EQ(used.size(), 24u);
    // Corner k of each group of eight: x, y, z = -h or +h by the bits of k.
    for (int v = 0; v < 24; ++v) {
        int k = v % 8;
        EXPECT_EQ(vertices[v][0], k < 4 ? -h : h) << v;
        EXPECT_EQ(vertices[v][1], (k & 2) ? h : -h) << v;
        EXPECT_EQ(vertices[v][2], (k & 1) ? h : -h) << v;
    }
}

TEST(SceneTables, CubesBeforeTheFirstFrame) {
    {
        SCOPED_TRACE("orbiter");
        CheckCube(g_orbiterVertices, g_orbiterNormals, 0.35f);
    }
    {
        SCOPED_TRACE("spinner");
        CheckCube(g_spinnerVertices, g_spinnerNormals, 0.6f);
    }
    const float starNormals[3][3] = {{0, 0, -1}, {0, 0, 0}, {0, 0, 0}};
    for (int i = 0; i < 3; ++i)
        for (int a = 0; a < 3; ++a) EXPECT_EQ(g_starNormals[i][a], starNormals[i][a]);
}
