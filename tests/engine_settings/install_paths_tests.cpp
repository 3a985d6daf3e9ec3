// The install directory from the registry, with present, absent and
// malformed "Path" values; boxes go through the seam.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include "installdir.h"
#include "messagelog.h"
#include "msgbox.h"
#include "settings.h"
#include "testsupport.h"

using testsupport::InstallDirKey;
using testsupport::MessageLog;

namespace {

class InstallPaths : public ::testing::Test {
protected:
    void SetUp() override {
        MessageLog::Clear();
        old_ = g_messageBox;
        g_messageBox = MessageLog::Record;
        // A record that is not all zero shows what a failure leaves alone.
        memset(&g_settings, 0x11, sizeof g_settings);
        g_settings.installDir = nullptr;
        g_settings.helpPath = nullptr;
    }
    void TearDown() override {
        FreeInstallPaths();
        g_messageBox = old_;
    }
    void ExpectUntouchedAfterFailure(const char* text) {
        ASSERT_EQ(1u, MessageLog::Messages().size());
        const auto& box = MessageLog::Messages()[0];
        EXPECT_EQ(nullptr, box.owner);
        EXPECT_EQ(text, box.text);
        EXPECT_EQ("ERROR", box.caption);
        EXPECT_EQ((UINT)MB_OK, box.type);
        EXPECT_EQ(nullptr, g_settings.installDir);
        EXPECT_EQ(nullptr, g_settings.helpPath);
        EXPECT_EQ(nullptr, g_settings.sceneWindow);
        EXPECT_EQ(0x11111111, g_settings.speed);  // no constructed value stored
        EXPECT_EQ(0x11111111, g_settings.stars);
    }
    InstallDirKey key_;
    MessageBoxFn old_;
};

TEST_F(InstallPaths, PresentKeyGivesDirectoryHelpPathAndDefaults) {
    key_.SetPath("C:\\Program Files\\Vistaro");
    LoadInstallPaths();
    EXPECT_TRUE(MessageLog::Messages().empty());
    ASSERT_NE(nullptr, g_settings.installDir);
    EXPECT_STREQ("C:\\Program Files\\Vistaro", g_settings.installDir);
    ASSERT_NE(nullptr, g_settings.helpPath);
    EXPECT_STREQ("C:\\Program Files\\Vistaro\\vistaro.hlp", g_settings.helpPath);
    const CubeSettings& s = g_settings;
    EXPECT_EQ(nullptr, s.sceneWindow);
    EXPECT_EQ(0, s.picturesChanged);
    EXPECT_EQ(1, s.stars);
    EXPECT_EQ(1, s.spinning);
    EXPECT_EQ(0, s.orbiting);
    EXPECT_EQ(0, s.shade);
    EXPECT_EQ(1, s.randomWalkAxis);
    EXPECT_EQ(0, s.pictureCount);
    EXPECT_EQ(5, s.bigness);
    EXPECT_EQ(512, s.maxTextureSide);
    EXPECT_EQ(40, s.numStars);
    EXPECT_EQ(10, s.speed);
    for (int i = 0; i < 7; i++) {
        EXPECT_EQ(0, s.faceTextures[i]);
        EXPECT_EQ(0, s.ownedTextures[i]);
    }
    EXPECT_EQ(0x11, (unsigned char)s.title[0]);  // the title is not touched
    FreeInstallPaths();
    EXPECT_EQ(nullptr, g_settings.installDir);
    EXPECT_EQ(nullptr, g_settings.helpPath);
}

TEST_F(InstallPaths, MissingKey) {
    key_.RemoveKey();
    LoadInstallPaths();
    ExpectUntouchedAfterFailure("Couldn't get path key");
}

TEST_F(InstallPaths, MalformedValues) {
    struct Case {
        const char* what;
        DWORD type;
        std::string data;  // exact bytes stored; "-" for no value at all
    };
    const Case cases[] = {
        {"no value", REG_SZ, "-"},
        {"a number", REG_DWORD, std::string("\x05\0\0\0", 4)},
        {"binary bytes", REG_BINARY, "C:\\x"},
        {"several strings", REG_MULTI_SZ, std::string("C:\\a\0C:\\b\0\0", 11)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MessageLog::Clear();
        if (c.data == "-")
            key_.RemoveValue();
        else
            key_.SetRaw(c.type, c.data.data(), (DWORD)c.data.size());
        LoadInstallPaths();
        ExpectUntouchedAfterFailure("Couldn't get path value");
    }
}

// Stored without its terminator: read whole and terminated, neither cut
// short nor run on.
TEST_F(InstallPaths, UnterminatedPath) {
    const std::string dir = "C:\\Games\\Vistaro";
    key_.SetUnterminated(dir);
    LoadInstallPaths();
    EXPECT_TRUE(MessageLog::Messages().empty());
    ASSERT_NE(nullptr, g_settings.installDir);
    EXPECT_EQ(dir, g_settings.installDir);
    EXPECT_EQ(dir + "\\vistaro.hlp", g_settings.helpPath);
}

// The settings file of the loaded install directory is the one used.
TEST_F(InstallPaths, SettingsFollowTheInstallDirectory) {
    testsupport::TempDir dir;
    testsupport::WriteFile(dir.file("vistaro.ini"), "[options]\r\nspeed=3\r\n");
    key_.SetPath(dir.path());
    LoadInstallPaths();
    ASSERT_NE(nullptr, g_settings.installDir);
    EXPECT_EQ(1, LoadSettings(&g_settings));
    EXPECT_EQ(3, g_settings.speed);
}

}  // namespace
