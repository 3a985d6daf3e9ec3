// The Windows 95 screen-saver password check, reached through PASSWORD.CPL.
#include <windows.h>

#include "msgbox.h"
#include "window.h"

static int PasswordError(const char* text) {
    g_messageBox(nullptr, text, "ERROR", MB_OK);
    return 1;
}

int VerifyPassword(HWND window) {
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key) != ERROR_SUCCESS)
        return PasswordError("Verify Password can't find Control Panel Registry key.");
    BYTE value[4] = {0, 0, 0, 0};
    DWORD type = 0, size = sizeof value;
    LONG status = RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, &type, value, &size);
    RegCloseKey(key);
    switch (ReadPasswordSwitch(status, type, size, value)) {
    case PasswordSwitch::Missing:
        if (!(GetVersion() & 0x80000000)) return 1;  // Windows NT keeps no such switch
        return PasswordError("Verify Password can't find use-password value.");
    case PasswordSwitch::Off: return 1;
    case PasswordSwitch::On: break;
    }
    HMODULE library = LoadLibraryA("PASSWORD.CPL");
    if (!library) return PasswordError("Verify Password can't find PASSWORD.CPL.");
    using VerifyFn = BOOL(WINAPI*)(HWND);
    auto verify = reinterpret_cast<VerifyFn>(GetProcAddress(library, "VerifyScreenSavePwd"));
    if (!verify) {
        PasswordError("Verify Password can't find VerifyScreenSavePwd.");
        FreeLibrary(library);
        return 1;
    }
    ShowCursor(TRUE);
    int result = verify(window);
    FreeLibrary(library);
    ShowCursor(FALSE);
    return result;
}
