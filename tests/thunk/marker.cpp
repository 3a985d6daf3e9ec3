// thunk_marker.dll: a library for the thunk program to load. Each time it is
// loaded into a process it appends a line to the file named by
// VISTARO_THUNK_MARKER, so a test can tell whether a program loaded it.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("VISTARO_THUNK_MARKER", path, sizeof path);
    if (n == 0 || n >= sizeof path) return TRUE;
    HANDLE f = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return TRUE;
    DWORD written;
    WriteFile(f, "loaded\r\n", 8, &written, nullptr);
    CloseHandle(f);
    return TRUE;
}
