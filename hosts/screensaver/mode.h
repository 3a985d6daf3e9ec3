// The screen-saver program's choice of mode from its command line.
#pragma once

enum class SaverMode { FullScreen, Preview, ChangePassword, Settings };

struct ModeChoice {
    SaverMode mode;
    bool haveHandle;  // a number was read where the mode takes a window handle
    int handle;       // read with "%i": decimal, 0x hexadecimal or 0 octal
};

// The first switch found anywhere in the text (case-sensitive, in a fixed
// order) picks the mode; preview reads its handle after the first blank,
// password change after the second.
ModeChoice ChooseMode(const char* commandLine);
