// Frame benchmark (not a test): the saver's own scene at 1024 x 768 drawn by
// the engine through the rendering and geometry stand-ins and the driver,
// on whichever path and depth the run gets (frame_bench.sh runs it on each):
// frames per second and one frame's time split into clear, trapezoid
// set-up, the driver's trapezoid routines and present, beside the same
// run's memset bandwidth.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

#include "dcistandin.h"
#include "frame/records.h"
#include "msgbox.h"
#include "scene.h"
#include "settings.h"
#include "vistaro.h"
#include "vxn32_standin.h"

namespace {

const int kWidth = 1024, kHeight = 768;

double Seconds() {
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return (double)t.QuadPart / (double)f.QuadPart;
}

// Bytes per second that memset writes into a buffer of one frame.
double MemsetBandwidth() {
    std::vector<uint8_t> buffer((size_t)kWidth * kHeight * 4);
    double best = 0;
    for (int round = 0; round < 5; ++round) {
        double t0 = Seconds();
        for (int i = 0; i < 20; ++i) memset(buffer.data(), i, buffer.size());
        double t = Seconds() - t0;
        double rate = 20.0 * buffer.size() / t;
        if (rate > best) best = rate;
    }
    volatile uint8_t keep = buffer[buffer.size() / 2];
    (void)keep;
    return best;
}

int WINAPI Quiet(HWND, LPCSTR, LPCSTR, UINT) { return IDOK; }

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? atoi(argv[1]) : 300;
    // The bits per pixel the run is named for: a row drawn at another
    // depth would be printed under the wrong family.
    const int named = argc > 2 ? atoi(argv[2]) : 0;
    g_messageBox = Quiet;
    g_hinst = GetModuleHandleA(nullptr);
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    std::string folder = std::string(dir) + "vistaro_frame_bench";
    CreateDirectoryA(folder.c_str(), nullptr);
    // The saver's scene as scripts/run shows it, with the frame texture on
    // every face.
    std::string ini = folder + "\\vistaro.ini";
    const char options[] = "[options]\r\ntitle=Bench\r\nstars=1\r\nshade=1\r\nspinning=1\r\norbiting=1\r\n"
                           "bigness=6\r\nnumStars=60\r\nspeed=6\r\n";
    HANDLE f = CreateFileA(ini.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(f, options, sizeof options - 1, &written, nullptr);
    CloseHandle(f);
    delete[] g_settings.installDir;
    g_settings.installDir = new char[folder.size() + 1];
    strcpy(g_settings.installDir, folder.c_str());
    g_bePreviewing = 1;

    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = g_hinst;
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszClassName = "FrameBench";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight,
                             nullptr, nullptr, g_hinst, nullptr);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);

    // On the direct path the provider is set to the screen without showing
    // frames on it, so that present is the driver's copy alone.
    const bool direct = (GetVersion() & 0x80000000u) != 0;
    HMODULE dci = GetModuleHandleA("dciman32.dll");
    if (!dci) dci = LoadLibraryA("dciman32.dll");
    auto configure = (decltype(&DciStandInConfigure))GetProcAddress(dci, "DciStandInConfigure");
    auto clip = (decltype(&DciStandInSetClipList))GetProcAddress(dci, "DciStandInSetClipList");
    auto script = (decltype(&DciStandInScriptStatus))GetProcAddress(dci, "DciStandInScriptStatus");
    HDC screen = GetDC(nullptr);
    const int bits = GetDeviceCaps(screen, BITSPIXEL);
    if (direct && configure && clip && script) {
        DciStandInConfig c = {};
        c.width = GetDeviceCaps(screen, HORZRES);
        c.height = GetDeviceCaps(screen, VERTRES);
        c.bitCount = bits;
        c.stride = (c.width * ((bits + 7) / 8) + 3) & ~3;
        if (bits == 16) c.masks[0] = 0xf800, c.masks[1] = 0x7e0, c.masks[2] = 0x1f;
        if (bits > 16) c.masks[0] = 0xff0000, c.masks[1] = 0xff00, c.masks[2] = 0xff;
        configure(&c);
        RECT r = {0, 0, kWidth, kHeight};
        clip(&r, 1, 1);
        int changed = 1;
        script(&changed, 1);
    }
    ReleaseDC(nullptr, screen);

    g_hdc = GetDC(w);
    if (InitScene(w, g_hdc, &g_settings) != 1 || !g_rc) {
        printf("the scene could not be set up\n");
        fflush(stdout);
        return 1;
    }
    DevContext* d = VnrStandinDevContext(g_rc);
    if (named && (!d || d->back.bitsPerPixel != named)) {
        printf("%-7s: the back buffer has %d bits per pixel, not the %d the run is named for\n",
               direct ? "direct" : "GDI", d ? d->back.bitsPerPixel : 0, named);
        fflush(stdout);
        FreeScene(&g_rc, &g_gc, &g_settings);
        return 1;
    }
    for (int i = 0; i < 20; ++i) AnimateScreen();  // warm up
    VnrStandinTimes(nullptr, 1);
    double t0 = Seconds();
    for (int i = 0; i < frames; ++i) AnimateScreen();
    double total = Seconds() - t0;
    StandinFrameTimes t;
    VnrStandinTimes(&t, 0);
    double bandwidth = MemsetBandwidth();
    const double ms = 1000.0 / frames;
    const int pixelBytes = d ? (d->back.bitsPerPixel + 7) / 8 : 4;
    printf("%-7s %2d bits: %7.1f frames/s, %6.3f ms a frame: clear %6.3f, set-up %6.3f, trapezoids %6.3f, "
           "present %6.3f ms; memset %5.2f GB/s (one %dx%d buffer of %d-byte pixels in %6.3f ms)\n",
           direct ? "direct" : "GDI", d ? d->back.bitsPerPixel : 0, frames / total, total * ms, t.clear * ms,
           t.setup * ms, t.raster * ms, t.present * ms, bandwidth / 1e9, kWidth, kHeight, pixelBytes,
           1000.0 * kWidth * kHeight * pixelBytes / bandwidth);
    fflush(stdout);
    FreeScene(&g_rc, &g_gc, &g_settings);
    ReleaseDC(w, g_hdc);
    DestroyWindow(w);
    return 0;
}
