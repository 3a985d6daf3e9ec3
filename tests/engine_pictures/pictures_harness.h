// Runs the texture build on pictures in a temporary folder, catching its
// message boxes and the textures it hands to the rendering library.
#pragma once
#include <windows.h>
#include <stdint.h>
#include <string>
#include <vector>

#include "calltrace.h"
#include "settings.h"
#include "testsupport.h"

struct PicturesHarness {
    struct Box {
        HWND owner;
        std::string text, caption;
    };
    struct Texture {
        int handle;
        int side;
        std::vector<uint32_t> texels;
        uint32_t At(int row, int column) const { return texels.at((size_t)row * side + column); }
    };

    PicturesHarness();
    ~PicturesHarness();

    // Frees the textures of the last load, then starts a fresh settings
    // record for a largest texture side, no boxes, no textures.
    void Reset(int maxTextureSide);
    // Frees each distinct texture the last load handed over, once.
    void ReleaseTextures();
    // Writes a picture file into the folder; returns its path.
    std::string Picture(const std::string& name, const std::string& bytes);
    // Lists the paths and builds the textures.
    void Load(const std::vector<std::string>& paths);
    // The engine's bitmaps are looked up where bitmap 108 does not exist.
    void WithoutFrameBitmap();

    const Texture* TextureOf(int handle) const;
    // The non-zero texture coordinate of the face's vertices.
    float FaceScale(int face) const;
    // Key "file<k>" of the saved settings file.
    std::string SavedName(int k) const;
    bool SettingsFileExists() const;

    testsupport::TempDir dir;
    testsupport::CallTrace trace;  // the rendering stand-in's calls since Reset
    CubeSettings settings;
    HWND window;
    int rc;
    int previewing = 0;
    std::vector<Box> boxes;
    std::vector<Texture> textures;

private:
    int(WINAPI* oldMessageBox_)(HWND, LPCSTR, LPCSTR, UINT);
    char oldDirectory_[MAX_PATH];
};
