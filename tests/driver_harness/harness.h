// The driver tests' interface to the rendering library's side of the
// driver interface (outside/vxn32's vxnlib, the code vxn32.dll drives the
// driver with): its module exports, device descriptions and context
// records, plus a base procedure table that records what reaches it and
// destinations whose pixels the tests read back.
#pragma once

#include "frame/services.h"
#include "library.h"

#include <windows.h>
#include <string>
#include <vector>

namespace drvtest {

// The ten exports in ordinal order.
extern const char* const kExportNames[10];

using DriverExports = vxnlib::DriverExports;

// The exports linked into this program (the driver's objects).
DriverExports LinkedExports();

// build/bin/rastrel.vxn (or another build of the module beside it, such as
// the test build rastrel_seams.vxn) loaded for the life of the object.
class DriverModule {
public:
    explicit DriverModule(const char* file = "rastrel.vxn");
    ~DriverModule();
    DriverModule(const DriverModule&) = delete;
    DriverModule& operator=(const DriverModule&) = delete;
    HMODULE handle() const { return module_; }
    FARPROC byName(const char* name) const { return GetProcAddress(module_, name); }
    FARPROC byOrdinal(int ordinal) const { return GetProcAddress(module_, MAKEINTRESOURCEA(ordinal)); }
    DriverExports exports() const;  // by name
private:
    HMODULE module_;
};

// Bytes of arguments left on the stack after calling fn with n 32-bit
// arguments: 0 when the callee removes its own.
uint32_t StackLeftAfterCall(FARPROC fn, const uint32_t* args, int n, uint32_t* result);

// ---- the base procedure table ----

struct BaseCall {
    int slot;
    DevContext* ctx;
    std::vector<uint32_t> args;  // the arguments after the context
};

// Records every call of slots 12, 16, 17, 19, 20 and 21 and answers with
// result. One recorder is active at a time.
class RecordingBase {
public:
    RecordingBase();
    ~RecordingBase();
    DevProcTable* table() { return &table_; }
    std::vector<BaseCall> calls;
    uint32_t result = 1;
private:
    DevProcTable table_;
};

// ---- records ----

// A device description: a display of the given depth and masks.
DeviceInfo Device(uint16_t width, uint16_t height, uint16_t bitsPerPixel, uint32_t red = 0, uint32_t green = 0,
                  uint32_t blue = 0);
DeviceInfo Device565(uint16_t width, uint16_t height);
DeviceInfo Device8(uint16_t width, uint16_t height);
DeviceInfo Device32(uint16_t width, uint16_t height);

// A zero-filled context record as the library hands it over (the
// library's own record, with its clip lists), with the given base table or
// none, and the window and update rectangles.
class Context {
public:
    explicit Context(RecordingBase* base = nullptr);
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
    DevContext* operator->() { return ctx_; }
    DevContext* get() { return ctx_; }
    void SetWindow(int16_t x0, int16_t y0, int16_t x1, int16_t y1);  // update = whole window, client-relative
    void SetZoom2();
private:
    vxnlib::LibContext* lib_;
    DevContext* ctx_;
};

// ---- settings and platform ----

// The driver's settings file (in the Windows folder, where a bare "vxn.ini"
// is looked up) with the given text; removed again by the destructor.
// Tests that use it must not run beside each other.
class VxnIni {
public:
    explicit VxnIni(const std::string& text);
    ~VxnIni();
    static std::string Path();
};

// HKCU\Software\Wine\AppDefaults\<exe> Version = version (e.g. "win95");
// removed by the destructor.
class AppVersion {
public:
    AppVersion(const std::string& exe, const std::string& version);
    ~AppVersion();
private:
    std::string key_;
};

// Runs a program of build/bin with arguments, waits, returns its exit code
// (or -1 when it cannot be started); its output goes to this one's.
int RunChild(const std::string& exe, const std::string& args, DWORD timeoutMs = 120000);

// ---- destinations ----

// A memory DC with a 32-bit top-down DIB section selected: what GDI writes
// into it can be read back exactly.
class MemoryTarget {
public:
    MemoryTarget(int width, int height);
    ~MemoryTarget();
    HDC dc() const { return dc_; }
    uint32_t Pixel(int x, int y) const { return bits_[y * width_ + x] & 0xffffff; }
    void Fill(uint32_t rgb);
    int width() const { return width_; }
    int height() const { return height_; }
private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
    uint32_t* bits_;
    int width_, height_;
};

// A visible top-level window of the given client size.
class TestWindow {
public:
    TestWindow(int x, int y, int width, int height);
    ~TestWindow();
    HWND hwnd() const { return hwnd_; }
    HDC dc() const { return dc_; }
private:
    HWND hwnd_;
    HDC dc_;
};

// Catches the driver's message boxes (through its seam) while alive.
class MessageCatcher {
public:
    MessageCatcher();
    ~MessageCatcher();
    static std::vector<std::string> texts;
private:
    DevMessageBoxSink previous_;
};

}  // namespace drvtest
