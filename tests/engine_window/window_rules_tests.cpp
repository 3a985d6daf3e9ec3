// The pure rules behind the window procedure and the password check.
#include <gtest/gtest.h>

#include <stdlib.h>

#include "window.h"

namespace {

TEST(WindowRules, MouseThresholdIsSumOfAbsoluteDistances) {
    struct Case { int x, y; bool closes; } cases[] = {
        {106, 104, false}, {94, 96, false}, {110, 100, false}, {100, 90, false},
        {106, 105, true}, {89, 100, true}, {100, 111, true}, {0, 0, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MouseMovedTooFar(POINT{100, 100}, c.x, c.y, 10), c.closes) << c.x << "," << c.y;
}

TEST(WindowRules, FramesPerSecondNeverDividesByZero) {
    struct Case { int frames; time_t start, now; double expected; } cases[] = {
        {120, 1000, 1002, 60.0},
        {7, 1000, 1001, 7.0},
        {90, 1000, 1000, 90.0},  // within the first second
        {30, 1000, 990, 30.0},   // clock went back
        {0, 1000, 1005, 0.0},
    };
    for (const Case& c : cases) {
        char text[64];
        FramesPerSecondText(c.frames, c.start, c.now, text, sizeof text);
        char* end;
        double v = strtod(text, &end);
        EXPECT_EQ(*end, '\0') << text;
        EXPECT_DOUBLE_EQ(v, c.expected) << text;
    }
    char text[64];
    FramesPerSecondText(3, 0, 2, text, sizeof text);
    EXPECT_STREQ(text, "1.500000");
}

TEST(WindowRules, PasswordSwitchReadsOnlyWhatTheReadFilled) {
    const BYTE one[4] = {1, 0, 0, 0}, high[4] = {0, 0, 0, 1}, zero[4] = {0, 0, 0, 0};
    const BYTE text[4] = {'1', 0, 0, 0};
    struct Case { LONG status; DWORD type, size; const BYTE* value; PasswordSwitch expected; } cases[] = {
        {ERROR_SUCCESS, REG_DWORD, 4, one, PasswordSwitch::On},
        {ERROR_SUCCESS, REG_DWORD, 4, high, PasswordSwitch::On},
        {ERROR_SUCCESS, REG_BINARY, 4, one, PasswordSwitch::On},
        {ERROR_SUCCESS, REG_DWORD, 4, zero, PasswordSwitch::Off},
        {ERROR_SUCCESS, REG_BINARY, 1, one, PasswordSwitch::Off},  // too short: the rest was not read
        {ERROR_SUCCESS, REG_BINARY, 0, one, PasswordSwitch::Off},
        {ERROR_SUCCESS, REG_SZ, 2, text, PasswordSwitch::Off},
        {ERROR_MORE_DATA, REG_BINARY, 8, one, PasswordSwitch::Off},
        {ERROR_FILE_NOT_FOUND, 0, 4, one, PasswordSwitch::Missing},
        {ERROR_ACCESS_DENIED, REG_DWORD, 4, one, PasswordSwitch::Missing},
    };
    for (const Case& c : cases)
        EXPECT_EQ(int(ReadPasswordSwitch(c.status, c.type, c.size, c.value)), int(c.expected))
            << c.status << " " << c.type << " " << c.size;
}

}  // namespace
