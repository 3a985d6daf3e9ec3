// Stand-in for PASSWORD.CPL: answers VerifyScreenSavePwd with a chosen
// result and counts the calls, so tests can follow the password paths.
#include <windows.h>
#include <stdlib.h>

// Shared by every process that loads the stand-in (one wineserver), so a
// test can read the count of a saver it started as a child process.
volatile LONG g_calls __attribute__((section(".shared"), shared)) = 0;
volatile LONG g_answer __attribute__((section(".shared"), shared)) = -1;  // -1: not set
volatile LONG g_showsDialog __attribute__((section(".shared"), shared)) = 0;

static HINSTANCE g_instance;

static int EnvInt(const char* name, int fallback) {
    char buf[32];
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
    if (n == 0 || n >= sizeof buf) return fallback;
    return atoi(buf);
}

// Like the real dialog, a window owned by the saver's takes the activation
// while the password is asked, and gives it back when it goes. It stays
// hidden: Wine waits up to 2 s for an X window to unmap on a display with
// no window manager, and the saver sees the same messages either way.
static void ShowDialog(HWND owner) {
    HWND dialog = CreateWindowExA(0, "STATIC", "Password", WS_POPUP, 0, 0, 240, 120, owner, nullptr, g_instance,
                                  nullptr);
    if (!dialog) return;
    SetActiveWindow(dialog);
    DestroyWindow(dialog);
}

extern "C" {

// Non-zero: the saver may close. The answer comes from PwdStandInSetAnswer,
// else from VISTARO_PASSWORD_ANSWER, else 1.
BOOL WINAPI VerifyScreenSavePwd(HWND window) {
    InterlockedIncrement(&g_calls);
    if (g_showsDialog) ShowDialog(window);
    LONG answer = g_answer;
    if (answer < 0) answer = EnvInt("VISTARO_PASSWORD_ANSWER", 1);
    return answer != 0;
}

void WINAPI PwdStandInSetAnswer(int answer) { g_answer = answer < 0 ? -1 : answer; }
void WINAPI PwdStandInShowDialog(int shows) { g_showsDialog = shows != 0; }
int WINAPI PwdStandInCallCount() { return g_calls; }
void WINAPI PwdStandInReset() {
    g_calls = 0;
    g_answer = -1;
    g_showsDialog = 0;
}

}  // extern "C"

// VISTARO_PASSWORD_ABSENT=1 makes the library refuse to load, as if the
// platform had no password check.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    g_instance = instance;
    if (reason == DLL_PROCESS_ATTACH && EnvInt("VISTARO_PASSWORD_ABSENT", 0) != 0) return FALSE;
    return TRUE;
}
