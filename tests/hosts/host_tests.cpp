// The screen-saver program and the desktop viewer, run as child processes
// under the test's X display with the tracing stand-ins beside them.
#include <gtest/gtest.h>

#include <stdio.h>

#include "childprocess.h"
#include "picturefiles.h"
#include "testsupport.h"

using namespace testsupport;

namespace {

const char kSaver[] = "\"3-D Vistaro Screensaver.scr\"";
const char kSaverFile[] = "3-D Vistaro Screensaver.scr";
const char kViewerFile[] = "vistarodesk.exe";
const char kSaverClass[] = "3-D Vistaro Window Class!!!!";
const char kViewerClass[] = "3-D Vistaro Desktop Window Class!!!!";
const char kAppPaths[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\3-D Vistaro Screensaver.scr";
const DWORD kStart = 20000;  // a Wine program may take seconds to come up

// The screen-saver-running flag as a fresh process sees it.
bool SaverRunningFlag(const char* args = "") {
    ChildProcess probe("spi_probe.exe", args);
    DWORD code = 99;
    return probe.Wait(kStart, &code) && code == 1;
}

// The flag is raised just after the window appears.
bool SaverRunningFlagRises() {
    for (int i = 0; i < 20; ++i) {
        if (SaverRunningFlag()) return true;
        Sleep(100);
    }
    return false;
}

// Waits for the child while this thread keeps answering messages (a child
// window of ours sends its parent notifications).
bool WaitPumping(ChildProcess& child, DWORD ms, DWORD* code) {
    DWORD start = GetTickCount();
    while (!child.Wait(0, code)) {
        if (GetTickCount() - start > ms) return false;
        PumpMessages(20);
    }
    return true;
}

class Hosts : public ::testing::Test {
protected:
    void SetUp() override {
        ini_ = install_.file("vistaro.ini");
        BmpSpec picture;
        picture.width = 8;
        picture.height = 8;
        picture.pixel = [](int x, int y) { return uint32_t(0x204080 + x * 16 + y); };
        WriteFile(install_.file("p.bmp"), MakeBmp(picture));
        WriteFile(ini_, "[files]\r\nfile1=" + install_.file("p.bmp") +
                            "\r\n[options]\r\ntitle=Hosts\r\nstars=1\r\nshade=0\r\nspinning=1\r\n"
                            "orbiting=1\r\nbigness=5\r\nnumStars=40\r\nspeed=10\r\n");
        SaverRunningFlag("clear");
    }
    std::vector<std::string> Env(std::vector<std::string> more = {}) {
        more.push_back("VISTARO_PASSWORD_ANSWER=1");
        return more;
    }
    TempDir install_;
    std::string ini_;
    ScopedRegValue path_ = ScopedRegValue::String(HKEY_LOCAL_MACHINE, kAppPaths, "Path", install_.path());
    ScopedRegValue password_ =
        ScopedRegValue::Removed(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveUsePassword");
};

// The saver without MPR.DLL (Wine reads WINEDLLOVERRIDES only when it starts
// the first process, so the per-program overrides do it here).
ScopedRegValue NoMpr() {
    return ScopedRegValue::String(HKEY_CURRENT_USER,
                                  std::string("Software\\Wine\\AppDefaults\\") + kSaverFile + "\\DllOverrides", "mpr",
                                  "");
}

// A plain window of the test, for parents and owners.
HWND TestWindow(const char* title, int w, int h) {
    HWND win = CreateWindowExA(0, "STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, w, h, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    PumpMessages(50);
    return win;
}

// Makes w the foreground window and waits until it stays so: the activation
// left by a box that an earlier child showed for another window of ours may
// arrive after w was created.
bool BringToFront(HWND w) {
    for (int i = 0; i < 50; ++i) {
        if (GetForegroundWindow() == w) {
            PumpMessages(200);
            if (GetForegroundWindow() == w) return true;
        }
        SetForegroundWindow(w);
        PumpMessages(50);
    }
    return false;
}

TEST_F(Hosts, FullScreenSaverCoversTheScreenAndEndsOnInput) {
    ChildProcess saver(kSaverFile, "/s", Env());
    ASSERT_TRUE(saver.started());
    HWND w = WaitForWindow(kSaverClass, nullptr, saver.pid(), kStart);
    ASSERT_NE(w, nullptr);
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(GetWindowLongA(w, GWL_STYLE) & (WS_POPUP | WS_CHILD), WS_POPUP);
    EXPECT_TRUE(SaverRunningFlagRises());
    // Still running after a while: input, not time, ends it.
    DWORD code = 0;
    EXPECT_FALSE(saver.Wait(1000, &code));
    PostMessageA(w, WM_KEYDOWN, 'X', 0);
    PostMessageA(w, WM_CHAR, 'x', 0);
    ASSERT_TRUE(saver.Wait(15000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(SaverRunningFlag());
    EXPECT_TRUE(saver.boxes().empty());
    EXPECT_TRUE(saver.loggedBoxes().empty());
}

TEST_F(Hosts, SecondFullScreenSaverReturnsAtOnceAndMinimisedViewerStops) {
    ChildProcess viewer(kViewerFile, "", Env());
    HWND view = WaitForWindow(kViewerClass, nullptr, viewer.pid(), kStart);
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(IsIconic(view));

    ChildProcess first(kSaverFile, "/s", Env());
    HWND w = WaitForWindow(kSaverClass, nullptr, first.pid(), kStart);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(IsIconic(view)) << "the saver minimises a running viewer";

    ChildProcess second(kSaverFile, "/s", Env());
    DWORD code = 99;
    ASSERT_TRUE(second.Wait(kStart, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(second.boxes().empty());
    EXPECT_TRUE(IsWindow(w)) << "the first saver is not disturbed";

    PostMessageA(w, WM_LBUTTONDOWN, 0, 0);
    ASSERT_TRUE(first.Wait(15000, &code));
    EXPECT_EQ(code, 0u);
    PostMessageA(view, WM_CLOSE, 0, 0);
    ASSERT_TRUE(viewer.Wait(15000, &code));
    EXPECT_EQ(code, 0u);
}

TEST_F(Hosts, SecondViewerIsRefused) {
    ChildProcess first(kViewerFile, "", Env());
    HWND view = WaitForWindow(kViewerClass, nullptr, first.pid(), kStart);
    ASSERT_NE(view, nullptr);
    for (int i = 0; i < 50 && !GetMenu(view); ++i) Sleep(100);  // attached after creation
    EXPECT_NE(GetMenu(view), nullptr) << "menu 112 is attached";

    ChildProcess second(kViewerFile, "", Env());
    DWORD code = 99;
    ASSERT_TRUE(second.Wait(kStart, &code));
    EXPECT_EQ(code, 0u);
    auto boxes = second.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Only 1 3-D Vistaro at a time, please.");
    EXPECT_EQ(boxes[0].text, "3-D Vistaro is already running!");
    EXPECT_TRUE(IsWindow(view));
    EXPECT_FALSE(first.Wait(0, &code));

    PostMessageA(view, WM_CLOSE, 0, 0);
    ASSERT_TRUE(first.Wait(15000, &code));
    EXPECT_EQ(code, 0u);
}

TEST_F(Hosts, PreviewIsAStillChildOfTheGivenWindow) {
    TempDir traces;
    std::string trace = traces.file("trace.txt");
    HWND parent = TestWindow("preview parent", 320, 240);
    ASSERT_NE(parent, nullptr);
    RECT pr;
    GetWindowRect(parent, &pr);
    char args[64];
    snprintf(args, sizeof args, "/p %u", unsigned(reinterpret_cast<UINT_PTR>(parent)));
    ChildProcess saver(kSaverFile, args, Env({"VISTARO_TRACE=" + trace}));
    HWND child = nullptr;
    for (DWORD start = GetTickCount(); !child && GetTickCount() - start < kStart;) {
        PumpMessages(50);
        child = FindWindowExA(parent, nullptr, kSaverClass, nullptr);
    }
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(GetWindowLongA(child, GWL_STYLE) & WS_CHILD);
    RECT cr;
    GetWindowRect(child, &cr);
    EXPECT_EQ(cr.right - cr.left, pr.right - pr.left);
    EXPECT_EQ(cr.bottom - cr.top, pr.bottom - pr.top);
    PumpMessages(1500);
    // No scene: no render context, no picture, no frame.
    std::string calls = ReadFile(trace);
    EXPECT_EQ(calls.find("Vnr"), std::string::npos) << calls;
    EXPECT_EQ(calls.find("Vng"), std::string::npos) << calls;

    PostMessageA(child, WM_CLOSE, 0, 0);
    DWORD code = 99;
    ASSERT_TRUE(WaitPumping(saver, 15000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(saver.boxes().empty());
    DestroyWindow(parent);
}

TEST_F(Hosts, PreviewWithoutAWindowSaysSo) {
    HWND gone = TestWindow("gone", 100, 100);
    char goneArg[64];
    snprintf(goneArg, sizeof goneArg, "/p %u", unsigned(reinterpret_cast<UINT_PTR>(gone)));
    DestroyWindow(gone);
    for (const std::string& args : {std::string("/p"), std::string("/p 0"), std::string("-l nothing"),
                                   std::string(goneArg)}) {
        ChildProcess saver(kSaverFile, args, Env());
        DWORD code = 99;
        ASSERT_TRUE(saver.Wait(kStart, &code)) << args;
        EXPECT_EQ(code, 0u) << args;
        auto boxes = saver.boxes();
        ASSERT_EQ(boxes.size(), 1u) << args;
        EXPECT_EQ(boxes[0].caption, "Error");
        EXPECT_EQ(boxes[0].text, "Can't form a preview window");
    }
}

TEST_F(Hosts, SettingsDialogCancelChangesNothing) {
    std::string before = ReadFile(ini_);
    for (const char* args : {"", "/c:1234"}) {
        ChildProcess saver(kSaverFile, args, Env());
        HWND dialog = WaitForWindow("#32770", "Vistarix Setup", saver.pid(), kStart);
        ASSERT_NE(dialog, nullptr) << '"' << args << '"';
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        DWORD code = 99;
        ASSERT_TRUE(saver.Wait(15000, &code));
        EXPECT_EQ(code, 0u);
        EXPECT_EQ(ReadFile(ini_), before);
    }
}

TEST_F(Hosts, PasswordChangeOwnerAndMissingLibrary) {
    HWND owner = TestWindow("password owner", 200, 100);
    const unsigned id = unsigned(reinterpret_cast<UINT_PTR>(owner));
    // Wine's MPR reports success and does nothing: the program just ends.
    {
        ChildProcess saver(kSaverFile, "/a x " + std::to_string(id), Env());
        DWORD code = 99;
        ASSERT_TRUE(WaitPumping(saver, kStart, &code));
        EXPECT_EQ(code, 0u);
        EXPECT_TRUE(saver.boxes().empty());
    }
    // Without MPR.DLL the message names it. Its owner is the window read
    // after the second blank, else the foreground window; "/a" alone has no
    // blank to read after.
    auto noMpr = NoMpr();
    struct Case { std::string args; bool given; } cases[] = {
        {"/a x " + std::to_string(id), true},
        {"-A x 0x" + [&] { char b[16]; snprintf(b, sizeof b, "%x", id); return std::string(b); }(), true},
        {"/a " + std::to_string(id), false},
        {"/a", false},
        {"/a x", false},
    };
    for (const Case& c : cases) {
        HWND front = TestWindow("in front", 200, 100);
        ASSERT_TRUE(BringToFront(front));
        ChildProcess saver(kSaverFile, c.args, Env());
        DWORD code = 99;
        ASSERT_TRUE(WaitPumping(saver, kStart, &code)) << c.args;
        EXPECT_EQ(code, 0u) << c.args;
        auto boxes = saver.boxes();
        ASSERT_EQ(boxes.size(), 1u) << c.args;
        EXPECT_EQ(boxes[0].caption, "ERROR");
        EXPECT_EQ(boxes[0].text, "Password change failure: MPR.DLL not found");
        EXPECT_EQ(boxes[0].owner, c.given ? owner : front) << c.args;
        DestroyWindow(front);
    }
    DestroyWindow(owner);
}

// Windows 95 keeps the password switch in the registry: a missing value is
// reported there, while on Windows NT it just lets the saver close.
TEST_F(Hosts, MissingPasswordSwitchIsReportedOnlyOnWindows95) {
    struct Case { const char* version; bool box; } cases[] = {{"win95", true}, {nullptr, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version ? c.version : "nt");
        auto version = c.version ? ScopedRegValue::String(HKEY_CURRENT_USER,
                                                          std::string("Software\\Wine\\AppDefaults\\") + kSaverFile,
                                                          "Version", c.version)
                                 : ScopedRegValue::Removed(HKEY_CURRENT_USER,
                                                           std::string("Software\\Wine\\AppDefaults\\") + kSaverFile,
                                                           "Version");
        ChildProcess saver(kSaverFile, "/s", Env());
        HWND w = WaitForWindow(kSaverClass, nullptr, saver.pid(), kStart);
        ASSERT_NE(w, nullptr);
        PostMessageA(w, WM_CHAR, 'x', 0);
        DWORD code = 99;
        ASSERT_TRUE(saver.Wait(15000, &code));
        EXPECT_EQ(code, 0u);
        EXPECT_TRUE(saver.boxes().empty());
        auto boxes = saver.loggedBoxes();
        if (c.box) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].caption, "ERROR");
            EXPECT_EQ(boxes[0].text, "Verify Password can't find use-password value.");
        } else {
            EXPECT_TRUE(boxes.empty());
        }
    }
}

TEST_F(Hosts, FailedSetUpEndsWithCodeOneAndClearsTheRunningFlag) {
    ChildProcess saver(kSaverFile, "/s", Env({"VISTARO_VNR_CREATE_FAIL=1"}));
    DWORD code = 99;
    ASSERT_TRUE(saver.Wait(kStart, &code));
    EXPECT_EQ(code, 1u);
    auto boxes = saver.loggedBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Failed to create a VXN context");
    EXPECT_EQ(boxes[1].text, "Try running setup again.");
    EXPECT_FALSE(SaverRunningFlag());
}

}  // namespace
