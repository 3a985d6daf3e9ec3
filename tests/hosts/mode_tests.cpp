// The screen-saver program's mode choice, as a table of command lines.
#include <gtest/gtest.h>

#include <string>

#include "mode.h"

namespace {

struct Case {
    const char* line;
    SaverMode mode;
    bool haveHandle;
    int handle;
};

const char* Name(SaverMode m) {
    switch (m) {
    case SaverMode::FullScreen: return "full screen";
    case SaverMode::Preview: return "preview";
    case SaverMode::ChangePassword: return "password";
    case SaverMode::Settings: return "settings";
    }
    return "?";
}

TEST(SaverMode, CommandLineTable) {
    const Case cases[] = {
        // Full screen in both cases and with '-'.
        {"/s", SaverMode::FullScreen, false, 0},
        {"/S", SaverMode::FullScreen, false, 0},
        {"-s", SaverMode::FullScreen, false, 0},
        {"-S", SaverMode::FullScreen, false, 0},
        // "/s" is searched before any preview switch, anywhere in the text.
        {"/p 1234 /s", SaverMode::FullScreen, false, 0},
        {"x/sy", SaverMode::FullScreen, false, 0},
        // Preview: the handle after the first blank, read like "%i".
        {"/p 1234", SaverMode::Preview, true, 1234},
        {"/P 1234", SaverMode::Preview, true, 1234},
        {"-l 1234", SaverMode::Preview, true, 1234},
        {"/L 0x1A", SaverMode::Preview, true, 26},
        {"/p 0X1a", SaverMode::Preview, true, 26},
        {"/p 032", SaverMode::Preview, true, 26},
        {"/p   77", SaverMode::Preview, true, 77},
        {"/p", SaverMode::Preview, false, 0},
        {"/p ", SaverMode::Preview, false, 0},
        {"/p abc", SaverMode::Preview, false, 0},
        {"/p:1234", SaverMode::Preview, false, 0},
        // Preview is searched before password change.
        {"/a 5 /p 6", SaverMode::Preview, true, 5},
        // Password change: the handle after the second blank.
        {"/a 1234", SaverMode::ChangePassword, false, 0},
        {"/a x 1234", SaverMode::ChangePassword, true, 1234},
        {"-A x 0x20", SaverMode::ChangePassword, true, 32},
        {"/A", SaverMode::ChangePassword, false, 0},
        {"/a ", SaverMode::ChangePassword, false, 0},
        {"/a x", SaverMode::ChangePassword, false, 0},
        {"/a x ", SaverMode::ChangePassword, false, 0},
        {"/a x y", SaverMode::ChangePassword, false, 0},
        // Everything else opens the settings dialog.
        {"", SaverMode::Settings, false, 0},
        {"/c:1234", SaverMode::Settings, false, 0},
        {"/C 1234", SaverMode::Settings, false, 0},
        {"settings", SaverMode::Settings, false, 0},
    };
    for (const Case& c : cases) {
        ModeChoice got = ChooseMode(c.line);
        EXPECT_STREQ(Name(got.mode), Name(c.mode)) << '"' << c.line << '"';
        EXPECT_EQ(got.haveHandle, c.haveHandle) << '"' << c.line << '"';
        EXPECT_EQ(got.handle, c.handle) << '"' << c.line << '"';
    }
}

// Every spelling of every switch, alone and inside other text: dropping one
// from the program's lists sends that spelling to the settings dialog.
TEST(SaverMode, EverySpellingOfEverySwitch) {
    const struct {
        SaverMode mode;
        const char* spellings[8];
        const char* after;  // what follows the switch: the handle where the mode reads one
        int handle;
    } groups[] = {
        {SaverMode::FullScreen, {"/s", "-s", "/S", "-S"}, "", 0},
        {SaverMode::Preview, {"/L", "-L", "/l", "-l", "/P", "-P", "/p", "-p"}, " 4660", 4660},
        {SaverMode::ChangePassword, {"/A", "-A", "/a", "-a"}, " x 0x1234", 0x1234},
    };
    for (const auto& g : groups)
        for (const char* spelling : g.spellings) {
            if (!spelling) continue;
            for (const char* before : {"", "x"}) {
                std::string line = std::string(before) + spelling + g.after;
                ModeChoice got = ChooseMode(line.c_str());
                EXPECT_STREQ(Name(got.mode), Name(g.mode)) << '"' << line << '"';
                EXPECT_EQ(got.handle, g.handle) << '"' << line << '"';
            }
        }
    // The settings request Windows sends, in each spelling: none is a mode switch.
    for (const char* line : {"/c", "-c", "/C", "-C", "/c:4660", "-c 4660"})
        EXPECT_STREQ(Name(ChooseMode(line).mode), Name(SaverMode::Settings)) << '"' << line << '"';
}

TEST(SaverMode, NullCommandLineOpensSettings) {
    EXPECT_EQ(ChooseMode(nullptr).mode, SaverMode::Settings);
}

}  // namespace
