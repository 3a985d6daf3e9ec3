// The animated window and the preview window on real windows (Xvfb), with
// the tracing stand-ins and the password stand-in.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <algorithm>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "childprocess.h"
#include "messagelog.h"
#include "msgbox.h"
#include "picturefiles.h"
#include "resource.h"
#include "testsupport.h"
#include "vistaro.h"

using namespace testsupport;

namespace {

// The engine's boxes, recorded through its seam instead of shown.
class BoxCatcher {
public:
    void Start() {
        old_ = g_messageBox;
        g_messageBox = MessageLog::Record;
        MessageLog::Clear();
    }
    ~BoxCatcher() {
        if (old_) g_messageBox = old_;
    }
    std::vector<LoggedMessage> Take() {
        std::vector<LoggedMessage> taken = MessageLog::Messages();
        MessageLog::Clear();
        return taken;
    }

private:
    MessageBoxFn old_ = nullptr;
};

// The stand-ins' call trace (VISTARO_TRACE), one call a line.
class TraceFile {
public:
    TraceFile() : path_(dir_.file("trace.txt")) { SetEnvironmentVariableA("VISTARO_TRACE", path_.c_str()); }
    ~TraceFile() { SetEnvironmentVariableA("VISTARO_TRACE", nullptr); }
    void Clear() { DeleteFileA(path_.c_str()); }
    std::vector<std::string> Calls() const {
        std::vector<std::string> lines;
        std::string all = ReadFile(path_);
        size_t start = 0;
        while (start < all.size()) {
            size_t end = all.find('\n', start);
            if (end == std::string::npos) end = all.size();
            if (end > start) lines.push_back(all.substr(start, end - start));
            start = end + 1;
        }
        return lines;
    }

private:
    TempDir dir_;
    std::string path_;
};

// The number after "key=" (or after "-> " for key "->") in a trace line.
int Field(const std::string& line, const std::string& key) {
    size_t at = line.find(key == "->" ? "-> " : " " + key + "=");
    if (at == std::string::npos) return -1;
    return atoi(line.c_str() + at + (key == "->" ? 3 : key.size() + 2));
}

const char kDesktopKey[] = "Control Panel\\Desktop";

// Password stand-in controls, loaded by name like the engine does.
struct PasswordStandIn {
    HMODULE lib = LoadLibraryA("PASSWORD.CPL");
    void (WINAPI* setAnswer)(int) = reinterpret_cast<void(WINAPI*)(int)>(GetProcAddress(lib, "PwdStandInSetAnswer"));
    int (WINAPI* calls)() = reinterpret_cast<int(WINAPI*)()>(GetProcAddress(lib, "PwdStandInCallCount"));
    void (WINAPI* reset)() = reinterpret_cast<void(WINAPI*)()>(GetProcAddress(lib, "PwdStandInReset"));
    void (WINAPI* showDialog)(int) = reinterpret_cast<void(WINAPI*)(int)>(GetProcAddress(lib, "PwdStandInShowDialog"));
    PasswordStandIn() { reset(); }
    ~PasswordStandIn() {
        reset();
        FreeLibrary(lib);
    }
};

LRESULT CALLBACK Recorder(HWND w, UINT m, WPARAM wp, LPARAM lp);

// One animated window of the test, in saver or viewer behaviour, in a fresh
// install folder whose vistaro.ini the test writes.
class AnimatedWindow : public ::testing::Test {
protected:
    void SetUp() override {
        SetCursorPos(200, 200);
        GetCurrentDirectoryA(MAX_PATH, oldDir_);
        SetCurrentDirectoryA(dir_.path().c_str());
        BmpSpec picture;
        picture.width = 8;
        picture.height = 8;
        picture.pixel = [](int x, int y) { return uint32_t(0x304050 + x * 8 + y); };
        WriteFile(dir_.file("p.bmp"), MakeBmp(picture));
        WriteIni("file1=" + dir_.file("p.bmp") + "\r\n");
        boxes_.Start();
    }
    void TearDown() override {
        if (window_ && IsWindow(window_)) DestroyWindow(window_);
        DrainQuit();
        SetCurrentDirectoryA(oldDir_);
    }
    void WriteIni(const std::string& files) {
        WriteFile(dir_.file("vistaro.ini"), "[files]\r\n" + files +
                                                "[options]\r\ntitle=Test\r\nstars=1\r\nshade=0\r\nspinning=1\r\n"
                                                "orbiting=0\r\nbigness=5\r\nnumStars=40\r\nspeed=10\r\n");
    }
    HWND Create(bool saving) {
        g_beScreenSaving = saving ? 1 : 0;
        g_bePreviewing = 0;
        g_animate = 0;
        static bool registered = false;
        if (!registered) {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = Recorder;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
            wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
            wc.lpszClassName = "window test class";
            registered = RegisterClassA(&wc) != 0;
        }
        trace_.Clear();
        quitSeen_ = false;
        window_ = CreateWindowExA(0, "window test class", "", (saving ? WS_POPUP : WS_OVERLAPPEDWINDOW) | WS_VISIBLE,
                                  0, 0, 640, 480, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        PumpMessages(100);
        return window_;
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) {
            if (g_animate) AnimateScreen();
            PumpMessages(0);
        }
    }
    // Dispatches this thread's messages for ms, noting a quit message. A
    // window that keeps posting to itself holds it at most 5 s longer.
    void Pump(DWORD ms) {
        DWORD start = GetTickCount();
        do {
            MSG m;
            while (GetTickCount() - start < ms + 5000 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
                if (m.message == WM_QUIT) quitSeen_ = true;
                TranslateMessage(&m);
                DispatchMessageA(&m);
            }
            Sleep(5);
        } while (GetTickCount() - start < ms);
    }
    // Pumps until the window is gone (or ms passed); true when it went.
    bool Closes(DWORD ms = 3000) {
        DWORD start = GetTickCount();
        while (IsWindow(window_) && GetTickCount() - start < ms) Pump(10);
        Pump(50);
        return !IsWindow(window_);
    }
    bool StaysOpen() {
        Pump(300);
        return IsWindow(window_) != 0;
    }
    void DrainQuit() {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_QUIT) quitSeen_ = true;
        }
    }
    TempDir dir_;
    char oldDir_[MAX_PATH];
    HWND window_ = nullptr;
    bool quitSeen_ = false;
    BoxCatcher boxes_;
    TraceFile trace_;
};

// Calls seen at the window's WM_DESTROY: what was released before it went.
std::vector<std::string>* g_destroyTrace;
TraceFile* g_traceForDestroy;
int g_deactivations;  // WM_ACTIVATE with WA_INACTIVE

LRESULT CALLBACK Recorder(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_DESTROY && g_destroyTrace && g_traceForDestroy) *g_destroyTrace = g_traceForDestroy->Calls();
    if (m == WM_ACTIVATE && LOWORD(wp) == WA_INACTIVE) ++g_deactivations;
    return WindowFunc(w, m, wp, lp);
}

size_t Count(const std::vector<std::string>& calls, const std::string& name) {
    return size_t(std::count_if(calls.begin(), calls.end(),
                                [&](const std::string& c) { return c.rfind(name, 0) == 0; }));
}

ptrdiff_t Index(const std::vector<std::string>& calls, const std::string& name) {
    auto it = std::find_if(calls.begin(), calls.end(), [&](const std::string& c) { return c.rfind(name, 0) == 0; });
    return it == calls.end() ? -1 : it - calls.begin();
}

ptrdiff_t LastIndex(const std::vector<std::string>& calls, const std::string& name) {
    for (ptrdiff_t i = ptrdiff_t(calls.size()) - 1; i >= 0; --i)
        if (calls[size_t(i)].rfind(name, 0) == 0) return i;
    return -1;
}

TEST_F(AnimatedWindow, CreatesTheSceneAndTearsItDownBeforeTheWindowGoes) {
    auto password = ScopedRegValue::Removed(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveUsePassword");
    std::vector<std::string> atDestroy;
    g_destroyTrace = &atDestroy;
    g_traceForDestroy = &trace_;
    ASSERT_NE(Create(true), nullptr);
    EXPECT_EQ(g_animate, 1);
    std::vector<std::string> created = trace_.Calls();
    ASSERT_EQ(Count(created, "VnrCreateRC"), 1u);
    ASSERT_EQ(Count(created, "VngCreateGC"), 1u);
    EXPECT_LT(Index(created, "VnrCreateRC"), Index(created, "VngCreateGC"));
    EXPECT_GT(Count(created, "VnrNewTexture"), 0u);
    Frames(3);
    EXPECT_EQ(Count(trace_.Calls(), "VnrSwapBuffers"), 3u);

    PostMessageA(window_, WM_CHAR, 'q', 0);
    ASSERT_TRUE(Closes());
    g_destroyTrace = nullptr;
    EXPECT_TRUE(quitSeen_) << "WM_DESTROY posts the quit message";
    EXPECT_EQ(g_animate, 0);
    // The textures and both contexts were gone when the window was destroyed.
    ptrdiff_t del = Index(atDestroy, "VnrDeleteRC"), gc = Index(atDestroy, "VngDeleteGC");
    ASSERT_GE(del, 0);
    ASSERT_GE(gc, 0);
    EXPECT_LT(del, gc);
    EXPECT_LT(LastIndex(atDestroy, "VnrFreeTexture"), del);
    EXPECT_GT(Index(atDestroy, "VnrFreeTexture"), LastIndex(atDestroy, "VnrSwapBuffers"));
    EXPECT_EQ(trace_.Calls().size(), atDestroy.size()) << "nothing is called after the window went";
    EXPECT_TRUE(boxes_.Take().empty());
}

// The distance is taken from the last position, so small moves that drift
// one way leave the saver open however far they go; the last move of each
// row, 11 from the one before, closes it.
TEST_F(AnimatedWindow, SaverClosesOnAMouseMoveOfMoreThanTenPixels) {
    auto password = ScopedRegValue::Removed(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveUsePassword");
    struct Case { const char* name; std::vector<POINT> moves; } cases[] = {
        {"10 from the cursor, 10 back, then 11", {{206, 204}, {200, 200}, {211, 200}}},
        {"drifting sideways, then down, then 11",
         {{205, 200}, {210, 200}, {215, 200}, {220, 200}, {225, 200},
          {225, 205}, {225, 210}, {225, 215}, {225, 220}, {225, 225}, {225, 236}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetCursorPos(200, 200);
        ASSERT_NE(Create(true), nullptr);
        for (size_t i = 0; i + 1 < c.moves.size(); ++i)
            SendMessageA(window_, WM_MOUSEMOVE, 0, MAKELPARAM(c.moves[i].x, c.moves[i].y));
        EXPECT_TRUE(StaysOpen());
        SendMessageA(window_, WM_MOUSEMOVE, 0, MAKELPARAM(c.moves.back().x, c.moves.back().y));
        EXPECT_TRUE(Closes());
        DrainQuit();
    }
}

TEST_F(AnimatedWindow, SaverIgnoresCloseCommandsButClosesOnDeactivation) {
    auto password = ScopedRegValue::Removed(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveUsePassword");
    ASSERT_NE(Create(true), nullptr);
    SendMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    SendMessageA(window_, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    EXPECT_TRUE(StaysOpen());
    SendMessageA(window_, WM_ACTIVATEAPP, 0, 0);
    EXPECT_TRUE(Closes());
}

TEST_F(AnimatedWindow, PasswordRefusedKeepsTheSaverAcceptedClosesIt) {
    auto password = ScopedRegValue::Dword(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveUsePassword", 1);
    PasswordStandIn standIn;
    ASSERT_NE(Create(true), nullptr);
    standIn.setAnswer(0);
    PostMessageA(window_, WM_CHAR, 'a', 0);
    EXPECT_TRUE(StaysOpen());
    EXPECT_EQ(standIn.calls(), 1);
    EXPECT_EQ(g_animate, 1) << "a refused password resumes the animation";
    Frames(2);
    // The cursor position is the new reference: a small move keeps it open.
    POINT p;
    GetCursorPos(&p);
    SendMessageA(window_, WM_MOUSEMOVE, 0, MAKELPARAM(p.x + 5, p.y + 5));
    EXPECT_TRUE(StaysOpen());
    EXPECT_EQ(standIn.calls(), 1);

    standIn.setAnswer(1);
    PostMessageA(window_, WM_LBUTTONDOWN, 0, 0);
    EXPECT_TRUE(Closes());
    EXPECT_EQ(standIn.calls(), 2);
    EXPECT_TRUE(boxes_.Take().empty());
}

// The password dialog takes the activation while the saver asks: that must
// not queue a close, which would bring the dialog straight back after a
// refusal. Once the saver is no longer busy, losing activation closes it.
TEST_F(AnimatedWindow, PasswordDialogTakingActivationDoesNotCloseTheSaver) {
    auto password = ScopedRegValue::Dword(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveUsePassword", 1);
    PasswordStandIn standIn;
    ASSERT_NE(Create(true), nullptr);
    standIn.setAnswer(0);
    standIn.showDialog(1);
    int before = g_deactivations;
    PostMessageA(window_, WM_CHAR, 'a', 0);
    EXPECT_TRUE(StaysOpen());
    EXPECT_GT(g_deactivations, before) << "the dialog took the activation";
    EXPECT_EQ(standIn.calls(), 1);
    EXPECT_EQ(g_animate, 1) << "a refused password resumes the animation";

    standIn.showDialog(0);
    standIn.setAnswer(1);
    SendMessageA(window_, WM_ACTIVATEAPP, 0, 0);
    EXPECT_TRUE(Closes());
    EXPECT_EQ(standIn.calls(), 2);
}

TEST_F(AnimatedWindow, PasswordLookupFailuresLetTheSaverClose) {
    struct Case { const char* absent; bool valueOn; const char* box; } cases[] = {
        {"1", true, "Verify Password can't find PASSWORD.CPL."},
        {"0", false, nullptr},  // switch off: the check is not asked
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box ? c.box : "switch off");
        auto password = c.valueOn ? ScopedRegValue::Dword(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveUsePassword", 1)
                                  : ScopedRegValue::Dword(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveUsePassword", 0);
        SetEnvironmentVariableA("VISTARO_PASSWORD_ABSENT", c.absent);
        ASSERT_NE(Create(true), nullptr);
        PostMessageA(window_, WM_RBUTTONDOWN, 0, 0);
        EXPECT_TRUE(Closes());
        SetEnvironmentVariableA("VISTARO_PASSWORD_ABSENT", nullptr);
        DrainQuit();
        auto shown = boxes_.Take();
        if (c.box) {
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].caption, "ERROR");
            EXPECT_EQ(shown[0].text, c.box);
        } else {
            EXPECT_TRUE(shown.empty());
        }
    }
}

// Only a 4-byte number switches the check on; bytes the read did not fill
// never count.
TEST_F(AnimatedWindow, PasswordSwitchIsReadOnlyAsAFourByteNumber) {
    struct Case { const char* name; DWORD type; std::string bytes; bool asks; } cases[] = {
        {"dword 1", REG_DWORD, std::string("\1\0\0\0", 4), true},
        {"binary 1", REG_BINARY, std::string("\1\0\0\0", 4), true},
        {"dword 0", REG_DWORD, std::string("\0\0\0\0", 4), false},
        {"one byte", REG_BINARY, std::string("\1", 1), false},
        {"eight bytes", REG_BINARY, std::string("\1\0\0\0\0\0\0\0", 8), false},
        {"text", REG_SZ, std::string("1\0", 2), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedRegValue password(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveUsePassword", c.type, c.bytes.data(),
                                DWORD(c.bytes.size()));
        PasswordStandIn standIn;
        standIn.setAnswer(0);
        ASSERT_NE(Create(true), nullptr);
        PostMessageA(window_, WM_CHAR, 'k', 0);
        if (c.asks) {
            EXPECT_TRUE(StaysOpen());
            EXPECT_EQ(standIn.calls(), 1);
            standIn.setAnswer(1);
            PostMessageA(window_, WM_CHAR, 'k', 0);
        }
        EXPECT_TRUE(Closes());
        EXPECT_EQ(standIn.calls(), c.asks ? 2 : 0);
        EXPECT_TRUE(boxes_.Take().empty());
    }
}

TEST_F(AnimatedWindow, ViewerPausesWhenMinimisedAndReportsFrames) {
    auto password = ScopedRegValue::Dword(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveUsePassword", 1);
    PasswordStandIn standIn;
    ASSERT_NE(Create(false), nullptr);
    EXPECT_EQ(g_animate, 1);
    // Input does not close the viewer.
    SendMessageA(window_, WM_CHAR, 'x', 0);
    SendMessageA(window_, WM_LBUTTONDOWN, 0, 0);
    SendMessageA(window_, WM_MOUSEMOVE, 0, MAKELPARAM(600, 400));
    SendMessageA(window_, WM_SYSKEYDOWN, VK_MENU, 0);
    EXPECT_TRUE(StaysOpen());

    ShowWindow(window_, SW_MINIMIZE);
    PumpMessages(100);
    EXPECT_EQ(g_animate, 0);
    ShowWindow(window_, SW_RESTORE);
    PumpMessages(100);
    EXPECT_EQ(g_animate, 1);

    // Ctrl+T reports and restarts the count; a second report right after
    // (within the same second) divides by one second, not by zero.
    SendMessageA(window_, WM_CHAR, 20, 0);
    Frames(5);
    SendMessageA(window_, WM_CHAR, 20, 0);
    auto shown = boxes_.Take();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].caption, "Frames/sec");
    char* end;
    double fps = strtod(shown[1].text.c_str(), &end);
    EXPECT_EQ(*end, '\0') << shown[1].text;
    EXPECT_GT(fps, 0.0) << shown[1].text;
    EXPECT_LE(fps, 5.0) << shown[1].text;

    // The system menu's Close works in the viewer, without a password.
    SendMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(Closes());
    EXPECT_EQ(standIn.calls(), 0);
}

TEST_F(AnimatedWindow, ViewerExitCommandClosesWithoutPassword) {
    auto password = ScopedRegValue::Dword(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveUsePassword", 1);
    PasswordStandIn standIn;
    ASSERT_NE(Create(false), nullptr);
    HMENU menu = LoadMenuA(g_hinst, MAKEINTRESOURCEA(IDM_DESKTOP_MENU));
    ASSERT_NE(menu, nullptr);
    SetMenu(window_, menu);
    char text[64];
    struct Item { int popup, pos; UINT id; const char* text; } items[] = {
        {0, 0, IDM_CONFIGURE, "  &Configure"}, {0, 1, IDM_EXIT, "  &Exit"},
        {1, 0, IDM_CONTENTS, "&Contents"},     {1, 2, IDM_ABOUT, "&About"},
    };
    for (const Item& it : items) {
        HMENU sub = GetSubMenu(menu, it.popup);
        EXPECT_EQ(GetMenuItemID(sub, it.pos), it.id);
        GetMenuStringA(sub, it.pos, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, it.text);
    }
    // About opens the About box, owned by the window, until it is closed.
    HWND about = nullptr, aboutOwner = nullptr;
    std::thread answer([&] {
        about = WaitForWindow("#32770", "About 3-D Vistaro", GetCurrentProcessId(), 10000);
        if (!about) return;
        aboutOwner = GetWindow(about, GW_OWNER);
        PostMessageA(about, WM_COMMAND, IDOK, 0);
    });
    SendMessageA(window_, WM_COMMAND, IDM_ABOUT, 0);
    answer.join();
    EXPECT_NE(about, nullptr);
    EXPECT_EQ(aboutOwner, window_);
    EXPECT_TRUE(StaysOpen());

    PostMessageA(window_, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_TRUE(Closes());
    EXPECT_EQ(standIn.calls(), 0);
}

// Answers the settings dialog from another thread: optionally deletes the
// first picture, then presses OK or Cancel.
void AnswerSettings(bool deleteFirst, int button) {
    HWND dialog = WaitForWindow("#32770", "Vistarix Setup", GetCurrentProcessId(), 10000);
    if (!dialog) return;
    if (deleteFirst) {
        SendDlgItemMessageA(dialog, 1000, LB_SETCURSEL, 0, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1006, BN_CLICKED), LPARAM(GetDlgItem(dialog, 1006)));
    }
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), LPARAM(GetDlgItem(dialog, button)));
}

TEST_F(AnimatedWindow, ConfigureRebuildsTexturesOnlyWhenTheListChanged) {
    auto password = ScopedRegValue::Removed(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveUsePassword");
    std::string files;
    for (int i = 0; i < 3; ++i) {
        BmpSpec pic;
        pic.width = 16;
        pic.height = 16;
        pic.pixel = [i](int x, int y) { return uint32_t(0x102030 * (i + 1) + x + y); };
        std::string name = dir_.file("p" + std::to_string(i) + ".bmp");
        WriteFile(name, MakeBmp(pic));
        files += "file" + std::to_string(i + 1) + "=" + name + "\r\n";
    }
    WriteIni(files);
    ASSERT_NE(Create(false), nullptr);
    std::vector<int> owned;
    for (const std::string& c : trace_.Calls())
        if (c.rfind("VnrNewTexture", 0) == 0) owned.push_back(Field(c, "->"));
    ASSERT_EQ(owned.size(), 4u) << "three pictures and the frame";

    // Cancel: the list is the same, nothing is released or rebuilt.
    trace_.Clear();
    std::thread cancel(AnswerSettings, false, IDCANCEL);
    SendMessageA(window_, WM_COMMAND, IDM_CONFIGURE, 0);
    cancel.join();
    EXPECT_EQ(Count(trace_.Calls(), "VnrFreeTexture"), 0u);
    EXPECT_EQ(Count(trace_.Calls(), "VnrNewTexture"), 0u);
    char caption[128];
    GetWindowTextA(window_, caption, sizeof caption);
    EXPECT_STREQ(caption, "3-D Vistaro   Test");

    // Delete a picture and OK: every owned texture goes once, then the rebuild.
    trace_.Clear();
    std::thread edit(AnswerSettings, true, IDOK);
    SendMessageA(window_, WM_COMMAND, IDM_CONFIGURE, 0);
    edit.join();
    std::vector<std::string> calls = trace_.Calls();
    std::vector<int> freed;
    for (const std::string& c : calls)
        if (c.rfind("VnrFreeTexture", 0) == 0) freed.push_back(Field(c, "texture"));
    std::sort(owned.begin(), owned.end());
    std::sort(freed.begin(), freed.end());
    EXPECT_EQ(freed, owned) << "each owned texture, the frame's included, is released once";
    EXPECT_EQ(Count(calls, "VnrNewTexture"), 3u) << "two pictures and the frame";
    EXPECT_LT(LastIndex(calls, "VnrFreeTexture"), Index(calls, "VnrNewTexture"));
    EXPECT_TRUE(StaysOpen());
    PostMessageA(window_, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_TRUE(Closes());
}

TEST(PreviewWindow, PaintsTheBitmapAndClosesOnExit) {
    TraceFile trace;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PreviewWindowFunc;
    wc.hInstance = g_hinst;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "preview test class";
    ASSERT_TRUE(RegisterClassA(&wc));
    // 212 x 160: the picture is copied one to one.
    HWND w = CreateWindowExA(WS_EX_TOPMOST, "preview test class", "", WS_POPUP | WS_VISIBLE, 0, 0, 212, 160,
                             nullptr, nullptr, g_hinst, nullptr);
    ASSERT_NE(w, nullptr);
    UpdateWindow(w);
    PumpMessages(300);
    HBITMAP bmp = LoadBitmapA(g_hinst, MAKEINTRESOURCEA(IDB_PREVIEW));
    ASSERT_NE(bmp, nullptr);
    BITMAP info;
    GetObjectA(bmp, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 213);
    EXPECT_EQ(info.bmHeight, 160);
    HDC screen = GetDC(w);
    HDC mem = CreateCompatibleDC(screen);
    SelectObject(mem, bmp);
    int same = 0, total = 0;
    for (int y = 3; y < 160; y += 13)
        for (int x = 2; x < 212; x += 11) {
            ++total;
            same += GetPixel(screen, x, y) == GetPixel(mem, x, y);
        }
    EXPECT_EQ(same, total);
    DeleteDC(mem);
    DeleteObject(bmp);
    ReleaseDC(w, screen);
    EXPECT_TRUE(trace.Calls().empty()) << "the preview builds no scene";

    SendMessageA(w, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_FALSE(IsWindow(w));
    MSG m;
    bool quit = false;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) quit = quit || m.message == WM_QUIT;
    EXPECT_TRUE(quit);
    UnregisterClassA("preview test class", g_hinst);
}

}  // namespace
