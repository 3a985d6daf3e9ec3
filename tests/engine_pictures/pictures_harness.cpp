#include "pictures_harness.h"

#include <stdio.h>
#include <string.h>

#include "messagelog.h"
#include "msgbox.h"
#include "pictures.h"
#include "scene.h"

using namespace testsupport;

#include "vistaro.h"
#include "vxn32.h"
#include "vxn32_standin.h"

// The engine's globals, which vistaro.dll keeps beside its entry point.
extern "C" {
int g_bePreviewing;
HINSTANCE g_hinst;
}

namespace {
float g_initialTexCoords[24][3];
bool g_saved;
}  // namespace

PicturesHarness::PicturesHarness() : window((HWND)(intptr_t)0x4321) {
    if (!g_saved) {
        memcpy(g_initialTexCoords, g_cubeTexCoords, sizeof g_initialTexCoords);
        g_saved = true;
    }
    GetCurrentDirectoryA(sizeof oldDirectory_, oldDirectory_);
    oldMessageBox_ = g_messageBox;
    g_messageBox = MessageLog::Record;
    rc = VnrCreateRC(nullptr, 1);
    Reset(512);
}

PicturesHarness::~PicturesHarness() {
    ReleaseTextures();
    VnrDeleteRC(rc);
    SetCurrentDirectoryA(oldDirectory_);  // saving the settings moved it into the folder
    g_messageBox = oldMessageBox_;
    memcpy(g_cubeTexCoords, g_initialTexCoords, sizeof g_initialTexCoords);
    g_hinst = GetModuleHandleA(nullptr);
    g_bePreviewing = 0;
}

// The textures of the last load belong to the caller of the build, as they
// do to the scene: without this every load keeps its texels in the stand-in.
void PicturesHarness::ReleaseTextures() {
    for (int i = 0; i < 7; i++) {
        int handle = settings.ownedTextures[i];
        bool seen = false;
        for (int j = 0; j < i; j++) seen = seen || settings.ownedTextures[j] == handle;
        if (handle && !seen) VnrFreeTexture(rc, handle);
        settings.ownedTextures[i] = 0;
    }
}

void PicturesHarness::Reset(int maxTextureSide) {
    ReleaseTextures();
    memset(&settings, 0, sizeof settings);
    static char folder[MAX_PATH];
    strcpy(folder, dir.path().c_str());
    settings.installDir = folder;
    settings.maxTextureSide = maxTextureSide;
    previewing = 0;
    boxes.clear();
    textures.clear();
    MessageLog::Clear();
    trace.Clear();
    DeleteFileA(dir.file("vistaro.ini").c_str());
    memcpy(g_cubeTexCoords, g_initialTexCoords, sizeof g_initialTexCoords);
    g_hinst = GetModuleHandleA(nullptr);
}

std::string PicturesHarness::Picture(const std::string& name, const std::string& bytes) {
    std::string path = dir.file(name);
    WriteFile(path, bytes);
    return path;
}

void PicturesHarness::Load(const std::vector<std::string>& paths) {
    settings.pictureCount = (int)paths.size();
    for (size_t i = 0; i < paths.size(); i++)
        snprintf(settings.pictureNames[i], sizeof settings.pictureNames[i], "%s", paths[i].c_str());
    g_bePreviewing = previewing;
    LoadPictureTextures(&settings, rc, window);
    g_bePreviewing = 0;
    for (const LoggedMessage& m : MessageLog::Messages()) boxes.push_back({m.owner, m.text, m.caption});
    // The stand-in's copies of the textures now in use.
    for (int handle : settings.faceTextures) {
        int w = 0, h = 0;
        const uint32_t* texels = VnrStandinTexels(handle, &w, &h);
        if (!texels || w != h || TextureOf(handle)) continue;
        textures.push_back({handle, w, std::vector<uint32_t>(texels, texels + (size_t)w * h)});
    }
}


void PicturesHarness::WithoutFrameBitmap() { g_hinst = GetModuleHandleA("kernel32.dll"); }

const PicturesHarness::Texture* PicturesHarness::TextureOf(int handle) const {
    for (const Texture& t : textures)
        if (t.handle == handle) return &t;
    return nullptr;
}

float PicturesHarness::FaceScale(int face) const {
    float scale = 0;
    for (int k = 1; k <= 4; k++) {
        const float* uvw = g_cubeTexCoords[g_cubeFaces[face][k]];
        if (uvw[0] > scale) scale = uvw[0];
        if (uvw[1] > scale) scale = uvw[1];
    }
    return scale;
}

std::string PicturesHarness::SavedName(int k) const {
    char key[16], value[256];
    snprintf(key, sizeof key, "file%d", k);
    GetPrivateProfileStringA("files", key, "<missing>", value, sizeof value, dir.file("vistaro.ini").c_str());
    return value;
}

bool PicturesHarness::SettingsFileExists() const {
    return GetFileAttributesA(dir.file("vistaro.ini").c_str()) != INVALID_FILE_ATTRIBUTES;
}
