// The loaded module in two processes: one attach count for both (the
// module's shared section), one block pool each.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>
#include "harness.h"

using namespace drvtest;

namespace {

const char kChildFlag[] = "--vxn-module-child";

// The module's shared section, or null.
const IMAGE_SECTION_HEADER* SharedSection(HMODULE m) {
    const BYTE* base = reinterpret_cast<const BYTE*>(m);
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_SECTION_HEADER* s = IMAGE_FIRST_SECTION(nt);
    for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i)
        if (s[i].Characteristics & IMAGE_SCN_MEM_SHARED) return &s[i];
    return nullptr;
}

std::vector<uint32_t> SharedWords(HMODULE m) {
    const IMAGE_SECTION_HEADER* s = SharedSection(m);
    const uint32_t* p = reinterpret_cast<const uint32_t*>(reinterpret_cast<const BYTE*>(m) + s->VirtualAddress);
    return std::vector<uint32_t>(p, p + s->Misc.VirtualSize / 4);
}

std::string EventName(DWORD pid, const char* what) {
    return "vxn-module-" + std::to_string(pid) + "-" + what;
}

// The second process: loads the module, initialises it and fills its pool
// with three contexts, then holds it until told to go.
struct ChildRole {
    ChildRole() {
        const char* flag = strstr(GetCommandLineA(), kChildFlag);
        if (!flag) return;
        DWORD parent = strtoul(flag + sizeof kChildFlag, nullptr, 10);
        HANDLE loaded = OpenEventA(EVENT_MODIFY_STATE, FALSE, EventName(parent, "loaded").c_str());
        HANDLE done = OpenEventA(SYNCHRONIZE, FALSE, EventName(parent, "done").c_str());
        if (!loaded || !done) ExitProcess(2);
        DriverModule module;
        DriverExports ex = module.exports();
        if (!module.handle() || !ex.initialize) ExitProcess(3);
        DeviceInfo info = Device565(640, 480);
        ex.initialize(&info);
        static Context contexts[3];
        for (Context& c : contexts) {
            c->hdc = GetDC(nullptr);
            c.SetWindow(0, 0, 64, 64);
            ex.contextCreate(c.get());
            if (!c->driverBlock) ExitProcess(4);
        }
        SetEvent(loaded);
        WaitForSingleObject(done, 60000);
        ExitProcess(0);
    }
} s_childRole;

TEST(ModuleInTwoProcesses, CountIsSharedAndPoolsAreSeparate) {
    DriverModule module;
    ASSERT_NE(module.handle(), nullptr);
    ASSERT_NE(SharedSection(module.handle()), nullptr);
    DriverExports ex = module.exports();
    DeviceInfo info = Device565(640, 480);
    ASSERT_EQ(ex.initialize(&info), 1u);

    Context first, second;
    for (Context* c : {&first, &second}) {
        (*c)->hdc = GetDC(nullptr);
        c->SetWindow(0, 0, 64, 64);
        ASSERT_EQ(ex.contextCreate(c->get()), 1u);
    }
    DriverBlock* reusable = second->driverBlock;
    DriverBlock firstBlock = *first->driverBlock;
    ASSERT_EQ(ex.contextDelete(second.get()), 1u);
    std::vector<uint32_t> alone = SharedWords(module.handle());

    DWORD pid = GetCurrentProcessId();
    HANDLE loaded = CreateEventA(nullptr, TRUE, FALSE, EventName(pid, "loaded").c_str());
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, EventName(pid, "done").c_str());
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string cmd = "\"" + std::string(exe) + "\" " + kChildFlag + " " + std::to_string(pid);
    STARTUPINFOA si;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    ASSERT_TRUE(CreateProcessA(exe, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    bool childLoaded = WaitForSingleObject(loaded, 60000) == WAIT_OBJECT_0;
    std::vector<uint32_t> both = SharedWords(module.handle());
    SetEvent(done);
    DWORD code = 0xffff;
    if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    CloseHandle(loaded);
    CloseHandle(done);
    ASSERT_TRUE(childLoaded);
    EXPECT_EQ(code, 0u);

    // While both held the module exactly one shared word, the count, was one
    // higher; after the child left it is back.
    int changed = 0;
    for (size_t i = 0; i < alone.size(); ++i) {
        if (alone[i] == both[i]) continue;
        ++changed;
        EXPECT_EQ(both[i], alone[i] + 1) << "word " << i;
    }
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(SharedWords(module.handle()), alone);

    // The child's initialisation and contexts did not touch this pool.
    EXPECT_EQ(memcmp(&firstBlock, first->driverBlock, sizeof firstBlock), 0);
    Context third;
    third->hdc = GetDC(nullptr);
    third.SetWindow(0, 0, 64, 64);
    ASSERT_EQ(ex.contextCreate(third.get()), 1u);
    EXPECT_EQ(third->driverBlock, reusable);
    ex.contextDelete(third.get());
    ex.contextDelete(first.get());
    ex.terminate();
}

}  // namespace
