// Resource identifiers of vistaro.dll (shared by vistaro.rc and the engine).
#pragma once

#define IDB_FRAME 108        // tile of the frame texture
#define IDM_DESKTOP_MENU 112 // the desktop viewer's menu
#define IDB_ABOUT 113        // picture of the About dialog
// Dialogs are named by text ("DIALOG_1"); add further identifiers below.
