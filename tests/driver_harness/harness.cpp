#include "harness.h"

#include "testsupport.h"

#include <string.h>

namespace drvtest {

const char* const kExportNames[10] = {
    "DevInitialize",   "DevTerminate",     "DevBufferCreate",  "DevBufferResize",  "DevBufferDelete",
    "DevBufferNotify", "DevContextCreate", "DevContextDelete", "DevContextSwitch", "DevContextValidate",
};

DriverExports LinkedExports()
{
    DriverExports e;
    e.initialize = DevInitialize;
    e.terminate = DevTerminate;
    e.bufferCreate = DevBufferCreate;
    e.bufferResize = DevBufferResize;
    e.bufferDelete = DevBufferDelete;
    e.bufferNotify = DevBufferNotify;
    e.contextCreate = DevContextCreate;
    e.contextDelete = DevContextDelete;
    e.contextSwitch = DevContextSwitch;
    e.contextValidate = DevContextValidate;
    return e;
}

DriverModule::DriverModule(const char* file)
{
    module_ = LoadLibraryA((vxnlib::ProgramFolder() + file).c_str());
}

DriverModule::~DriverModule()
{
    if (module_) FreeLibrary(module_);
}

DriverExports DriverModule::exports() const { return vxnlib::ExportsOf(module_); }

uint32_t StackLeftAfterCall(FARPROC fn, const uint32_t* args, int n, uint32_t* result)
{
    uint32_t left, value;
    uint32_t count = (uint32_t)n;
    // Pushes the arguments last to first, calls, and measures how far the
    // stack pointer is from where it was before the pushes.
    asm volatile(
        "movl %%esp, %%esi\n"
        "1:\n\t"
        "testl %%ecx, %%ecx\n\t"
        "jz 2f\n\t"
        "pushl -4(%%edi,%%ecx,4)\n\t"
        "decl %%ecx\n\t"
        "jmp 1b\n"
        "2:\n\t"
        "call *%%ebx\n\t"
        "movl %%esi, %%edx\n\t"
        "subl %%esp, %%edx\n\t"
        "movl %%esi, %%esp\n\t"
        : "=a"(value), "=d"(left), "+c"(count)
        : "D"(args), "b"(fn)
        : "esi", "memory", "cc");
    if (result) *result = value;
    return left;
}

// ---- recording base table ----

static RecordingBase* g_recorder;

static uint32_t Record(int slot, DevContext* ctx, std::initializer_list<uint32_t> args)
{
    if (!g_recorder) return 0;
    g_recorder->calls.push_back(BaseCall{slot, ctx, std::vector<uint32_t>(args)});
    return g_recorder->result;
}

static uint32_t DEVPROC BaseCopyRect(DevContext* ctx, uint32_t a1, uint32_t a2, uint32_t a3, uint32_t a4,
                                     uint32_t a5, uint32_t a6, uint32_t a7, uint32_t a8, uint32_t a9,
                                     uint32_t a10, uint32_t a11)
{
    return Record(DEV_SLOT_COPYRECT, ctx, {a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11});
}
static uint32_t DEVPROC BaseTrapezoids(DevContext* ctx, DevTrapEdge* l, DevTrapEdge* r, DevTrapGradients* g)
{
    return Record(DEV_SLOT_TRAPEZOIDS, ctx, {(uint32_t)(uintptr_t)l, (uint32_t)(uintptr_t)r, (uint32_t)(uintptr_t)g});
}
static uint32_t DEVPROC BaseLine(DevContext* ctx, DevLineRecord* line, uint32_t pass)
{
    return Record(DEV_SLOT_LINE, ctx, {(uint32_t)(uintptr_t)line, pass});
}
static uint32_t DEVPROC BaseClear(DevContext* ctx, uint32_t what) { return Record(DEV_SLOT_CLEAR, ctx, {what}); }
static uint32_t DEVPROC BasePresent(DevContext* ctx) { return Record(DEV_SLOT_PRESENT, ctx, {}); }
static uint32_t DEVPROC BaseSetColor(DevContext* ctx, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t c3,
                                     uint32_t separate, void* out)
{
    return Record(DEV_SLOT_SETCOLOR, ctx, {c0, c1, c2, c3, separate, (uint32_t)(uintptr_t)out});
}

RecordingBase::RecordingBase()
{
    memset(&table_, 0, sizeof table_);
    table_.copyRect = BaseCopyRect;
    table_.trapezoids = BaseTrapezoids;
    table_.line = BaseLine;
    table_.clear = BaseClear;
    table_.present = BasePresent;
    table_.setColor = BaseSetColor;
    g_recorder = this;
}

RecordingBase::~RecordingBase()
{
    if (g_recorder == this) g_recorder = nullptr;
}

// ---- records ----

DeviceInfo Device(uint16_t width, uint16_t height, uint16_t bitsPerPixel, uint32_t red, uint32_t green,
                  uint32_t blue)
{
    DeviceInfo d = vxnlib::DeviceFor(width, height, bitsPerPixel, red, green, blue, 10);
    d.bytesPerPixel = (uint16_t)(bitsPerPixel / 8);  // a display below 8 bits has none
    return d;
}

DeviceInfo Device565(uint16_t width, uint16_t height) { return Device(width, height, 16, 0xf800, 0x7e0, 0x1f); }
DeviceInfo Device8(uint16_t width, uint16_t height) { return Device(width, height, 8); }
DeviceInfo Device32(uint16_t width, uint16_t height)
{
    return Device(width, height, 32, 0xff0000, 0xff00, 0xff);
}

Context::Context(RecordingBase* base) : lib_(vxnlib::NewContext())
{
    ctx_ = &lib_->dev;
    ctx_->baseProcs = base ? base->table() : nullptr;
}

Context::~Context() { vxnlib::FreeContext(lib_); }

void Context::SetWindow(int16_t x0, int16_t y0, int16_t x1, int16_t y1)
{
    ctx_->window = DevRect16{x0, y0, x1, y1};
    ctx_->update = DevRect16{0, 0, (int16_t)(x1 - x0), (int16_t)(y1 - y0)};
}

void Context::SetZoom2()
{
    ctx_->state |= DEV_ZOOM2;
    ctx_->zoomX = ctx_->zoomY = DEV_ZOOM_2;
}

// ---- settings and platform ----

std::string VxnIni::Path()
{
    char dir[MAX_PATH];
    GetWindowsDirectoryA(dir, sizeof dir);
    return std::string(dir) + "\\vxn.ini";
}

VxnIni::VxnIni(const std::string& text)
{
    testsupport::WriteFile(Path(), text);
    WritePrivateProfileStringA(NULL, NULL, NULL, "vxn.ini");  // drop any cached copy
}

VxnIni::~VxnIni()
{
    DeleteFileA(Path().c_str());
    WritePrivateProfileStringA(NULL, NULL, NULL, "vxn.ini");
}

AppVersion::AppVersion(const std::string& exe, const std::string& version)
    : key_("Software\\Wine\\AppDefaults\\" + exe)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, NULL, 0, KEY_WRITE, NULL, &key, NULL) == 0) {
        RegSetValueExA(key, "Version", 0, REG_SZ, (const BYTE*)version.c_str(), (DWORD)version.size() + 1);
        RegCloseKey(key);
    }
}

AppVersion::~AppVersion() { RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str()); }

int RunChild(const std::string& exe, const std::string& args, DWORD timeoutMs)
{
    std::string path = testsupport::ProgramDir() + exe;
    std::string line = "\"" + path + "\" " + args;
    STARTUPINFOA si;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi;
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back(0);
    if (!CreateProcessA(path.c_str(), buffer.data(), NULL, NULL, TRUE, 0, NULL, NULL, &si, &pi)) return -1;
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return (int)code;
}

// ---- destinations ----

MemoryTarget::MemoryTarget(int width, int height) : width_(width), height_(height)
{
    BITMAPINFO bi;
    memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(NULL);
    bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    bits_ = (uint32_t*)bits;
    previous_ = SelectObject(dc_, bitmap_);
    Fill(0x123456);
}

MemoryTarget::~MemoryTarget()
{
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

void MemoryTarget::Fill(uint32_t rgb)
{
    GdiFlush();
    for (int i = 0; i < width_ * height_; ++i) bits_[i] = rgb;
}

static LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    return DefWindowProcA(hwnd, msg, wp, lp);
}

TestWindow::TestWindow(int x, int y, int width, int height)
{
    WNDCLASSA wc;
    memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = TestWindowProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "DriverHarnessWindow";
    wc.style = CS_OWNDC;
    RegisterClassA(&wc);
    RECT r = {0, 0, width, height};
    AdjustWindowRect(&r, WS_POPUP, FALSE);
    hwnd_ = CreateWindowExA(WS_EX_TOPMOST, "DriverHarnessWindow", "driver harness", WS_POPUP | WS_VISIBLE, x, y,
                            r.right - r.left, r.bottom - r.top, NULL, NULL, wc.hInstance, NULL);
    dc_ = hwnd_ ? GetDC(hwnd_) : NULL;
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

TestWindow::~TestWindow()
{
    if (dc_) ReleaseDC(hwnd_, dc_);
    if (hwnd_) DestroyWindow(hwnd_);
}

std::vector<std::string> MessageCatcher::texts;

static int WINAPI CatchMessage(HWND, LPCSTR text, LPCSTR caption, UINT)
{
    MessageCatcher::texts.push_back(std::string(caption ? caption : "") + "|" + (text ? text : ""));
    return IDOK;
}

MessageCatcher::MessageCatcher()
{
    texts.clear();
    previous_ = DevSeamMessageBox(CatchMessage);
}

MessageCatcher::~MessageCatcher() { DevSeamMessageBox(previous_); }

}  // namespace drvtest
