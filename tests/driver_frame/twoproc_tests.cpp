// Two processes with the module's image loaded: the attach count and the
// platform are one copy for both, each pool is its process's own.
#include <string.h>
#include <string>
#include "frame_fixtures.h"

namespace {

const char kChildVar[] = "VXN_TWO_PROCESS_CHILD";

// The second process: runs before the test framework and exits with a bit
// for every check that failed.
DWORD ChildChecks() {
    DWORD failed = 0;
    if (g_attachCount != 1) failed |= 0x1;
    if (!DriverDllMain(GetModuleHandleA(nullptr), DLL_PROCESS_ATTACH, nullptr)) failed |= 0x2;
    if (g_attachCount != 2) failed |= 0x2;
    if (g_platformId != DEV_PLATFORM_WIN95) failed |= 0x4;
    // This process never initialised its pool: the first request still works.
    if (VnrDevMalloc(1) != g_blockPool) failed |= 0x8;
    DevMemoryInit();
    void* all = VnrDevMalloc(65536);
    if (all != g_blockPool) failed |= 0x10;
    else memset(all, 0x55, 65536);
    DriverDllMain(GetModuleHandleA(nullptr), DLL_PROCESS_DETACH, nullptr);
    if (g_attachCount != 1) failed |= 0x20;
    return failed;
}

struct ChildRole {
    ChildRole() {
        char v[8];
        if (GetEnvironmentVariableA(kChildVar, v, sizeof v)) ExitProcess(ChildChecks());
    }
} s_childRole;

DWORD RunChild() {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string cmd = std::string("\"") + exe + "\"";
    SetEnvironmentVariableA(kChildVar, "1");
    STARTUPINFOA si;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    BOOL ok = CreateProcessA(exe, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableA(kChildVar, nullptr);
    if (!ok) return 0xffff;
    DWORD code = 0xfffe;
    if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

class TwoProcesses : public FrameTest {};

TEST_F(TwoProcesses, ShareTheCountButNotThePool) {
    ASSERT_EQ(g_attachCount, 0u);
    UseVersion(0xC0000004);
    ASSERT_TRUE(DriverDllMain(GetModuleHandleA(nullptr), DLL_PROCESS_ATTACH, nullptr));
    DevMemoryInit();
    uint8_t* mine = static_cast<uint8_t*>(VnrDevMalloc(512));
    ASSERT_EQ(mine, g_blockPool);
    memset(mine, 0xAA, 512);
    DevBlockRun runs[DEV_POOL_BLOCKS];
    memcpy(runs, g_blockRuns, sizeof runs);

    EXPECT_EQ(RunChild(), 0u);

    EXPECT_EQ(g_attachCount, 1u);
    for (int i = 0; i < 512; ++i) ASSERT_EQ(mine[i], 0xAA) << i;
    EXPECT_EQ(memcmp(runs, g_blockRuns, sizeof runs), 0);
    EXPECT_EQ(VnrDevMalloc(256), g_blockPool + 512);
    EXPECT_TRUE(DriverDllMain(GetModuleHandleA(nullptr), DLL_PROCESS_DETACH, nullptr));
    EXPECT_EQ(g_attachCount, 0u);
}

}  // namespace
