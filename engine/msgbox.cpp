#include "msgbox.h"
#include <stdio.h>
#include <stdlib.h>
#include <string>

extern "C" {
// Constant-initialised, so it is valid before any static initialiser runs.
MessageBoxFn g_messageBox = VistaroMessageBox;
}

int WINAPI VistaroMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    char log[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("VISTARO_MESSAGEBOX_LOG", log, sizeof log);
    if (n == 0 || n >= sizeof log) return MessageBoxA(owner, text, caption, type);

    char answerText[32];
    int answer = IDOK;
    DWORD a = GetEnvironmentVariableA("VISTARO_MESSAGEBOX_ANSWER", answerText, sizeof answerText);
    if (a > 0 && a < sizeof answerText) answer = atoi(answerText);

    char typeText[16];
    snprintf(typeText, sizeof typeText, "%lx", (unsigned long)type);
    std::string line = std::string(caption ? caption : "") + "\t" + (text ? text : "") + "\t" + typeText + "\n";
    // FILE_APPEND_DATA: lines of parallel processes never overwrite each other.
    HANDLE f = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (f != INVALID_HANDLE_VALUE) {
        DWORD written;
        WriteFile(f, line.data(), (DWORD)line.size(), &written, NULL);
        CloseHandle(f);
    }
    return answer;
}
