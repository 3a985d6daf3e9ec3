// vistaro.dll as a file: its dialog templates and how it binds the up-down maker.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>

#include "dialogs_fixture.h"

namespace dialogs_test {
namespace {

struct Control {
    int id;
    std::string cls;  // lower case; atoms are mapped to their class names
    std::string text;
    int x, y, cx, cy;
    DWORD style;
};

struct Template {
    DWORD style;
    std::string caption;
    int fontSize;
    std::string font;
    int x, y, cx, cy;
    std::vector<Control> controls;
};

class Reader {
public:
    explicit Reader(const BYTE* p) : p_(p) {}
    WORD Word() {
        WORD w;
        memcpy(&w, p_, 2);
        p_ += 2;
        return w;
    }
    DWORD Dword() {
        DWORD d;
        memcpy(&d, p_, 4);
        p_ += 4;
        return d;
    }
    std::string Text() {
        std::string s;
        while (WORD c = Word()) s += static_cast<char>(c);
        return s;
    }
    // A name-or-ordinal field: 0xFFFF then an atom, or a string.
    std::string NameOrAtom() {
        WORD first;
        memcpy(&first, p_, 2);
        if (first == 0xFFFF) {
            Word();
            switch (Word()) {
            case 0x80: return "button";
            case 0x81: return "edit";
            case 0x82: return "static";
            case 0x83: return "listbox";
            default: return "?";
            }
        }
        std::string s = Text();
        for (char& c : s) c = static_cast<char>(tolower(c));
        return s;
    }
    void AlignDword(const BYTE* base) {
        while ((p_ - base) % 4) ++p_;
    }
private:
    const BYTE* p_;
};

Template Load(LPCSTR name) {
    HRSRC res = FindResourceA(Library(), name, MAKEINTRESOURCEA(5));  // RT_DIALOG
    EXPECT_NE(res, nullptr);
    Template t{};
    if (!res) return t;
    const BYTE* base = static_cast<const BYTE*>(LockResource(LoadResource(Library(), res)));
    Reader r(base);
    t.style = r.Dword();
    r.Dword();  // extended style
    WORD count = r.Word();
    t.x = static_cast<short>(r.Word());
    t.y = static_cast<short>(r.Word());
    t.cx = static_cast<short>(r.Word());
    t.cy = static_cast<short>(r.Word());
    EXPECT_EQ(r.NameOrAtom(), "");  // no menu
    EXPECT_EQ(r.NameOrAtom(), "");  // the dialog class
    t.caption = r.Text();
    if (t.style & DS_SETFONT) {
        t.fontSize = r.Word();
        t.font = r.Text();
    }
    for (WORD i = 0; i < count; ++i) {
        r.AlignDword(base);
        Control c{};
        c.style = r.Dword();
        r.Dword();
        c.x = static_cast<short>(r.Word());
        c.y = static_cast<short>(r.Word());
        c.cx = static_cast<short>(r.Word());
        c.cy = static_cast<short>(r.Word());
        c.id = static_cast<short>(r.Word());
        c.cls = r.NameOrAtom();
        c.text = r.Text();
        WORD extra = r.Word();
        EXPECT_EQ(extra, 0);
        t.controls.push_back(c);
    }
    return t;
}

void ExpectControls(const Template& t, const std::vector<Control>& want) {
    ASSERT_EQ(t.controls.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        const Control& g = t.controls[i];
        const Control& w = want[i];
        SCOPED_TRACE("control " + std::to_string(i) + " \"" + w.text + "\" id " + std::to_string(w.id));
        EXPECT_EQ(g.id, w.id);
        EXPECT_EQ(g.cls, w.cls);
        EXPECT_EQ(g.text, w.text);
        EXPECT_EQ(g.x, w.x);
        EXPECT_EQ(g.y, w.y);
        EXPECT_EQ(g.cx, w.cx);
        EXPECT_EQ(g.cy, w.cy);
        EXPECT_EQ(g.style, w.style) << std::hex << g.style << " vs " << w.style;
    }
}

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kBuddy = kChild | WS_BORDER | ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD kThreeState = kChild | BS_3STATE | BS_PUSHLIKE | WS_TABSTOP;

TEST(DialogTemplates, SettingsDialogAsLaidOut) {
    Template t = Load("DIALOG_1");
    EXPECT_EQ(t.style, DWORD(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(t.caption, "Vistarix Setup");
    EXPECT_EQ(t.fontSize, 8);
    EXPECT_EQ(t.font, "MS Sans Serif");
    EXPECT_EQ(t.x, 24);
    EXPECT_EQ(t.y, 29);
    EXPECT_EQ(t.cx, 332);
    EXPECT_EQ(t.cy, 149);
    ExpectControls(t, {
        {1013, "edit", "", 28, 4, 193, 12, kChild | WS_BORDER},
        {1000, "listbox", "", 10, 41, 104, 62,
         kChild | WS_BORDER | WS_HSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT},
        {1004, "button", "Add", 119, 54, 38, 11, kThreeState},
        {1006, "button", "Delete", 119, 74, 38, 11, kThreeState},
        {1001, "button", "Check1", 179, 38, 8, 8, kChild | BS_AUTOCHECKBOX},
        {1003, "button", "Check1", 179, 49, 8, 8, kChild | BS_AUTOCHECKBOX},
        {1002, "button", "Check1", 179, 60, 8, 8, kChild | BS_AUTOCHECKBOX},
        {1007, "button", "Check1", 179, 70, 8, 8, kChild | BS_AUTOCHECKBOX},
        {1005, "edit", "", 236, 38, 26, 12, kBuddy},
        {1008, "edit", "", 236, 51, 26, 12, kBuddy},
        {1009, "edit", "", 236, 65, 26, 12, kBuddy},
        {1010, "button", "About", 205, 97, 30, 11, kChild | BS_PUSHBUTTON},
        {1012, "button", "Help", 267, 97, 30, 11, kChild | BS_PUSHBUTTON},
        {1, "button", "OK", 96, 126, 50, 14, kChild | BS_DEFPUSHBUTTON},
        {2, "button", "Cancel", 184, 126, 50, 14, kChild | BS_PUSHBUTTON},
        {-1, "button", "Pictures", 5, 25, 160, 89, kChild | BS_GROUPBOX},
        {-1, "button", "Options", 171, 25, 155, 59, kChild | BS_GROUPBOX},
        {-1, "button", "Info", 171, 87, 155, 27, kChild | BS_GROUPBOX},
        {-1, "static", "Desktop Title", 226, 6, 77, 11, kChild | SS_LEFT},
        {-1, "static", "Shading", 189, 38, 35, 9, kChild | SS_LEFT},
        {-1, "static", "Stars", 189, 49, 30, 8, kChild | SS_LEFT},
        {-1, "static", "Orbiter", 189, 60, 31, 9, kChild | SS_LEFT},
        {-1, "static", "Spinner", 189, 70, 32, 9, kChild | SS_LEFT},
        {-1, "static", "Cube Size", 263, 41, 45, 10, kChild | SS_LEFT},
        {-1, "static", "Rotation Speed", 263, 54, 57, 10, kChild | SS_LEFT},
        {-1, "static", "Star Density", 263, 66, 45, 10, kChild | SS_LEFT},
    });
}

TEST(DialogTemplates, AboutBoxAsLaidOut) {
    Template t = Load(MAKEINTRESOURCEA(109));
    EXPECT_EQ(t.style, DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(t.caption, "About 3-D Vistaro");
    EXPECT_EQ(t.fontSize, 8);
    EXPECT_EQ(t.font, "MS Sans Serif");
    EXPECT_EQ(t.cx, 187);
    EXPECT_EQ(t.cy, 76);
    ExpectControls(t, {
        {1, "button", "OK", 130, 7, 50, 14, kChild | BS_DEFPUSHBUTTON},
        {-1, "static", "3-D Vistaro", 7, 7, 57, 11, kChild | SS_LEFT},
        {1011, "edit", "", 7, 45, 75, 12, kChild | ES_READONLY | WS_TABSTOP},
    });
}

// Old common-controls libraries export CreateUpDownControl only by ordinal.
TEST(DialogLibrary, ImportsCreateUpDownControlByOrdinal16) {
    const BYTE* base = reinterpret_cast<const BYTE*>(Library());
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    ASSERT_NE(dir.VirtualAddress, 0u);
    bool byOrdinal = false, byName = false;
    for (auto d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + d->Name), "comctl32.dll") != 0) continue;
        for (auto t = reinterpret_cast<const IMAGE_THUNK_DATA32*>(base + d->OriginalFirstThunk); t->u1.Ordinal; ++t) {
            if (IMAGE_SNAP_BY_ORDINAL32(t->u1.Ordinal)) {
                byOrdinal |= IMAGE_ORDINAL32(t->u1.Ordinal) == 16;
            } else {
                auto name = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + t->u1.AddressOfData);
                byName |= strcmp(reinterpret_cast<const char*>(name->Name), "CreateUpDownControl") == 0;
            }
        }
    }
    EXPECT_TRUE(byOrdinal);
    EXPECT_FALSE(byName);
}

}  // namespace
}  // namespace dialogs_test
