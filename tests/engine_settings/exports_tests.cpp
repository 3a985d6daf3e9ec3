// The built vistaro.dll, loaded beside its stand-ins: exports by name, the
// module handle, the version, and the static initialiser's boxes.
#include <gtest/gtest.h>
#include <string>
#include "boxlogfile.h"
#include "installdir.h"
#include "testsupport.h"

using testsupport::BoxLogFile;
using testsupport::InstallDirKey;
using testsupport::ProgramDir;

namespace {

HMODULE LoadEngine() { return LoadLibraryA((ProgramDir() + "vistaro.dll").c_str()); }

TEST(EngineLibrary, ExportsAndModuleHandle) {
    InstallDirKey key;
    testsupport::TempDir dir;
    key.SetPath(dir.path());
    BoxLogFile boxes;
    HMODULE engine = LoadEngine();
    ASSERT_NE(nullptr, engine) << GetLastError();
    for (const char* name : {"g_animate", "g_bePreviewing", "g_beScreenSaving", "g_hinst", "g_dllversion",
                             "g_messageBox", "AnimateScreen", "DConfigFunc"})
        EXPECT_NE(nullptr, (void*)GetProcAddress(engine, name)) << name;
    EXPECT_EQ(engine, *(HINSTANCE*)GetProcAddress(engine, "g_hinst"));
    EXPECT_EQ(1.41f, *(float*)GetProcAddress(engine, "g_dllversion"));
    for (const char* name : {"g_animate", "g_bePreviewing", "g_beScreenSaving"})
        EXPECT_EQ(0, *(int*)GetProcAddress(engine, name)) << name;
    // The outside libraries come in with it, at load time.
    EXPECT_NE(nullptr, GetModuleHandleA("vxn32.dll"));
    EXPECT_NE(nullptr, GetModuleHandleA("vxg32.dll"));
    EXPECT_TRUE(boxes.Messages().empty());
    FreeLibrary(engine);
}

TEST(EngineLibrary, MissingKeyIsReportedDuringTheLoad) {
    InstallDirKey key;
    key.RemoveKey();
    BoxLogFile boxes;
    HMODULE engine = LoadEngine();
    ASSERT_NE(nullptr, engine);
    FreeLibrary(engine);
    auto got = boxes.Messages();
    ASSERT_EQ(1u, got.size());
    EXPECT_EQ("Couldn't get path key", got[0].text);
    EXPECT_EQ("ERROR", got[0].caption);
    EXPECT_EQ((UINT)MB_OK, got[0].type);
}

TEST(EngineLibrary, VersionResource) {
    std::string path = ProgramDir() + "vistaro.dll";
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::string data(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, &data[0]));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", (void**)&info, &len));
    EXPECT_EQ(MAKELONG(41, 1), info->dwFileVersionMS);
}

}  // namespace
