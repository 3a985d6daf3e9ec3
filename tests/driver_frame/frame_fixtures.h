// Shared fixtures of the driver-frame tests: a recording stand-in behind the
// universal thunk, and seams that catch message boxes and pick the platform.
#pragma once
#include <gtest/gtest.h>
#include <vector>
#include "messagelog.h"
#include "frame/dci.h"
#include "frame/module.h"

// What one thunk call carried: the argument words and, for each entry of the
// translation list, the index of the word it points at.
struct ThunkCall {
    DWORD service;
    bool argsNull;
    std::vector<DWORD> args;     // the first words of the buffer
    bool listNull;
    std::vector<int> translated; // word indexes, terminator excluded
};

class ThunkRecorder {
public:
    static std::vector<ThunkCall>& Calls() {
        static std::vector<ThunkCall> calls;
        return calls;
    }
    static DWORD& Result() {
        static DWORD result;
        return result;
    }
    // Copies `words` argument words; the list must point inside the buffer.
    static DWORD WINAPI Entry(void* args, DWORD service, void** list) {
        ThunkCall c{service, args == nullptr, {}, list == nullptr, {}};
        const DWORD* w = static_cast<const DWORD*>(args);
        if (w)
            for (int i = 0; i < 3; ++i) c.args.push_back(w[i]);
        if (list)
            for (void** p = list; *p; ++p)
                c.translated.push_back(static_cast<int>(static_cast<const DWORD*>(*p) - w));
        Calls().push_back(c);
        return Result();
    }
};

// Catches message boxes for the whole test; restores the previous sink.
class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::MessageLog::Clear();
        oldBox_ = DevSeamMessageBox(testsupport::MessageLog::Record);
        oldThunk_ = DevSeamThunk(nullptr);
        ThunkRecorder::Calls().clear();
        ThunkRecorder::Result() = 0;
    }
    void TearDown() override {
        DevSeamThunk(oldThunk_);
        DevSeamMessageBox(oldBox_);
        DevSeamVersion(nullptr);
    }
    static std::vector<testsupport::LoggedMessage>& Messages() {
        return testsupport::MessageLog::Messages();
    }

private:
    DevMessageBoxSink oldBox_ = nullptr;
    DevThunkEntry oldThunk_ = nullptr;
};

// A version word for the version seam, chosen per test.
inline DWORD& FakeVersionWord() {
    static DWORD v;
    return v;
}
inline DWORD WINAPI FakeVersion() { return FakeVersionWord(); }
inline void UseVersion(DWORD v) {
    FakeVersionWord() = v;
    DevSeamVersion(FakeVersion);
}

// With no manager bound, every wrapper answers without calling anything.
inline void ExpectNothingCallable() {
    HWND w = GetDesktopWindow();
    DciSurfaceInfo fake = {};
    HANDLE h = reinterpret_cast<HANDLE>(&fake);
    DevRect16 out[40];
    EXPECT_EQ(g_dciManager, nullptr);
    EXPECT_EQ(DevDciCreateSurface(), 0u);
    EXPECT_EQ(DevDciGetSurface(), nullptr);
    EXPECT_NE(DevDciBeginAccess(&fake, 0, 0, 1, 1), 0);
    EXPECT_EQ(DevDciEndAccess(&fake), 1u);
    EXPECT_EQ(DevDciDestroySurface(&fake), 1u);
    EXPECT_EQ(DevWinWatchOpen(w), nullptr);
    EXPECT_EQ(DevWinWatchChanged(h), 0u);
    EXPECT_EQ(DevWinWatchGetRects(h, w, 0, 0x00100010, out), 0);
    EXPECT_EQ(DevWinWatchClose(h), 1u);
}
