// The three replaceable platform seams.
#include "frame/module.h"

namespace {
DevVersionSource s_version;
DevMessageBoxSink s_messageBox;
}  // namespace

extern "C" {

DevThunkEntry g_thunk;

DevVersionSource WINAPI DevSeamVersion(DevVersionSource fn) {
    DevVersionSource old = s_version ? s_version : GetVersion;
    s_version = fn;
    return old;
}

DevMessageBoxSink WINAPI DevSeamMessageBox(DevMessageBoxSink fn) {
    DevMessageBoxSink old = s_messageBox ? s_messageBox : MessageBoxA;
    s_messageBox = fn;
    return old;
}

// The thunk entry is the seam itself: whatever is installed here is what
// every service calls.
DevThunkEntry WINAPI DevSeamThunk(DevThunkEntry fn) {
    DevThunkEntry old = g_thunk;
    g_thunk = fn;
    return old;
}

DWORD DevGetVersionWord(void) { return s_version ? s_version() : GetVersion(); }

int DevMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    return s_messageBox ? s_messageBox(owner, text, caption, type) : MessageBoxA(owner, text, caption, type);
}

}  // extern "C"
