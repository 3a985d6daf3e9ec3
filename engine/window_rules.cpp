#include <stdio.h>
#include <stdlib.h>

#include "window.h"

bool MouseMovedTooFar(POINT last, int x, int y, int threshold) { return abs(x - last.x) + abs(y - last.y) > threshold; }

void FramesPerSecondText(int frames, time_t start, time_t now, char* text, size_t size) {
    // Within the first second (or after the clock went back) there is no
    // whole second to divide by.
    double seconds = now - start < 1 ? 1.0 : double(now - start);
    snprintf(text, size, "%f", frames / seconds);
}

PasswordSwitch ReadPasswordSwitch(LONG status, DWORD type, DWORD size, const BYTE value[4]) {
    if (status == ERROR_MORE_DATA) return PasswordSwitch::Off;  // there, but not a 4-byte number
    if (status != ERROR_SUCCESS) return PasswordSwitch::Missing;
    if ((type != REG_DWORD && type != REG_BINARY) || size != 4) return PasswordSwitch::Off;
    DWORD v = value[0] | value[1] << 8 | value[2] << 16 | DWORD(value[3]) << 24;
    return v ? PasswordSwitch::On : PasswordSwitch::Off;
}
