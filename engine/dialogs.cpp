// Settings dialog, About box and the open-file dialog for pictures.
#include "dialogs.h"

#include <commctrl.h>
#include <cstdio>
#include <cstring>

#include "msgbox.h"
#include "pictures.h"
#include "resource.h"
#include "settings.h"

extern "C" {
// Constant-initialised, so it is valid before any static initialiser runs.
OpenFileDialogFn g_openFileDialog = GetOpenFileNameA;
}

namespace {

// Dialog state, one per process.
int g_listEdited;
int g_dialogPictureCount;
HWND g_speedUpDown;
HWND g_bignessUpDown;
HWND g_densityUpDown;

constexpr int kMaxPictures = 6;
constexpr int kUpDownLow = 1;
constexpr int kUpDownHigh = 10;
constexpr DWORD kUpDownStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | UDS_ALIGNRIGHT | UDS_SETBUDDYINT;
static_assert(kUpDownStyle == 0x50800006, "up-down style");
constexpr DWORD kOpenFlags = OFN_SHOWHELP | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
static_assert(kOpenFlags == 0x1810, "open-file flags");
static_assert(offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR) == kOpenFileNameSize,
              "the short record ends after lpTemplateName");

constexpr char kNiceTry[] = "Nice try but...";

// A disabled Add or Delete button is shown by its third (indeterminate) state.
constexpr WPARAM kUnavailable = BST_INDETERMINATE;
constexpr WPARAM kAvailable = BST_UNCHECKED;

bool Unavailable(HWND dialog, int id) { return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == kUnavailable; }

void SetAvailability(HWND dialog, int id, WPARAM state) { SendDlgItemMessageA(dialog, id, BM_SETCHECK, state, 0); }

int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

// Positions from a hand-edited file can lie outside the range; show them clamped
// so the control, and therefore the next save, holds a value it can reach.
HWND MakeUpDown(HWND dialog, int buddyId, int pos) {
    return CreateUpDownControl(kUpDownStyle, 50, 10, 100, 50, dialog, 101, g_hinst, GetDlgItem(dialog, buddyId),
                               kUpDownHigh, kUpDownLow, Clamp(pos, kUpDownLow, kUpDownHigh));
}

int UpDownPos(HWND upDown) { return LOWORD(SendMessageA(upDown, UDM_GETPOS, 0, 0)); }

BOOL OnInitDialog(HWND dialog) {
    CubeSettings& s = g_settings;
    g_listEdited = 0;
    LoadSettings(&s);

    // The up-down class is registered by the common controls.
    InitCommonControls();

    SendDlgItemMessageA(dialog, IDC_TITLE, EM_SETREADONLY, FALSE, 0);
    SetDlgItemTextA(dialog, IDC_TITLE, s.title);

    g_speedUpDown = MakeUpDown(dialog, IDC_SPEED, s.speed);
    g_bignessUpDown = MakeUpDown(dialog, IDC_BIGNESS, s.bigness);
    g_densityUpDown = MakeUpDown(dialog, IDC_DENSITY, s.numStars / 10);

    SendDlgItemMessageA(dialog, IDC_STARS, BM_SETCHECK, s.stars ? 1 : 0, 0);
    SendDlgItemMessageA(dialog, IDC_SPINNING, BM_SETCHECK, s.spinning ? 1 : 0, 0);
    SendDlgItemMessageA(dialog, IDC_ORBITING, BM_SETCHECK, s.orbiting ? 1 : 0, 0);
    SendDlgItemMessageA(dialog, IDC_SHADE, BM_SETCHECK, s.shade ? 1 : 0, 0);

    g_dialogPictureCount = s.pictureCount;
    if (s.pictureCount == 0) SetAvailability(dialog, IDC_DELETE, kUnavailable);
    if (s.pictureCount == kMaxPictures) SetAvailability(dialog, IDC_ADD, kUnavailable);
    for (int i = 0; i < s.pictureCount; ++i)
        SendDlgItemMessageA(dialog, IDC_PICTURES, LB_ADDSTRING, 0, (LPARAM)s.pictureNames[i]);
    SendDlgItemMessageA(dialog, IDC_PICTURES, LB_SETHORIZONTALEXTENT, 800, 0);
    return TRUE;
}

// Copies list entry `index` into a slot, cutting it to what the slot holds.
void CopyListEntry(HWND list, int index, char (&slot)[200]) {
    LRESULT len = SendMessageA(list, LB_GETTEXTLEN, index, 0);
    if (len == LB_ERR) {
        slot[0] = '\0';
        return;
    }
    if (len <= kMaxPicturePath) {
        SendMessageA(list, LB_GETTEXT, index, (LPARAM)slot);
        return;
    }
    char* text = new char[len + 1];
    SendMessageA(list, LB_GETTEXT, index, (LPARAM)text);
    memcpy(slot, text, kMaxPicturePath);
    slot[kMaxPicturePath] = '\0';
    delete[] text;
}

void OnOk(HWND dialog) {
    CubeSettings& s = g_settings;
    GetDlgItemTextA(dialog, IDC_TITLE, s.title, sizeof s.title);
    if (g_listEdited) s.picturesChanged = 1;
    s.speed = UpDownPos(g_speedUpDown);
    s.bigness = UpDownPos(g_bignessUpDown);
    s.numStars = 10 * UpDownPos(g_densityUpDown);
    s.stars = (int)SendDlgItemMessageA(dialog, IDC_STARS, BM_GETCHECK, 0, 0);
    s.spinning = (int)SendDlgItemMessageA(dialog, IDC_SPINNING, BM_GETCHECK, 0, 0);
    s.orbiting = (int)SendDlgItemMessageA(dialog, IDC_ORBITING, BM_GETCHECK, 0, 0);
    s.shade = (int)SendDlgItemMessageA(dialog, IDC_SHADE, BM_GETCHECK, 0, 0);
    s.pictureCount = g_dialogPictureCount;
    HWND list = GetDlgItem(dialog, IDC_PICTURES);
    for (int i = 0; i < s.pictureCount; ++i) CopyListEntry(list, i, s.pictureNames[i]);
    SaveSettings(&s);
}

BOOL OnCancel(HWND dialog, WPARAM wParam) {
    WinHelpA(dialog, g_settings.helpPath, HELP_QUIT, 0);
    EndDialog(dialog, (INT_PTR)wParam);
    return TRUE;
}

// Bit counts the texture builder cannot read are refused here, before they reach the list.
bool PictureAcceptable(HWND dialog, const char* path) {
    if (IsJpegFileName(path)) return true;
    short width, height;
    int bits;
    if (!ReadBmpHeader(path, &width, &height, &bits)) {
        g_messageBox(dialog, path, "Can't deal with this file!", MB_OK);
        return false;
    }
    if (bits == 16) {
        g_messageBox(dialog, "Can't do 16 bit/pixel bitmaps!", kNiceTry, MB_OK);
        return false;
    }
    if (bits == 32) {
        g_messageBox(dialog, "Can't do 32 bit/pixel bitmaps!", kNiceTry, MB_OK);
        return false;
    }
    return true;
}

void OnAdd(HWND dialog) {
    char path[200];
    if (!BrowseForPicture(dialog, path)) return;
    if (!PictureAcceptable(dialog, path)) return;
    g_listEdited = 1;
    SendDlgItemMessageA(dialog, IDC_PICTURES, LB_ADDSTRING, 0, (LPARAM)path);
    ++g_dialogPictureCount;
    if (g_dialogPictureCount == kMaxPictures) SetAvailability(dialog, IDC_ADD, kUnavailable);
    if (g_dialogPictureCount == 1) SetAvailability(dialog, IDC_DELETE, kAvailable);
}

void OnDelete(HWND dialog) {
    LRESULT sel = SendDlgItemMessageA(dialog, IDC_PICTURES, LB_GETCURSEL, 0, 0);
    if (sel == LB_ERR) {
        g_messageBox(dialog, "Please click on a picture first!", kNiceTry, MB_OK);
        return;
    }
    g_listEdited = 1;
    SendDlgItemMessageA(dialog, IDC_PICTURES, LB_DELETESTRING, sel, 0);
    --g_dialogPictureCount;
    if (g_dialogPictureCount == 0) SetAvailability(dialog, IDC_DELETE, kUnavailable);
    if (g_dialogPictureCount == kMaxPictures - 1) SetAvailability(dialog, IDC_ADD, kAvailable);
}

BOOL OnCommand(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDOK: OnOk(dialog); return OnCancel(dialog, wParam);
    case IDCANCEL: return OnCancel(dialog, wParam);
    case IDC_ADD:
        if (Unavailable(dialog, IDC_ADD)) return FALSE;
        OnAdd(dialog);
        return TRUE;
    case IDC_DELETE:
        if (Unavailable(dialog, IDC_DELETE)) return FALSE;
        OnDelete(dialog);
        return TRUE;
    case IDC_ABOUT_BUTTON: DialogBoxParamA(g_hinst, MAKEINTRESOURCEA(IDD_ABOUT), dialog, AboutDlgFunc, 0); return TRUE;
    case IDC_HELP_BUTTON: WinHelpA(dialog, g_settings.helpPath, HELP_CONTENTS, 0); return TRUE;
    }
    return FALSE;
}

}  // namespace

int BrowseForPicture(HWND owner, char* path) {
    static const char kFilter[] =
        "Picture Files (*.bmp,*.jpg)\0*.jpg;*.bmp\0"
        "JPEG Files (*.jpg)\0*.jpg\0"
        "Bitmap Files (*.bmp)\0*.bmp\0";
    char file[256] = "";
    char fileTitle[256];
    OPENFILENAMEA ofn;
    memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = kOpenFileNameSize;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrFileTitle = fileTitle;
    ofn.nMaxFileTitle = sizeof fileTitle;
    ofn.lpstrInitialDir = "c:\\0";
    ofn.lpstrTitle = "Open a picture file.";
    ofn.Flags = kOpenFlags;
    BOOL chosen = g_openFileDialog(&ofn);
    file[sizeof file - 1] = '\0';
    if (chosen && strlen(file) > (size_t)kMaxPicturePath) {
        // The slot holds 199 characters; a cut path would name another file.
        g_messageBox(owner, "The path of this picture is longer than 199 characters.", "Can't use this file!", MB_OK);
        path[0] = '\0';
        return 0;
    }
    if (!chosen) file[0] = '\0';
    strcpy(path, file);
    return chosen;
}

extern "C" INT_PTR CALLBACK DConfigFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: return OnCommand(dialog, wParam);
    }
    return FALSE;
}

extern "C" INT_PTR CALLBACK AboutDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        char text[40];
        snprintf(text, sizeof text, "%s%5.2f", "Version ", g_dllversion);
        SetDlgItemTextA(dialog, IDC_VERSION, text);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, (INT_PTR)wParam);
            return TRUE;
        }
        break;
    }
    return FALSE;
}
