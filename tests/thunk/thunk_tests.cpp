// The thunk program: its run with fake universal-thunk entry points (the
// registration, the hidden window, WM_CLOSE and every way it ends early),
// and the real VXNUT.EXE under Wine, where the registration is refused.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "childprocess.h"
#include "testsupport.h"
#include "vxnut.h"

namespace {

using testsupport::ChildProcess;
using testsupport::ProgramDir;
using testsupport::ReadFile;
using testsupport::ScopedEnvVar;
using testsupport::TempDir;

const char kMarker[] = "thunk_marker.dll";
Ut32Proc const kThunk32 = reinterpret_cast<Ut32Proc>(0x5150);

HINSTANCE Self() { return GetModuleHandleA(nullptr); }

typedef DWORD (WINAPI *CallbackProc)(DWORD, DWORD);

struct Registration {
    HANDLE module;
    std::string dll16, initName;
    bool hasProcName;
    Ut32Proc* thunk32;
    FARPROC callback;
    LPVOID buffer;
    DWORD callbackAnswer;  // what the callback said while registering
};

// The two entry points, recording every call.
struct FakeThunk {
    static std::vector<Registration> registrations;
    static std::vector<HANDLE> unregistrations;
    static BOOL result;

    static BOOL WINAPI Register(HANDLE module, LPSTR dll16, LPSTR initName, LPSTR procName, Ut32Proc* thunk32,
                                FARPROC callback, LPVOID buffer) {
        // The 16-bit side may call back while the registration runs.
        DWORD answer = callback ? reinterpret_cast<CallbackProc>(callback)(0x1000, 7) : 0xFFFFFFFF;
        registrations.push_back({module, dll16 ? dll16 : "(null)", initName ? initName : "(null)",
                                 procName != nullptr, thunk32, callback, buffer, answer});
        if (result && thunk32) *thunk32 = kThunk32;
        return result;
    }
    static VOID WINAPI UnRegister(HANDLE module) { unregistrations.push_back(module); }
};
std::vector<Registration> FakeThunk::registrations;
std::vector<HANDLE> FakeThunk::unregistrations;
BOOL FakeThunk::result;

const UtEntryPoints kFakes = {FakeThunk::Register, FakeThunk::UnRegister};

// ThunkMain on a thread of its own, so a run that never ends fails the test
// instead of hanging it.
class ProgramRun {
public:
    ProgramRun(HINSTANCE instance, const char* library) : instance_(instance), library_(library) {
        thread_ = CreateThread(nullptr, 0, Proc, this, 0, &threadId_);
    }
    ~ProgramRun() {
        if (!Ended(0)) {
            PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
            if (!Ended(2000)) TerminateThread(thread_, 1);
        }
        CloseHandle(thread_);
    }
    bool Ended(DWORD ms) { return WaitForSingleObject(thread_, ms) == WAIT_OBJECT_0; }
    int result() const { return result_; }

    // The thread's "UT16To32" window, waited for up to ms.
    HWND Window(DWORD ms) {
        DWORD start = GetTickCount();
        for (;;) {
            HWND found = nullptr;
            EnumThreadWindows(threadId_, FindThunkWindow, reinterpret_cast<LPARAM>(&found));
            if (found || GetTickCount() - start > ms) return found;
            Sleep(20);
        }
    }
    // The window, once the program waits in its message loop: it is listed
    // while its creation still runs, and only a thread that waits for
    // messages answers one sent to it.
    HWND WindowInLoop(DWORD ms) {
        HWND w = Window(ms);
        DWORD_PTR answer;
        if (w && !SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_BLOCK, ms, &answer)) return nullptr;
        return w;
    }

private:
    static DWORD WINAPI Proc(LPVOID p) {
        auto* self = static_cast<ProgramRun*>(p);
        self->result_ = ThunkMain(self->instance_, self->library_);
        return 0;
    }
    static BOOL CALLBACK FindThunkWindow(HWND w, LPARAM lp) {
        char cls[64];
        GetClassNameA(w, cls, sizeof cls);
        if (strcmp(cls, "UT16To32") != 0) return TRUE;
        *reinterpret_cast<HWND*>(lp) = w;
        return FALSE;
    }
    HINSTANCE instance_;
    const char* library_;
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
    int result_ = -1;
};

class ThunkProgram : public ::testing::Test {
protected:
    void SetUp() override {
        g_libraryName = nullptr;
        g_instance = nullptr;
        g_kernel32 = nullptr;
        g_utRegister = nullptr;
        g_utUnRegister = nullptr;
        g_thunk32 = nullptr;
        g_library = nullptr;
        g_thunkWindow = nullptr;
        FakeThunk::registrations.clear();
        FakeThunk::unregistrations.clear();
        FakeThunk::result = TRUE;
        ThunkSeamEntryPoints(&kFakes);
    }
    void TearDown() override {
        ThunkSeamEntryPoints(nullptr);
        // The program never frees its library; unloading it here lets the
        // next case see whether its own run loaded it.
        if (g_library) FreeLibrary(g_library);
        ASSERT_EQ(GetModuleHandleA(kMarker), nullptr);
    }
    // Lines the marker library wrote: one per load into this process.
    std::string Marks() { return ReadFile(markerFile_); }

    TempDir dir_;
    std::string markerFile_ = dir_.file("marker.txt");
    ScopedEnvVar markerVar_{"VISTARO_THUNK_MARKER", markerFile_};
};

TEST_F(ThunkProgram, RegistersRunsItsHiddenWindowAndEndsOnWmClose) {
    ProgramRun run(Self(), kMarker);
    HWND window = run.WindowInLoop(10000);
    ASSERT_NE(window, nullptr);

    ASSERT_EQ(FakeThunk::registrations.size(), 1u);
    const Registration& r = FakeThunk::registrations[0];
    EXPECT_EQ(r.module, Self());
    EXPECT_EQ(r.dll16, "VXNSYS.DLL");
    EXPECT_EQ(r.initName, "UT16InitUT16To32");
    EXPECT_FALSE(r.hasProcName);
    EXPECT_EQ(r.thunk32, &g_thunk32);
    EXPECT_EQ(r.callback, reinterpret_cast<FARPROC>(Ut32Callback));
    EXPECT_EQ(r.buffer, nullptr);
    EXPECT_EQ(r.callbackAnswer, 0u) << "no window yet while registering";
    EXPECT_EQ(g_thunk32, kThunk32);

    // Now the callback answers with the window, whatever it is given.
    const DWORD args[][2] = {{0, 0}, {0x1000, 7}, {0xFFFFFFFF, 0xFFFFFFFF}};
    for (const auto& a : args)
        EXPECT_EQ(Ut32Callback(a[0], a[1]), static_cast<DWORD>(reinterpret_cast<UINT_PTR>(window)));

    EXPECT_FALSE(IsWindowVisible(window));
    WNDCLASSA wc;
    ASSERT_TRUE(GetClassInfoA(Self(), "UT16To32", &wc));
    EXPECT_EQ(wc.lpfnWndProc, ThunkWindowProc);
    EXPECT_EQ(wc.style, 0u);
    EXPECT_EQ(wc.cbClsExtra + wc.cbWndExtra, 0);
    EXPECT_EQ(wc.hIcon, nullptr);
    EXPECT_EQ(wc.hCursor, nullptr);
    EXPECT_EQ(wc.hbrBackground, nullptr);
    EXPECT_EQ(wc.lpszMenuName, nullptr);

    EXPECT_NE(g_library, nullptr);
    EXPECT_EQ(g_library, GetModuleHandleA(kMarker));
    EXPECT_EQ(Marks(), "loaded\r\n");

    // It waits for WM_CLOSE.
    EXPECT_FALSE(run.Ended(300));
    EXPECT_TRUE(FakeThunk::unregistrations.empty());
    ASSERT_TRUE(PostMessageA(window, WM_CLOSE, 0, 0));
    ASSERT_TRUE(run.Ended(10000));
    EXPECT_EQ(run.result(), 0);
    ASSERT_EQ(FakeThunk::unregistrations.size(), 1u);
    EXPECT_EQ(FakeThunk::unregistrations[0], Self());
    EXPECT_EQ(g_kernel32, nullptr) << "Kernel32.dll freed";

    // A second WM_CLOSE (here on a thread of its own, for its quit message)
    // neither unregisters nor frees Kernel32.dll again.
    std::thread([window] { EXPECT_EQ(ThunkWindowProc(window, WM_CLOSE, 0, 0), 0); }).join();
    EXPECT_EQ(FakeThunk::unregistrations.size(), 1u);
    EXPECT_EQ(g_kernel32, nullptr);
}

TEST_F(ThunkProgram, WithoutAnArgumentRunsWithNoLibraryUntilWmClose) {
    ProgramRun run(Self(), nullptr);
    HWND window = run.WindowInLoop(10000);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(g_library, nullptr);
    EXPECT_EQ(Marks(), "");
    EXPECT_FALSE(run.Ended(300));
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(run.Ended(10000));
    EXPECT_EQ(run.result(), 0);
    EXPECT_EQ(FakeThunk::unregistrations.size(), 1u);

    // No name, no call: LoadLibraryA is not asked for a null name, so the
    // thread's last error is untouched.
    g_libraryName = nullptr;
    SetLastError(0xC0DE);
    EXPECT_EQ(ThunkWindowProc(reinterpret_cast<HWND>(0x1234), WM_CREATE, 0, 0), 0);
    EXPECT_EQ(GetLastError(), 0xC0DEu);
    EXPECT_EQ(g_thunkWindow, reinterpret_cast<HWND>(0x1234));
    EXPECT_EQ(g_library, nullptr);
}

TEST_F(ThunkProgram, MissingLibraryLeavesItNullAndRunsOn) {
    ProgramRun run(Self(), "no-such-library.dll");
    HWND window = run.WindowInLoop(10000);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(g_library, nullptr);
    EXPECT_EQ(Ut32Callback(0, 0), static_cast<DWORD>(reinterpret_cast<UINT_PTR>(window)));
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(run.Ended(10000));
    EXPECT_EQ(run.result(), 0);
}

// The ways the program ends at once, before any window: each with exit code
// 0, no window, no library loaded.
void ExpectEndedWithoutWindow(ProgramRun& run) {
    ASSERT_TRUE(run.Ended(10000)) << "still running";
    EXPECT_EQ(run.result(), 0);
    EXPECT_EQ(run.Window(0), nullptr);
    EXPECT_EQ(g_thunkWindow, nullptr);
    EXPECT_EQ(Ut32Callback(1, 2), 0u);
    EXPECT_EQ(g_library, nullptr);
}

TEST_F(ThunkProgram, WithoutBothEntryPointsEndsAtOnce) {
    const struct { const char* what; UtEntryPoints fakes; } cases[] = {
        {"no UTRegister", {nullptr, FakeThunk::UnRegister}},
        {"no UTUnRegister", {FakeThunk::Register, nullptr}},
        {"neither", {nullptr, nullptr}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ThunkSeamEntryPoints(&c.fakes);
        ProgramRun run(Self(), kMarker);
        ExpectEndedWithoutWindow(run);
        EXPECT_EQ(g_utRegister, nullptr);
        EXPECT_EQ(g_utUnRegister, nullptr);
        EXPECT_TRUE(FakeThunk::registrations.empty());
        EXPECT_TRUE(FakeThunk::unregistrations.empty());
    }
    EXPECT_EQ(Marks(), "");
}

TEST_F(ThunkProgram, RefusedRegistrationEndsAtOnceUnregisteringNothing) {
    FakeThunk::result = FALSE;
    ProgramRun run(Self(), kMarker);
    ExpectEndedWithoutWindow(run);
    EXPECT_EQ(FakeThunk::registrations.size(), 1u);
    EXPECT_TRUE(FakeThunk::unregistrations.empty());
    EXPECT_NE(g_kernel32, nullptr) << "nothing freed on this path";
    EXPECT_EQ(Marks(), "");
}

TEST_F(ThunkProgram, WinesKernel32BindsTheEntryPointsAndRefusesTheRegistration) {
    ThunkSeamEntryPoints(nullptr);
    ProgramRun run(Self(), kMarker);
    ExpectEndedWithoutWindow(run);
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    EXPECT_EQ(g_kernel32, kernel32);
    EXPECT_EQ(reinterpret_cast<FARPROC>(g_utRegister), GetProcAddress(kernel32, "UTRegister"));
    EXPECT_NE(g_utRegister, nullptr);
    EXPECT_NE(g_utUnRegister, nullptr);
    EXPECT_EQ(Marks(), "");
}

// A window procedure whose windows cannot be made.
LRESULT CALLBACK RefuseCreation(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return m == WM_NCCREATE ? FALSE : DefWindowProcA(w, m, wp, lp);
}

TEST_F(ThunkProgram, WindowThatCannotBeMadeUnregistersAndEnds) {
    // A class of that name already registered by the instance: the program's
    // own registration fails and the window comes out of this one.
    UnregisterClassA("UT16To32", Self());
    WNDCLASSA wc = {};
    wc.lpfnWndProc = RefuseCreation;
    wc.hInstance = Self();
    wc.lpszClassName = "UT16To32";
    ASSERT_TRUE(RegisterClassA(&wc));
    {
        ProgramRun run(Self(), kMarker);
        ExpectEndedWithoutWindow(run);
        ASSERT_EQ(FakeThunk::unregistrations.size(), 1u);
        EXPECT_EQ(FakeThunk::unregistrations[0], Self());
        EXPECT_EQ(g_kernel32, nullptr) << "Kernel32.dll freed";
    }
    EXPECT_TRUE(UnregisterClassA("UT16To32", Self()));
}

DWORD WINAPI LoopOnWindow(LPVOID window) {
    ThunkMessageLoop(static_cast<HWND>(window));
    return 0;
}

TEST(MessageLoop, EndsOnAnErrorInsteadOfSpinning) {
    // GetMessageA's -1: asked for the messages of a window that is none.
    HWND bogus = reinterpret_cast<HWND>(0x7FFF0000);
    MSG m;
    ASSERT_EQ(GetMessageA(&m, bogus, 0, 0), -1);
    HANDLE t = CreateThread(nullptr, 0, LoopOnWindow, bogus, 0, nullptr);
    bool ended = WaitForSingleObject(t, 5000) == WAIT_OBJECT_0;
    if (!ended) TerminateThread(t, 1);
    CloseHandle(t);
    EXPECT_TRUE(ended);
}

// The real program under Wine: Wine's UTRegister refuses without the 16-bit
// library, so it ends at once with 0 and never makes its window (which
// would load the library named on its command line).
TEST(RealProgram, EndsAtOnceWithoutAWindowUnderWine) {
    TempDir dir;
    std::string marker = dir.file("marker.txt");
    const char* argsCases[] = {kMarker, ""};
    for (const char* args : argsCases) {
        SCOPED_TRACE(args);
        ChildProcess child("VXNUT.EXE", args, {"VISTARO_THUNK_MARKER=" + marker});
        ASSERT_TRUE(child.started());
        DWORD code = 99;
        ASSERT_TRUE(child.Wait(20000, &code)) << "still running";
        EXPECT_EQ(code, 0u);
        EXPECT_TRUE(child.boxes().empty());
    }
    EXPECT_EQ(ReadFile(marker), "");
}

std::string VersionString(const std::vector<char>& info, const char* name) {
    char* value = nullptr;
    UINT size = 0;
    std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
    if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &size) || !value) return "";
    return value;
}

TEST(RealProgram, VersionResource) {
    std::string path = ProgramDir() + "VXNUT.EXE";
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT n = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &n));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00020001u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00070000u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00020001u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00070000u);
    EXPECT_EQ(VersionString(info, "FileVersion"), "2.1.7");
    EXPECT_EQ(VersionString(info, "ProductVersion"), "2.1.7");
    EXPECT_EQ(VersionString(info, "FileDescription"), "VXN Universal Thunk");
    EXPECT_EQ(VersionString(info, "InternalName"), "VXNUT");
    EXPECT_EQ(VersionString(info, "OriginalFilename"), "VXNUT.EXE");
}

// The PE file itself: a GUI program that does not import the thunk entry
// points (they exist only on Win32s; an import would stop it loading elsewhere).
TEST(RealProgram, GuiProgramImportingNoThunkEntryPoint) {
    std::string file = ReadFile(ProgramDir() + "VXNUT.EXE");
    ASSERT_GT(file.size(), 0x400u);
    const char* base = file.data();
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    ASSERT_EQ(nt->Signature, IMAGE_NT_SIGNATURE);
    EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);

    const IMAGE_SECTION_HEADER* sections = IMAGE_FIRST_SECTION(nt);
    auto at = [&](DWORD rva) -> const char* {
        for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER& s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return base + s.PointerToRawData + (rva - s.VirtualAddress);
        }
        return nullptr;
    };
    DWORD importRva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    auto desc = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(at(importRva));
    ASSERT_NE(desc, nullptr);
    int names = 0;
    for (; desc->Name; ++desc) {
        DWORD thunkRva = desc->OriginalFirstThunk ? desc->OriginalFirstThunk : desc->FirstThunk;
        auto thunk = reinterpret_cast<const IMAGE_THUNK_DATA32*>(at(thunkRva));
        ASSERT_NE(thunk, nullptr);
        for (; thunk->u1.AddressOfData; ++thunk) {
            if (thunk->u1.Ordinal & IMAGE_ORDINAL_FLAG32) continue;
            auto byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(at(thunk->u1.AddressOfData));
            ASSERT_NE(byName, nullptr);
            std::string name = reinterpret_cast<const char*>(byName->Name);
            EXPECT_NE(name, "UTRegister");
            EXPECT_NE(name, "UTUnRegister");
            ++names;
        }
    }
    EXPECT_GT(names, 0) << "the import walk saw nothing";
}

}  // namespace
