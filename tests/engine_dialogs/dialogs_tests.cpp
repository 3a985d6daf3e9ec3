// The settings dialog and the About box, driven on real windows by messages.
#include "dialogs_fixture.h"

#include <commctrl.h>

namespace dialogs_test {
namespace {

const char kFullIni[] =
    "[files]\r\nfile1=\r\nfile2=c:\\pics\\one.bmp\r\nfile4=c:\\pics\\two.jpg\r\n"
    "[options]\r\ntitle=Hello cube\r\nstars=0\r\nshade=1\r\nspinning=1\r\norbiting=1\r\n"
    "bigness=3\r\nnumStars=70\r\nspeed=8\r\n";

std::string SixPictures() {
    std::string s = "[files]\r\n";
    for (int i = 1; i <= 6; ++i) s += "file" + std::to_string(i) + "=c:\\p" + std::to_string(i) + ".jpg\r\n";
    return s;
}

// Each up-down as it was created, before it adjusts itself to its buddy.
struct MadeUpDown {
    HWND hwnd;
    CREATESTRUCTA cs;
};
std::vector<MadeUpDown> g_madeUpDowns;

LRESULT CALLBACK RecordUpDowns(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        char cls[64];
        GetClassNameA((HWND)wParam, cls, sizeof cls);
        if (lstrcmpiA(cls, UPDOWN_CLASSA) == 0)
            g_madeUpDowns.push_back({(HWND)wParam, *reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs});
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(SettingsDialog, OpensWithTheFileValues) {
    WriteIni(kFullIni);
    g_madeUpDowns.clear();
    HHOOK hook = SetWindowsHookExA(WH_CBT, RecordUpDowns, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    Open();
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(Text(IDC_TITLE), "Hello cube");
    EXPECT_EQ(GetWindowLongA(GetDlgItem(dialog_, IDC_TITLE), GWL_STYLE) & ES_READONLY, 0);
    EXPECT_EQ(ListEntries(), (std::vector<std::string>{"c:\\pics\\one.bmp", "c:\\pics\\two.jpg"}));
    EXPECT_EQ(Check(IDC_STARS), 0);
    EXPECT_EQ(Check(IDC_SHADE), 1);
    EXPECT_EQ(Check(IDC_SPINNING), 1);
    EXPECT_EQ(Check(IDC_ORBITING), 1);
    EXPECT_EQ(Text(IDC_BIGNESS), "3");
    EXPECT_EQ(Text(IDC_SPEED), "8");
    EXPECT_EQ(Text(IDC_DENSITY), "7");
    EXPECT_EQ(Check(IDC_ADD), BST_UNCHECKED);
    EXPECT_EQ(Check(IDC_DELETE), BST_UNCHECKED);
    EXPECT_EQ(SendDlgItemMessageA(dialog_, IDC_PICTURES, LB_GETHORIZONTALEXTENT, 0, 0), 800);

    // Speed, cube size, density: made in that order, each 1 to 10 with id 101.
    ASSERT_EQ(g_madeUpDowns.size(), 3u);
    EXPECT_EQ(UpDowns().size(), 3u);
    const int buddies[] = {IDC_SPEED, IDC_BIGNESS, IDC_DENSITY};
    const int positions[] = {8, 3, 7};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const MadeUpDown& m = g_madeUpDowns[i];
        EXPECT_EQ((HWND)SendMessageA(m.hwnd, UDM_GETBUDDY, 0, 0), GetDlgItem(dialog_, buddies[i]));
        EXPECT_EQ(LOWORD(SendMessageA(m.hwnd, UDM_GETPOS, 0, 0)), positions[i]);
        EXPECT_EQ(SendMessageA(m.hwnd, UDM_GETRANGE, 0, 0), MAKELONG(10, 1));
        EXPECT_EQ(m.cs.style, LONG(0x50800006));
        EXPECT_EQ(m.cs.x, 50);
        EXPECT_EQ(m.cs.y, 10);
        EXPECT_EQ(m.cs.cx, 100);
        EXPECT_EQ(m.cs.cy, 50);
        EXPECT_EQ(m.cs.hMenu, (HMENU)101);
        EXPECT_EQ(m.cs.hInstance, Library());
        EXPECT_EQ(m.cs.hwndParent, dialog_);
    }
}

TEST_F(SettingsDialog, OkWritesWhatTheControlsHold) {
    WriteIni(kFullIni);
    Open();
    // The record holds 59 characters of a longer title.
    const std::string title = "New title " + std::string(60, 't');
    SetDlgItemTextA(dialog_, IDC_TITLE, title.c_str());
    SendDlgItemMessageA(dialog_, IDC_STARS, BM_SETCHECK, 1, 0);
    SendDlgItemMessageA(dialog_, IDC_ORBITING, BM_SETCHECK, 0, 0);
    std::vector<HWND> ups = UpDowns();
    ASSERT_EQ(ups.size(), 3u);
    SendMessageA(ups[0], UDM_SETPOS, 0, 2);  // speed
    Select(0);
    Click(IDC_DELETE);
    AddPicture("c:\\pics\\three.JPG");
    Click(IDOK);

    EXPECT_FALSE(IsWindowVisible(dialog_));
    EXPECT_EQ(IniValue("options", "title"), title.substr(0, 59));
    EXPECT_EQ(IniValue("options", "stars"), "1");
    EXPECT_EQ(IniValue("options", "shade"), "1");
    EXPECT_EQ(IniValue("options", "spinning"), "1");
    EXPECT_EQ(IniValue("options", "orbiting"), "0");
    EXPECT_EQ(IniValue("options", "speed"), "2");
    EXPECT_EQ(IniValue("options", "bigness"), "3");
    EXPECT_EQ(IniValue("options", "numStars"), "70");
    EXPECT_EQ(IniValue("files", "file1"), "c:\\pics\\two.jpg");
    EXPECT_EQ(IniValue("files", "file2"), "c:\\pics\\three.JPG");
    for (const char* key : {"file3", "file4", "file5", "file6"}) EXPECT_EQ(IniValue("files", key), "") << key;
}

// Each switch reaches its own check box and back: only one on in the file, then only that one off.
TEST_F(SettingsDialog, EachSwitchHasItsOwnCheckBox) {
    struct Switch {
        const char* key;
        int box;
    } const switches[] = {
        {"stars", IDC_STARS}, {"shade", IDC_SHADE}, {"spinning", IDC_SPINNING}, {"orbiting", IDC_ORBITING}};
    for (const Switch& on : switches) {
        SCOPED_TRACE(on.key);
        std::string ini = "[options]\r\n";
        for (const Switch& s : switches) ini += std::string(s.key) + "=" + (&s == &on ? "1" : "0") + "\r\n";
        WriteIni(ini);
        Open();
        for (const Switch& s : switches) {
            EXPECT_EQ(Check(s.box), &s == &on ? 1 : 0) << s.key;
            SendDlgItemMessageA(dialog_, s.box, BM_SETCHECK, &s == &on ? 0 : 1, 0);
        }
        Click(IDOK);
        for (const Switch& s : switches) EXPECT_EQ(IniValue("options", s.key), &s == &on ? "0" : "1") << s.key;
        Close();
    }
}

// Out-of-range levels from a hand-edited file open clamped and are saved as shown.
TEST_F(SettingsDialog, LevelsOpenClampedAndSaveAsShown) {
    struct Case {
        const char* key;
        int fileValue;
        int control;
        const char* shown;
        const char* saved;
    } cases[] = {
        {"numStars", 45, IDC_DENSITY, "4", "40"},
        {"numStars", 150, IDC_DENSITY, "10", "100"},
        {"numStars", 5, IDC_DENSITY, "1", "10"},
        {"speed", 25, IDC_SPEED, "10", "10"},
        {"bigness", 0, IDC_BIGNESS, "1", "1"},
        {"bigness", -3, IDC_BIGNESS, "1", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + std::to_string(c.fileValue));
        WriteIni("[options]\r\n" + std::string(c.key) + "=" + std::to_string(c.fileValue) + "\r\n");
        Open();
        EXPECT_EQ(Text(c.control), c.shown);
        Click(IDOK);
        EXPECT_EQ(IniValue("options", c.key), c.saved);
        Close();
    }
}

// Cancel, or the caption's close button, which the dialog turns into Cancel.
TEST_F(SettingsDialog, CancelLeavesTheFileAlone) {
    WriteIni(kFullIni);
    const std::string before = ReadIni();
    for (bool byClose : {false, true}) {
        SCOPED_TRACE(byClose ? "close button" : "Cancel");
        Open();
        SetDlgItemTextA(dialog_, IDC_TITLE, "Changed");
        SendDlgItemMessageA(dialog_, IDC_SHADE, BM_SETCHECK, 0, 0);
        AddPicture("c:\\pics\\four.jpg");
        Select(0);
        Click(IDC_DELETE);
        if (byClose) {
            SendMessageA(dialog_, WM_CLOSE, 0, 0);
            // The close is posted back as Cancel.
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
        } else {
            Click(IDCANCEL);
        }
        EXPECT_FALSE(IsWindowVisible(dialog_));
        EXPECT_EQ(ReadIni(), before);
        Close();
    }
}

TEST_F(SettingsDialog, BrowsesWithTheShortRecord) {
    Open();
    Click(IDC_ADD);
    ASSERT_EQ(g_openSeen.calls, 1);
    EXPECT_EQ(g_openSeen.structSize, 76u);
    EXPECT_EQ(g_openSeen.flags, 0x1810u);
    EXPECT_EQ(g_openSeen.owner, dialog_);
    EXPECT_EQ(g_openSeen.title, "Open a picture file.");
    EXPECT_EQ(g_openSeen.initialDir, "c:\\0");
    EXPECT_EQ(g_openSeen.filterIndex, 1u);
    EXPECT_EQ(g_openSeen.maxFile, 256u);
    EXPECT_EQ(g_openSeen.maxFileTitle, 256u);
    EXPECT_TRUE(g_openSeen.fileTitleBuffer);
    EXPECT_EQ(g_openSeen.initialFile, "");
    EXPECT_TRUE(g_openSeen.othersZero);
    const char filter[] =
        "Picture Files (*.bmp,*.jpg)\0*.jpg;*.bmp\0JPEG Files (*.jpg)\0*.jpg\0"
        "Bitmap Files (*.bmp)\0*.bmp\0";
    EXPECT_EQ(g_openSeen.filter, std::string(filter, sizeof filter));
    // Nothing chosen: nothing added, no box.
    EXPECT_TRUE(ListEntries().empty());
    EXPECT_TRUE(Boxes().empty());
}

// The platform's dialog takes the short record: it opens, and closing it is no error.
void CALLBACK CancelOpenFile(HWND, UINT, UINT_PTR id, DWORD) {
    HWND open = FindWindowA(nullptr, "Open a picture file.");
    if (!open) return;
    KillTimer(nullptr, id);
    PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

TEST_F(SettingsDialog, PlatformOpenFileDialogTakesTheShortRecord) {
    Open();
    g_openAnswer.platform = true;
    SetLastError(0);
    UINT_PTR timer = SetTimer(nullptr, 0, 20, CancelOpenFile);
    Click(IDC_ADD);  // returns once the timer has cancelled the dialog
    KillTimer(nullptr, timer);
    EXPECT_EQ(g_openSeen.calls, 1);
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    EXPECT_TRUE(ListEntries().empty());
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(SettingsDialog, AddAcceptsReadablePicturesOnly) {
    for (int bits : {1, 4, 8, 16, 24, 32}) WriteBmp(files_.file(std::to_string(bits) + ".bmp"), bits);
    testsupport::WriteFile(files_.file("text.bmp"), "not a bitmap at all, just words");
    struct Case {
        std::string file;
        bool accepted;
        const char* text;  // nullptr: the path
        const char* caption;
    } cases[] = {
        {files_.file("1.bmp"), true, "", ""},
        {files_.file("4.bmp"), true, "", ""},
        {files_.file("8.bmp"), true, "", ""},
        {files_.file("24.bmp"), true, "", ""},
        {files_.file("16.bmp"), false, "Can't do 16 bit/pixel bitmaps!", "Nice try but..."},
        {files_.file("32.bmp"), false, "Can't do 32 bit/pixel bitmaps!", "Nice try but..."},
        // JPEG names are taken without opening the file (none of these exist).
        {files_.file("absent.jpg"), true, "", ""},
        {files_.file("absent.JPG"), true, "", ""},
        {files_.file("absent.Jpg"), false, nullptr, "Can't deal with this file!"},
        {files_.file("text.bmp"), false, nullptr, "Can't deal with this file!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Open();
        testsupport::MessageLog::Clear();
        AddPicture(c.file);
        if (c.accepted) {
            EXPECT_EQ(ListEntries(), std::vector<std::string>{c.file});
            EXPECT_TRUE(Boxes().empty());
            EXPECT_EQ(Check(IDC_DELETE), BST_UNCHECKED);
        } else {
            EXPECT_TRUE(ListEntries().empty());
            ASSERT_EQ(Boxes().size(), 1u);
            EXPECT_EQ(Boxes()[0].owner, dialog_);
            EXPECT_EQ(Boxes()[0].text, c.text ? c.text : c.file);
            EXPECT_EQ(Boxes()[0].caption, c.caption);
            EXPECT_EQ(Boxes()[0].type, UINT(MB_OK));
            EXPECT_EQ(Check(IDC_DELETE), BST_INDETERMINATE);
        }
        Close();
    }
}

// A slot holds 199 characters; a longer path must not be cut into another name.
TEST_F(SettingsDialog, AddRefusesPathsLongerThanASlot) {
    WriteIni("[files]\r\nfile1=c:\\first.jpg\r\n");
    Open();
    const std::string fits = "c:\\" + std::string(199 - 7, 'f') + ".jpg";
    const std::string tooLong = "c:\\" + std::string(200 - 7, 'l') + ".jpg";
    ASSERT_EQ(fits.size(), 199u);
    ASSERT_EQ(tooLong.size(), 200u);
    AddPicture(tooLong);
    EXPECT_EQ(ListEntries(), std::vector<std::string>{"c:\\first.jpg"});
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].owner, dialog_);
    EXPECT_EQ(Boxes()[0].caption, "Can't use this file!");
    EXPECT_EQ(Boxes()[0].type, UINT(MB_OK));
    AddPicture(fits);
    EXPECT_EQ(ListEntries(), (std::vector<std::string>{"c:\\first.jpg", fits}));
    Click(IDOK);
    EXPECT_EQ(IniValue("files", "file2"), fits);
}

// Whatever the list holds, OK puts at most 199 characters into a slot.
TEST_F(SettingsDialog, OkCutsAnOverlongEntryToTheSlot) {
    WriteIni("[files]\r\nfile1=c:\\a.jpg\r\nfile2=c:\\b.jpg\r\n");
    Open();
    const std::string huge(300, 'x');
    HWND list = GetDlgItem(dialog_, IDC_PICTURES);
    SendMessageA(list, LB_DELETESTRING, 0, 0);
    SendMessageA(list, LB_INSERTSTRING, 0, (LPARAM)huge.c_str());
    Click(IDOK);
    EXPECT_EQ(IniValue("files", "file1"), huge.substr(0, 199));
    EXPECT_EQ(IniValue("files", "file2"), "c:\\b.jpg");
}

TEST_F(SettingsDialog, AddUnavailableAtSixPictures) {
    WriteIni(SixPictures());
    Open();
    EXPECT_EQ(Check(IDC_ADD), BST_INDETERMINATE);
    EXPECT_EQ(Check(IDC_DELETE), BST_UNCHECKED);
    AddPicture("c:\\seventh.jpg");
    EXPECT_EQ(g_openSeen.calls, 0);
    EXPECT_EQ(ListEntries().size(), 6u);

    Select(2);
    Click(IDC_DELETE);
    std::vector<std::string> left = ListEntries();
    ASSERT_EQ(left.size(), 5u);
    EXPECT_EQ(left[2], "c:\\p4.jpg");
    EXPECT_EQ(Check(IDC_ADD), BST_UNCHECKED);

    AddPicture("c:\\seventh.jpg");
    EXPECT_EQ(ListEntries().size(), 6u);
    EXPECT_EQ(Check(IDC_ADD), BST_INDETERMINATE);
    Click(IDOK);
    EXPECT_EQ(IniValue("files", "file3"), "c:\\p4.jpg");
    EXPECT_EQ(IniValue("files", "file6"), "c:\\seventh.jpg");
}

TEST_F(SettingsDialog, DeleteUnavailableWithNoPictures) {
    Open();
    EXPECT_EQ(Check(IDC_DELETE), BST_INDETERMINATE);
    Click(IDC_DELETE);
    EXPECT_TRUE(Boxes().empty());
    AddPicture("c:\\only.jpg");
    EXPECT_EQ(Check(IDC_DELETE), BST_UNCHECKED);
    Select(0);
    Click(IDC_DELETE);
    EXPECT_TRUE(ListEntries().empty());
    EXPECT_EQ(Check(IDC_DELETE), BST_INDETERMINATE);
}

TEST_F(SettingsDialog, DeleteWithoutSelectionAsksForOne) {
    WriteIni(kFullIni);
    Open();
    Click(IDC_DELETE);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].owner, dialog_);
    EXPECT_EQ(Boxes()[0].text, "Please click on a picture first!");
    EXPECT_EQ(Boxes()[0].caption, "Nice try but...");
    EXPECT_EQ(Boxes()[0].type, UINT(MB_OK));
    EXPECT_EQ(ListEntries().size(), 2u);
    Click(IDOK);
    // Nothing was edited: the list is saved as it was loaded, packed.
    EXPECT_EQ(IniValue("files", "file1"), "c:\\pics\\one.bmp");
    EXPECT_EQ(IniValue("files", "file2"), "c:\\pics\\two.jpg");
}

// The About box, opened by the settings dialog's About button.
std::string g_aboutText;
HWND g_aboutOwner;

void CALLBACK AnswerAbout(HWND, UINT, UINT_PTR id, DWORD) {
    HWND about = FindWindowA(nullptr, "About 3-D Vistaro");
    if (!about) return;
    KillTimer(nullptr, id);
    char buf[64];
    GetDlgItemTextA(about, 1011, buf, sizeof buf);
    g_aboutText = buf;
    g_aboutOwner = GetWindow(about, GW_OWNER);
    SendMessageA(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

TEST_F(SettingsDialog, AboutButtonRunsTheAboutBox) {
    Open();
    g_aboutText.clear();
    g_aboutOwner = nullptr;
    SetTimer(nullptr, 0, 20, AnswerAbout);
    Click(IDC_ABOUT_BUTTON);  // returns when the timer has closed the box
    EXPECT_EQ(g_aboutText, "Version  1.41");
    EXPECT_EQ(g_aboutOwner, dialog_);
}

// The hosts run the dialog modally; OK ends it with IDOK.
void CALLBACK PressOk(HWND, UINT, UINT_PTR id, DWORD) {
    HWND d = FindWindowA(nullptr, "Vistarix Setup");
    if (!d) return;
    KillTimer(nullptr, id);
    SetDlgItemTextA(d, IDC_TITLE, "Modal");
    SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(d, IDOK));
}

TEST_F(SettingsDialog, RunsModallyFromTheLibrary) {
    WriteIni(kFullIni);
    SetTimer(nullptr, 0, 20, PressOk);
    INT_PTR r = DialogBoxParamA(Library(), "DIALOG_1", nullptr, ConfigureProc(), 0);
    EXPECT_EQ(LOWORD(r), IDOK);
    EXPECT_EQ(IniValue("options", "title"), "Modal");
}

}  // namespace
}  // namespace dialogs_test
