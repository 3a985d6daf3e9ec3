#include "settings.h"
#include "msgbox.h"
#include <stdio.h>
#include <string.h>
#include <string>

CubeSettings g_settings;

static const char kHelpName[] = "\\vistaro.hlp";

// The install directory from the registry, terminated even when the stored
// value is not; null (after the message) when the value is missing or not a string.
static char* ReadPathValue(HKEY key) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, "Path", NULL, &type, NULL, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return NULL;
    char* dir = new char[size + 1];
    DWORD got = size;
    if (RegQueryValueExA(key, "Path", NULL, &type, (BYTE*)dir, &got) != ERROR_SUCCESS || got > size ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        delete[] dir;
        return NULL;
    }
    dir[got] = '\0';
    return dir;
}

void LoadInstallPaths(void) {
    CubeSettings& s = g_settings;
    s.sceneWindow = NULL;
    HKEY key;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, VISTARO_APP_PATHS_KEY, &key) != ERROR_SUCCESS) {
        g_messageBox(NULL, "Couldn't get path key", "ERROR", MB_OK);
        return;
    }
    char* dir = ReadPathValue(key);
    RegCloseKey(key);
    if (!dir) {
        s.installDir = NULL;
        s.helpPath = NULL;
        g_messageBox(NULL, "Couldn't get path value", "ERROR", MB_OK);
        return;
    }
    s.installDir = dir;
    size_t n = strlen(dir) + sizeof kHelpName;
    s.helpPath = new char[n];
    snprintf(s.helpPath, n, "%s%s", dir, kHelpName);

    s.picturesChanged = 0;
    s.stars = 1;
    s.spinning = 1;
    s.orbiting = 0;
    s.shade = 0;
    s.randomWalkAxis = 1;
    for (int i = 0; i < 7; i++) s.faceTextures[i] = s.ownedTextures[i] = 0;
    s.pictureCount = 0;
    s.bigness = 5;
    s.maxTextureSide = 512;
    s.numStars = 40;
    s.speed = 10;
}

void FreeInstallPaths(void) {
    delete[] g_settings.installDir;
    delete[] g_settings.helpPath;
    g_settings.installDir = NULL;
    g_settings.helpPath = NULL;
}

// The full path of vistaro.ini in the install directory, sized from the call
// so that a long directory is never cut short.
static std::string SettingsFilePath(const CubeSettings* settings) {
    if (settings->installDir) SetCurrentDirectoryA(settings->installDir);
    const char name[] = "vistaro.ini";
    DWORD need = GetFullPathNameA(name, 0, NULL, NULL);
    if (need > 0) {
        std::string path(need, '\0');
        DWORD got = GetFullPathNameA(name, need, &path[0], NULL);
        if (got > 0 && got < need) {
            path.resize(got);
            return path;
        }
    }
    // A path with a backslash keeps the profile functions in the current
    // directory rather than the Windows folder.
    return ".\\vistaro.ini";
}

int LoadSettings(CubeSettings* settings) {
    std::string file = SettingsFilePath(settings);
    const char* ini = file.c_str();
    int count = 0;
    for (int k = 1; k <= 6; k++) {
        char key[16];
        snprintf(key, sizeof key, "file%d", k);
        GetPrivateProfileStringA("files", key, "", settings->pictureNames[count], 200, ini);
        if (settings->pictureNames[count][0] != '\0') count++;
    }
    settings->pictureCount = count;
    GetPrivateProfileStringA("options", "title", " ", settings->title, 60, ini);
    settings->stars = GetPrivateProfileIntA("options", "stars", 1, ini);
    settings->shade = GetPrivateProfileIntA("options", "shade", 1, ini);
    settings->spinning = GetPrivateProfileIntA("options", "spinning", 1, ini);
    settings->orbiting = GetPrivateProfileIntA("options", "orbiting", 0, ini);
    settings->bigness = GetPrivateProfileIntA("options", "bigness", 5, ini);
    settings->numStars = GetPrivateProfileIntA("options", "numStars", 40, ini);
    settings->speed = GetPrivateProfileIntA("options", "speed", 10, ini);
    return 1;
}

int SaveSettings(CubeSettings* settings) {
    std::string file = SettingsFilePath(settings);
    const char* ini = file.c_str();
    WritePrivateProfileStringA("options", "title", settings->title, ini);
    // Always exactly file1 to file6, whatever the count says: a count outside
    // 0 to 6 must not reach past the six slots.
    int count = settings->pictureCount;
    for (int i = 1; i <= 6; i++) {
        char key[16];
        snprintf(key, sizeof key, "file%d", i);
        WritePrivateProfileStringA("files", key, i <= count ? settings->pictureNames[i - 1] : "", ini);
    }
    WritePrivateProfileStringA("options", "stars", settings->stars ? "1" : "0", ini);
    WritePrivateProfileStringA("options", "shade", settings->shade ? "1" : "0", ini);
    WritePrivateProfileStringA("options", "spinning", settings->spinning ? "1" : "0", ini);
    WritePrivateProfileStringA("options", "orbiting", settings->orbiting ? "1" : "0", ini);
    char text[16];
    snprintf(text, sizeof text, "%d", settings->bigness);
    WritePrivateProfileStringA("options", "bigness", text, ini);
    snprintf(text, sizeof text, "%d", settings->numStars);
    WritePrivateProfileStringA("options", "numStars", text, ini);
    snprintf(text, sizeof text, "%d", settings->speed);
    WritePrivateProfileStringA("options", "speed", text, ini);
    return 1;
}
