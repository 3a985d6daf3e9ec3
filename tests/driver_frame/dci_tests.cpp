// DCI binding and wrappers against the stand-in provider (loaded in place of
// Wine's own dciman32 for this program).
#include <string.h>
#include "frame/dci.h"
#include "dcistandin.h"
#include "frame_fixtures.h"

namespace {

DciStandInConfig Config565() {
    DciStandInConfig c = {};
    c.width = 320;
    c.height = 200;
    c.stride = 640;
    c.bitCount = 16;
    c.masks[0] = 0xf800;
    c.masks[1] = 0x7e0;
    c.masks[2] = 0x1f;
    return c;
}

DciStandInCounters Counters() {
    DciStandInCounters c;
    DciStandInGetCounters(&c);
    return c;
}

// The module never unbinds the manager while it is loaded; each case here
// starts and ends with nothing bound, as a fresh load of the module has it:
// the provider closed, the library released and no entry point kept.
void UnbindManager() {
    if (g_dciEntries.closeProvider && g_dciProvider) g_dciEntries.closeProvider(g_dciProvider);
    if (g_dciManager) FreeLibrary(g_dciManager);
    g_dciEntries = DevDciEntries();
    g_dciManager = nullptr;
    g_dciProvider = nullptr;
    g_dciPrimary = nullptr;
}

class Dci : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        UnbindManager();
        config_ = Config565();
        DciStandInConfigure(&config_);
    }
    void TearDown() override {
        UnbindManager();
        FrameTest::TearDown();
    }
    void Reconfigure() { DciStandInConfigure(&config_); }
    DciStandInConfig config_;
};

TEST_F(Dci, BindsAllTenAndOpensTheProvider) {
    EXPECT_EQ(DevDciLoadManager(), 1u);
    EXPECT_NE(g_dciManager, nullptr);
    EXPECT_EQ(Counters().opens, 1);
    uint32_t address = DevDciCreateSurface();
    EXPECT_EQ(address, reinterpret_cast<uintptr_t>(DciStandInSurfaceMemory()));
    DciSurfaceInfo* s = DevDciGetSurface();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->dwWidth, 320u);
    EXPECT_EQ(s->dwHeight, 200u);
    EXPECT_EQ(s->lStride, 640);
    EXPECT_EQ(s->dwBitCount, 16u);
    // The whole surface is writable; the stand-in faults just past it.
    memset(reinterpret_cast<void*>(address), 0x7f, 640 * 200);
    MEMORY_BASIC_INFORMATION after;
    ASSERT_NE(VirtualQuery(reinterpret_cast<void*>(address + 640 * 200), &after, sizeof after), 0u);
    EXPECT_EQ(after.Protect, static_cast<DWORD>(PAGE_NOACCESS));
    EXPECT_EQ(DevDciDestroySurface(s), 1u);
    EXPECT_EQ(DevDciGetSurface(), nullptr);
    EXPECT_EQ(Counters().surfacesAlive, 0);
    EXPECT_EQ(Counters().badDestroys, 0);
}

TEST_F(Dci, NoProviderLeavesTheManagerUnusedAndCallsNothing) {
    config_.noProvider = TRUE;
    Reconfigure();
    EXPECT_EQ(DevDciLoadManager(), 0u);
    EXPECT_EQ(g_dciManager, nullptr);
    EXPECT_EQ(Counters().calls, 1);  // the open itself

    HWND w = GetDesktopWindow();
    DciSurfaceInfo fake = {};
    DevRect16 out[40];
    EXPECT_EQ(DevDciCreateSurface(), 0u);
    EXPECT_NE(DevDciBeginAccess(&fake, 0, 0, 1, 1), 0);
    EXPECT_EQ(DevDciEndAccess(&fake), 1u);
    EXPECT_EQ(DevDciDestroySurface(&fake), 1u);
    EXPECT_EQ(DevWinWatchOpen(w), nullptr);
    HANDLE h = reinterpret_cast<HANDLE>(&fake);
    EXPECT_EQ(DevWinWatchChanged(h), 0u);
    EXPECT_EQ(DevWinWatchGetRects(h, w, 0, 0x00100010, out), 0);
    EXPECT_EQ(DevWinWatchClose(h), 1u);
    EXPECT_EQ(Counters().calls, 1);
}

TEST_F(Dci, SurfaceRejections) {
    const struct {
        const char* name;
        int createResult;
        DWORD caps;
        WORD selector;
        bool accepted;
        bool recorded;  // g_dciPrimary names the new surface
    } cases[] = {
        {"plain", 0, 0, 0, true, true},
        {"other caps bits", 0, 0x1 | 0x80 | 0x100, 0, true, true},
        {"creation error", -1, 0, 0, false, false},
        {"error in the high half only", 0x10000, 0, 0, false, false},
        {"16:32 access", 0, DCI_CAPS_1632_ACCESS, 0, false, true},
        {"segmented", 0, 0, 0x47, false, true},
    };
    ASSERT_EQ(DevDciLoadManager(), 1u);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A surface from before must not be taken for the new one.
        config_ = Config565();
        DciStandInConfigure(&config_);
        ASSERT_NE(DevDciCreateSurface(), 0u);
        DciSurfaceInfo* before = DevDciGetSurface();
        config_.createResult = c.createResult;
        config_.caps = c.caps;
        config_.selector = c.selector;
        DciStandInConfigure(&config_);
        uint32_t address = DevDciCreateSurface();
        EXPECT_EQ(address != 0, c.accepted);
        if (c.accepted) {
            EXPECT_EQ(address, reinterpret_cast<uintptr_t>(DciStandInSurfaceMemory()));
        }
        DciSurfaceInfo* now = DevDciGetSurface();
        if (c.recorded) {
            ASSERT_NE(now, nullptr);
            EXPECT_NE(now, before);
            EXPECT_EQ(now->dwDCICaps, c.caps);
            EXPECT_EQ(now->wSelSurface, c.selector);
            DevDciDestroySurface(now);
        } else {
            EXPECT_EQ(now, nullptr);
        }
        DevDciDestroySurface(before);
        EXPECT_EQ(Counters().badDestroys, 0);
    }
}

TEST_F(Dci, AccessResultsPassThroughAndBalance) {
    ASSERT_EQ(DevDciLoadManager(), 1u);
    ASSERT_NE(DevDciCreateSurface(), 0u);
    DciSurfaceInfo* s = DevDciGetSurface();
    EXPECT_EQ(DevDciBeginAccess(s, 0, 0, 319, 199), 0);
    DciStandInCounters c = Counters();
    EXPECT_EQ(c.accessDepth, 1);
    EXPECT_EQ(c.lastAccess.left, 0);
    EXPECT_EQ(c.lastAccess.right, 319);
    EXPECT_EQ(c.lastAccess.bottom, 199);
    EXPECT_EQ(DevDciEndAccess(s), 1u);
    EXPECT_EQ(Counters().accessDepth, 0);

    for (int refusal : {-1, -5, 2}) {
        config_.accessResult = refusal;
        Reconfigure();
        EXPECT_EQ(DevDciBeginAccess(s, 0, 0, 319, 199), refusal);
        EXPECT_EQ(Counters().beginsGranted, 0);
    }
    EXPECT_NE(DevDciBeginAccess(nullptr, 0, 0, 1, 1), 0);
    DevDciDestroySurface(s);
}

TEST_F(Dci, StatusChangeCountsOnlyExactlyOne) {
    ASSERT_EQ(DevDciLoadManager(), 1u);
    HANDLE h = DevWinWatchOpen(GetDesktopWindow());
    ASSERT_NE(h, nullptr);
    const int script[] = {1, 2, 0, -1, 1, 0x101};
    DciStandInScriptStatus(script, 6);
    const uint32_t expected[] = {1, 0, 0, 0, 1, 0, 0};
    for (uint32_t e : expected) EXPECT_EQ(DevWinWatchChanged(h), e);
    EXPECT_EQ(DevWinWatchClose(h), 1u);
    EXPECT_EQ(Counters().watchesClosed, 1);
}

// A real window on the X display, so the client origin is the window
// manager's, not ours.
class ClipList : public Dci {
protected:
    void SetUp() override {
        Dci::SetUp();
        window_ = CreateWindowA("STATIC", "clip", WS_POPUP | WS_VISIBLE, 100, 50, 320, 200,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        POINT p = {0, 0};
        ClientToScreen(window_, &p);
        origin_ = p;
        ASSERT_EQ(DevDciLoadManager(), 1u);
        watch_ = DevWinWatchOpen(window_);
        ASSERT_NE(watch_, nullptr);
    }
    void TearDown() override {
        DevWinWatchClose(watch_);
        DestroyWindow(window_);
        Dci::TearDown();
    }
    static uint32_t Word(int16_t lo, int16_t hi) {
        return static_cast<uint16_t>(lo) | static_cast<uint32_t>(static_cast<uint16_t>(hi)) << 16;
    }
    HWND window_ = nullptr;
    HANDLE watch_ = nullptr;
    POINT origin_ = {};
};

TEST_F(ClipList, ScreenRectanglesBecomeWindowRelative) {
    EXPECT_EQ(Counters().lastWatchWindow, window_);
    const RECT screen[2] = {{origin_.x, origin_.y, origin_.x + 200, origin_.y + 200},
                            {origin_.x + 250, origin_.y - 5, origin_.x + 320, origin_.y + 10}};
    DciStandInSetClipList(screen, 2, 2);
    DevRect16 out[41];
    memset(out, 0x5c, sizeof out);
    // The window words carry signed halves: x0 = -10, y0 = 20, x1 = 310, y1 = 220.
    EXPECT_EQ(DevWinWatchGetRects(watch_, window_, Word(-10, 20), Word(310, 220), out), 2);
    RECT q = Counters().lastClipQuery;
    EXPECT_EQ(q.left, 0);
    EXPECT_EQ(q.top, 0);
    EXPECT_EQ(q.right, 320);
    EXPECT_EQ(q.bottom, 200);
    EXPECT_EQ(out[0].x0, 0);
    EXPECT_EQ(out[0].y0, 0);
    EXPECT_EQ(out[0].x1, 200);
    EXPECT_EQ(out[0].y1, 200);
    EXPECT_EQ(out[1].x0, 250);
    EXPECT_EQ(out[1].y0, -5);
    EXPECT_EQ(out[1].x1, 320);
    EXPECT_EQ(out[1].y1, 10);
    EXPECT_EQ(out[2].x0, 0x5c5c);
}

TEST_F(ClipList, CountIsClampedAndFailureGivesNone) {
    RECT many[50];
    for (int i = 0; i < 50; ++i)
        many[i] = {origin_.x + i, origin_.y, origin_.x + i + 1, origin_.y + 1};
    const struct {
        const char* name;
        int written, reported;
        bool fails;
        int expected;
    } cases[] = {
        {"none", 0, 0, false, 0},
        {"negative count", 3, -3, false, 0},
        {"count in the low half only", 2, 0x10002, false, 2},
        {"negative in the low half", 2, 0x1fffe, false, 0},
        {"exactly 40", 40, 40, false, 40},
        {"region too large for the buffer", 50, 50, false, 0},
        {"header claims more than written", 3, 45, false, 40},
        {"query fails", 5, 5, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        config_.clipListFails = c.fails;
        Reconfigure();
        DciStandInSetClipList(many, c.written, c.reported);
        DevRect16 out[41];
        memset(out, 0x5c, sizeof out);
        EXPECT_EQ(DevWinWatchGetRects(watch_, window_, Word(0, 0), Word(320, 200), out),
                  c.expected);
        int firstUntouched = c.expected;
        for (int i = 0; i < c.expected; ++i) {
            // Rectangles the provider did not write are empty ones at the
            // screen origin, not stale memory.
            int16_t ox = int16_t(-origin_.x), oy = int16_t(-origin_.y);
            DevRect16 r = i < c.written ? DevRect16{int16_t(i), 0, int16_t(i + 1), 1}
                                        : DevRect16{ox, oy, ox, oy};
            EXPECT_TRUE(out[i].x0 == r.x0 && out[i].y0 == r.y0 && out[i].x1 == r.x1 && out[i].y1 == r.y1)
                << i;
        }
        EXPECT_EQ(out[firstUntouched].x0, 0x5c5c);
        EXPECT_EQ(out[40].x0, 0x5c5c);
    }
}

TEST_F(ClipList, WindowFromDc) {
    HDC dc = GetDC(window_);
    EXPECT_EQ(GetWindowFromDC(dc), window_);
    ReleaseDC(window_, dc);
    EXPECT_EQ(GetWindowFromDC(nullptr), nullptr);
}

}  // namespace
