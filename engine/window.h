// The animated window's and the preview window's procedures, and the
// screen-saver password check.
#pragma once
#include <windows.h>
#include <stddef.h>
#include <time.h>

// WindowFunc (the animated window: full-screen saver when g_beScreenSaving is
// set, else desktop viewer) and PreviewWindowFunc (the display settings'
// preview child, which paints bitmap 113 and builds no scene) are exported
// and declared with the rest of the engine-host interface.
#include "vistaro.h"

// Non-zero when the saver may close: no password is asked for, the check
// cannot be reached, or the platform's check accepted.
int VerifyPassword(HWND window);

// Window state, one per process.
extern int g_busy;            // set-up or close in progress: input does not close
extern int g_mouseThreshold;  // a move of more than this (|dx| + |dy|) closes the saver
extern POINT g_lastMouse;     // reference point of the threshold
extern time_t g_fpsStart;     // start of the frames-per-second measurement

// The pure rules behind the procedures.

// True when a move from last to (x, y) is farther than threshold pixels.
bool MouseMovedTooFar(POINT last, int x, int y, int threshold);

// Text of the frames-per-second box: frames over the whole seconds since
// start as "%f"; less than one second counts as one.
void FramesPerSecondText(int frames, time_t start, time_t now, char* text, size_t size);

// What a read of "ScreenSaveUsePassword" says: the value is missing, or the
// switch is off or on. Only a 4-byte number (REG_DWORD or REG_BINARY) can be
// on; a value of another type or size counts as off.
enum class PasswordSwitch { Missing, Off, On };
PasswordSwitch ReadPasswordSwitch(LONG status, DWORD type, DWORD size, const BYTE value[4]);
