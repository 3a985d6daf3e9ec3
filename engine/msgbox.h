// The engine's one message-box seam. Every message box of the engine goes
// through g_messageBox, never straight to MessageBoxA:
//
//     g_messageBox(owner, "Couldn't get path key", "ERROR", MB_OK);
//
// Tests replace the pointer to record the box and choose its answer
// (testsupport::MessageLog::Record does both):
//
//     MessageBoxFn old = g_messageBox;  g_messageBox = MyRecorder;  ...  g_messageBox = old;
//
// Boxes can also be raised before a test can reach the pointer: the static
// initialiser of vistaro.dll runs during the load-time attach. So the default
// seam, VistaroMessageBox, first looks at the environment variable
// VISTARO_MESSAGEBOX_LOG. When it is set, no box is shown: one line
// "caption<TAB>text<TAB>type" (type in hex) is appended to the file it names,
// and the answer is the number in VISTARO_MESSAGEBOX_ANSWER, or IDOK.
// The test harness sets VISTARO_MESSAGEBOX_LOG for every test process, so no
// test can ever wait on a box, not even in a child process. Only a real run
// (scripts/run, an installed saver) shows real boxes.
#pragma once
#include <windows.h>

typedef int(WINAPI* MessageBoxFn)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

extern "C" {
// Exported as DATA too, so tests that load vistaro.dll can swap it.
extern MessageBoxFn g_messageBox;
}

// The default: MessageBoxA, or record-and-answer under VISTARO_MESSAGEBOX_LOG.
int WINAPI VistaroMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
