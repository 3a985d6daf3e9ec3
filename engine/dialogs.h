// The settings dialog "DIALOG_1", the About box (109) and the picture browser.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include "vistaro.h"  // DConfigFunc, exported to the hosts

extern "C" {
// Dialog procedure of the About box, template 109.
INT_PTR CALLBACK AboutDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The open-file dialog, reached through this pointer so that tests can answer
// it; it starts as GetOpenFileNameA. Exported as DATA for tests that load
// vistaro.dll.
typedef BOOL(WINAPI* OpenFileDialogFn)(OPENFILENAMEA* ofn);
extern OpenFileDialogFn g_openFileDialog;
}

// Longest picture path a settings slot holds (the slot has one more byte).
constexpr int kMaxPicturePath = 199;

// Structure size handed to the open-file dialog: the original, shorter
// record, which every version of the common dialogs accepts.
constexpr DWORD kOpenFileNameSize = 76;

// Runs the open-file dialog; copies the chosen path (empty when nothing was
// chosen) into the caller's 200-byte buffer and returns non-zero when a file
// was chosen. A path longer than kMaxPicturePath is refused with a message box
// and reported as nothing chosen.
int BrowseForPicture(HWND owner, char* path);
