// Child process of the fatal-path tests: runs InitScene on a window with one
// machine fact replaced (argv[1]: any of palette, smallmemory, hugememory, or none; the
// render context's failure is switched on in the stand-in's environment).
// Every message box of the set-up is appended to the file argv[2] as
// "caption<TAB>text<TAB>owner". A set-up that returns exits with the
// maxTextureSide it chose.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "msgbox.h"
#include "scene.h"
#include "settings.h"
#include "vistaro.h"

static const char* g_boxFile = "";

static int WINAPI WriteBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    FILE* f = fopen(g_boxFile, "ab");
    if (f) {
        fprintf(f, "%s\t%s\t%s\n", caption, text, owner ? "owned" : "no owner");
        fclose(f);
    }
    return IDOK;
}

static int WINAPI PaletteOf16(HDC, int index) {
    return index == RASTERCAPS ? RC_PALETTE | RC_BITBLT : index == SIZEPALETTE ? 16 : 0;
}

static void WINAPI SmallMemory(LPMEMORYSTATUS m) {
    GlobalMemoryStatus(m);
    m->dwTotalPhys = 3999999;
}

static void WINAPI AllBitsMemory(LPMEMORYSTATUS m) {
    GlobalMemoryStatus(m);
    m->dwTotalPhys = (SIZE_T)-1;
}

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const char* what = argv[1];
    g_boxFile = argv[2];
    g_messageBox = WriteBox;
    g_hinst = GetModuleHandleA(nullptr);   // the engine bitmaps are linked into this program
    g_bePreviewing = 1;                    // no pictures: their boxes are not what is tested here
    if (strstr(what, "palette")) g_sceneMachine.getDeviceCaps = PaletteOf16;
    if (strstr(what, "smallmemory")) g_sceneMachine.globalMemoryStatus = SmallMemory;
    if (strstr(what, "hugememory")) g_sceneMachine.globalMemoryStatus = AllBitsMemory;

    HWND window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 320, 240, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    HDC dc = GetDC(window);
    InitScene(window, dc, &g_settings);
    FreeScene(&g_rc, &g_gc, &g_settings);
    ReleaseDC(window, dc);
    DestroyWindow(window);
    return g_settings.maxTextureSide;
}
