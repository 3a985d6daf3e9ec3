// Resource identifiers of vistaro.dll (shared by vistaro.rc and the engine).
#pragma once

#define IDB_FRAME 108         // tile of the frame texture
#define IDM_DESKTOP_MENU 112  // the desktop viewer's menu
#define IDB_PREVIEW 113       // the preview window's picture
// Dialogs are named by text ("DIALOG_1"); add further identifiers below.

// Settings dialog "DIALOG_1".
#define IDC_PICTURES 1000
#define IDC_SHADE 1001
#define IDC_ORBITING 1002
#define IDC_STARS 1003
#define IDC_ADD 1004
#define IDC_BIGNESS 1005
#define IDC_DELETE 1006
#define IDC_SPINNING 1007
#define IDC_SPEED 1008
#define IDC_DENSITY 1009
#define IDC_ABOUT_BUTTON 1010
#define IDC_HELP_BUTTON 1012
#define IDC_TITLE 1013

// About box.
#define IDD_ABOUT 109
#define IDC_VERSION 1011

// Commands of the desktop viewer's menu.
#define IDM_CONFIGURE 40001
#define IDM_EXIT 40002
#define IDM_CONTENTS 1012
#define IDM_ABOUT 1010
