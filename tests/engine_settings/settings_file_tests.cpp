// vistaro.ini: file text -> record -> file text.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>
#include "settings.h"
#include "testsupport.h"

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

// Runs the settings calls with installDir pointing at a folder, and puts the
// current directory back afterwards (the calls change it).
class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        GetCurrentDirectoryA(sizeof cwd_, cwd_);
        memset(&s_, 0, sizeof s_);
    }
    void TearDown() override { SetCurrentDirectoryA(cwd_); }
    void Load(TempDir& dir) {
        s_.installDir = const_cast<char*>(dir.path().c_str());
        EXPECT_EQ(1, LoadSettings(&s_));
    }
    void Save(TempDir& dir) {
        s_.installDir = const_cast<char*>(dir.path().c_str());
        EXPECT_EQ(1, SaveSettings(&s_));
    }
    char cwd_[MAX_PATH];
    CubeSettings s_;
};

std::string Lines(const std::vector<std::string>& lines) {
    std::string s;
    for (auto& l : lines) s += l + "\r\n";
    return s;
}

// What a save into a folder without a settings file writes, key order
// following the first write of each key.
std::string Saved(const std::string& title, const std::vector<std::string>& files, const char* stars,
                  const char* shade, const char* spinning, const char* orbiting, int bigness, int numStars,
                  int speed) {
    std::vector<std::string> l = {"[options]", "title=" + title,
                                  std::string("stars=") + stars, std::string("shade=") + shade,
                                  std::string("spinning=") + spinning, std::string("orbiting=") + orbiting,
                                  "bigness=" + std::to_string(bigness), "numStars=" + std::to_string(numStars),
                                  "speed=" + std::to_string(speed), "[files]"};
    for (int i = 0; i < 6; i++)
        l.push_back("file" + std::to_string(i + 1) + "=" + (i < (int)files.size() ? files[i] : ""));
    return Lines(l);
}

struct RoundTrip {
    const char* what;
    std::string fileText;  // empty: no settings file at all
    std::vector<std::string> pictures;
    std::string title;
    int stars, shade, spinning, orbiting, bigness, numStars, speed;
    std::string saved;
};

std::string Long(char c, int n) { return std::string(n, c); }

std::vector<RoundTrip> RoundTrips() {
    return {
        {"no file: the file's defaults", "", {}, " ", 1, 1, 1, 0, 5, 40, 10,
         Saved("", {}, "1", "1", "1", "0", 5, 40, 10)},
        {"pictures packed in key order",
         Lines({"[files]", "file1=", "file2=C:\\b.bmp", "file4=C:\\d.jpg"}),
         {"C:\\b.bmp", "C:\\d.jpg"}, " ", 1, 1, 1, 0, 5, 40, 10,
         Saved("", {"C:\\b.bmp", "C:\\d.jpg"}, "1", "1", "1", "0", 5, 40, 10)},
        {"all six, every option set",
         Lines({"[options]", "title=Hello there", "stars=0", "shade=0", "spinning=0", "orbiting=1",
                "bigness=9", "numStars=70", "speed=3", "[files]", "file1=a", "file2=b", "file3=c", "file4=d",
                "file5=e", "file6=f"}),
         {"a", "b", "c", "d", "e", "f"}, "Hello there", 0, 0, 0, 1, 9, 70, 3,
         Saved("Hello there", {"a", "b", "c", "d", "e", "f"}, "0", "0", "0", "1", 9, 70, 3)},
        {"unchecked values kept as read, non-zero flags written as 1",
         Lines({"[options]", "speed=25", "bigness=0", "numStars=-3", "stars=7", "orbiting=-1"}),
         {}, " ", 7, 1, 1, -1, 0, -3, 25, Saved("", {}, "1", "1", "1", "1", 0, -3, 25)},
        {"title cut to 59 characters, a picture to 199",
         Lines({"[options]", "title=" + Long('t', 70), "[files]", "file3=" + Long('p', 250)}),
         {Long('p', 199)}, Long('t', 59), 1, 1, 1, 0, 5, 40, 10,
         Saved(Long('t', 59), {Long('p', 199)}, "1", "1", "1", "0", 5, 40, 10)},
        {"keys beyond six are not read", Lines({"[files]", "file7=x", "file0=y", "file6=z"}), {"z"}, " ", 1,
         1, 1, 0, 5, 40, 10, Saved("", {"z"}, "1", "1", "1", "0", 5, 40, 10)},
    };
}

TEST_F(SettingsFile, RoundTripTable) {
    for (const RoundTrip& c : RoundTrips()) {
        SCOPED_TRACE(c.what);
        TempDir in, out;
        if (!c.fileText.empty()) WriteFile(in.file("vistaro.ini"), c.fileText);
        memset(&s_, 0, sizeof s_);
        Load(in);
        ASSERT_EQ((int)c.pictures.size(), s_.pictureCount);
        for (size_t i = 0; i < c.pictures.size(); i++) EXPECT_EQ(c.pictures[i], s_.pictureNames[i]);
        EXPECT_EQ(c.title, s_.title);
        EXPECT_EQ(c.stars, s_.stars);
        EXPECT_EQ(c.shade, s_.shade);
        EXPECT_EQ(c.spinning, s_.spinning);
        EXPECT_EQ(c.orbiting, s_.orbiting);
        EXPECT_EQ(c.bigness, s_.bigness);
        EXPECT_EQ(c.numStars, s_.numStars);
        EXPECT_EQ(c.speed, s_.speed);
        // The title's blank default is dropped on the way out: the profile
        // functions strip blanks around values.
        Save(out);
        EXPECT_EQ(c.saved, ReadFile(out.file("vistaro.ini")));
    }
}

TEST_F(SettingsFile, SlotsBeyondTheCountKeepWhatTheyHeld) {
    TempDir dir;
    WriteFile(dir.file("vistaro.ini"), Lines({"[files]", "file2=one", "file5=two"}));
    for (int i = 0; i < 6; i++) snprintf(s_.pictureNames[i], 200, "old%d", i);
    Load(dir);
    EXPECT_EQ(2, s_.pictureCount);
    EXPECT_STREQ("one", s_.pictureNames[0]);
    EXPECT_STREQ("two", s_.pictureNames[1]);
    EXPECT_STREQ("", s_.pictureNames[2]);  // the last empty read landed here
    EXPECT_STREQ("old3", s_.pictureNames[3]);
    EXPECT_STREQ("old5", s_.pictureNames[5]);
}

TEST_F(SettingsFile, SaveKeepsEveryFilesKeyAndRewritesInPlace) {
    TempDir dir;
    WriteFile(dir.file("vistaro.ini"),
              Lines({"[files]", "file1=", "file2=a", "file3=", "file4=b", "file5=c", "file6=",
                     "[options]", "speed=4", "extra=kept"}));
    Load(dir);
    ASSERT_EQ(3, s_.pictureCount);
    s_.pictureCount = 1;  // the dialog removed two pictures
    strcpy(s_.title, "T");
    Save(dir);
    EXPECT_EQ(Lines({"[files]", "file1=a", "file2=", "file3=", "file4=", "file5=", "file6=", "[options]",
                     "speed=4", "extra=kept", "title=T", "stars=1", "shade=1", "spinning=1", "orbiting=0",
                     "bigness=5", "numStars=40"}),
              ReadFile(dir.file("vistaro.ini")));
}

// A count outside 0 to 6 never reads past the six slots.
TEST_F(SettingsFile, SaveKeepsToTheSixSlots) {
    for (int count : {-2, 9}) {
        SCOPED_TRACE(count);
        TempDir dir;
        memset(&s_, 'x', sizeof s_);  // no terminator anywhere, as after a stray write
        for (int i = 0; i < 6; i++) snprintf(s_.pictureNames[i], 200, "p%d", i + 1);
        s_.title[0] = 0;
        s_.pictureCount = count;
        Save(dir);
        std::string text = ReadFile(dir.file("vistaro.ini"));
        for (int i = 1; i <= 6; i++) {
            std::string key = "file" + std::to_string(i) + "=";
            std::string want = key + (count > 0 ? "p" + std::to_string(i) : "") + "\r\n";
            EXPECT_NE(std::string::npos, text.find(want)) << want;
        }
        for (const char* beyond : {"file7", "file0", "file-"}) EXPECT_EQ(std::string::npos, text.find(beyond));
    }
}

// Both calls leave the install directory current, so picture names written
// relative to it keep opening from there.
TEST_F(SettingsFile, LoadAndSaveLeaveTheInstallDirectoryCurrent) {
    TempDir dir;
    for (int save = 0; save < 2; save++) {
        SCOPED_TRACE(save ? "save" : "load");
        ASSERT_TRUE(SetCurrentDirectoryA(cwd_));
        if (save)
            Save(dir);
        else
            Load(dir);
        char now[MAX_PATH];
        ASSERT_NE(0u, GetCurrentDirectoryA(sizeof now, now));
        EXPECT_EQ(0, lstrcmpiA(dir.path().c_str(), now)) << now;
    }
}

TEST_F(SettingsFile, WithoutAnInstallDirTheCurrentDirectoryHoldsTheFile) {
    TempDir dir;
    WriteFile(dir.file("vistaro.ini"), Lines({"[options]", "speed=2"}));
    ASSERT_TRUE(SetCurrentDirectoryA(dir.path().c_str()));
    s_.installDir = nullptr;
    EXPECT_EQ(1, LoadSettings(&s_));
    EXPECT_EQ(2, s_.speed);
    s_.speed = 6;
    EXPECT_EQ(1, SaveSettings(&s_));
    EXPECT_NE(std::string::npos, ReadFile(dir.file("vistaro.ini")).find("speed=6"));
}

// A directory whose full settings path does not fit 200 bytes: the file is
// still the one in that directory, never a half-written name.
TEST_F(SettingsFile, LongInstallDirectory) {
    TempDir base;
    std::string dir = base.path();
    while (dir.size() < 215) {
        dir += "\\" + Long('d', 40);
        ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr)) << dir;
    }
    WriteFile(dir + "\\vistaro.ini", Lines({"[options]", "numStars=90", "[files]", "file1=x.bmp"}));
    s_.installDir = const_cast<char*>(dir.c_str());
    EXPECT_EQ(1, LoadSettings(&s_));
    EXPECT_EQ(90, s_.numStars);
    EXPECT_EQ(1, s_.pictureCount);
    s_.numStars = 20;
    EXPECT_EQ(1, SaveSettings(&s_));
    EXPECT_NE(std::string::npos, ReadFile(dir + "\\vistaro.ini").find("numStars=20"));
    SetCurrentDirectoryA(cwd_);
}

}  // namespace
