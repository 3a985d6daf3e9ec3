// Module entry: platform detection, the attach count, thunk registration and
// the numbered thunk services.
#include "frame_fixtures.h"

namespace {

class Entry : public FrameTest {
protected:
    void TearDown() override {
        DevSetRuntimeInit(nullptr);
        FrameTest::TearDown();
    }
};

TEST_F(Entry, PlatformFromVersionWord) {
    const struct { DWORD version; uint16_t platform; } cases[] = {
        {0x0A280105, DEV_PLATFORM_NT},      // modern NT: bit 31 clear
        {0x05650004, DEV_PLATFORM_NT},      // NT 4.0
        {0x00000003, DEV_PLATFORM_NT},
        {0xC0000004, DEV_PLATFORM_WIN95},   // 4.0 with bit 31
        {0xC0000A04, DEV_PLATFORM_WIN95},   // 4.10
        {0x80000005, DEV_PLATFORM_WIN95},
        {0x80000A03, DEV_PLATFORM_WIN32S},  // 3.10
        {0x80000003, DEV_PLATFORM_WIN32S},  // 3.0
        {0x8000FF03, DEV_PLATFORM_WIN32S},  // 3.255 is still below 4.0
        {0x80000002, DEV_PLATFORM_WIN32S},
    };
    for (const auto& c : cases) {
        UseVersion(c.version);
        EXPECT_EQ(GetPlatformId(), c.platform) << std::hex << c.version;
    }
}

TEST_F(Entry, ThunkInitializeByPlatform) {
    // Wine's UTRegister exists and fails without the 16-bit library.
    const struct { DWORD version; uint32_t result; uint16_t platform; bool kernelBound; } cases[] = {
        {0x0A280105, 0, DEV_PLATFORM_NT, false},
        {0xC0000004, 1, DEV_PLATFORM_WIN95, false},
        {0x80000002, 0, DEV_PLATFORM_WIN32S, false},  // major below 3
        {0x81000A03, 1, DEV_PLATFORM_WIN32S, false},  // other top byte
        {0x80000A03, 0, DEV_PLATFORM_WIN32S, true},   // registration refused
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        UseVersion(c.version);
        EXPECT_EQ(ThunkInitialize(), c.result);
        EXPECT_EQ(g_platformId, c.platform);
        EXPECT_EQ(g_thunk, nullptr);
        EXPECT_EQ(g_kernel32 != nullptr, c.kernelBound);
        EXPECT_EQ(g_utUnRegister != nullptr, c.kernelBound);
        EXPECT_EQ(ThunkTerminate(), 1u);
        EXPECT_EQ(g_kernel32, nullptr);
        EXPECT_EQ(g_utUnRegister, nullptr);
    }
}

HINSTANCE Self() { return GetModuleHandleA(nullptr); }

TEST_F(Entry, AttachCountsAndOnlyFirstAttachInitialises) {
    ASSERT_EQ(g_attachCount, 0u);
    UseVersion(0xC0000004);
    EXPECT_TRUE(DriverDllMain(Self(), DLL_PROCESS_ATTACH, nullptr));
    EXPECT_EQ(g_attachCount, 1u);
    EXPECT_EQ(g_platformId, DEV_PLATFORM_WIN95);
    EXPECT_EQ(g_driverModule, Self());

    UseVersion(0x0A280105);  // a later attach detects nothing
    EXPECT_TRUE(DriverDllMain(Self(), DLL_PROCESS_ATTACH, nullptr));
    EXPECT_EQ(g_attachCount, 2u);
    EXPECT_EQ(g_platformId, DEV_PLATFORM_WIN95);

    for (DWORD reason : {DLL_THREAD_ATTACH, DLL_THREAD_DETACH})
        EXPECT_FALSE(DriverDllMain(Self(), reason, nullptr));
    EXPECT_EQ(g_attachCount, 2u);

    EXPECT_TRUE(DriverDllMain(Self(), DLL_PROCESS_DETACH, nullptr));
    EXPECT_EQ(g_attachCount, 1u);
    EXPECT_TRUE(DriverDllMain(Self(), DLL_PROCESS_DETACH, nullptr));
    EXPECT_EQ(g_attachCount, 0u);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Entry, LastDetachUnregistersTheThunk) {
    // Win32s whose registration fails still binds Kernel32 until the end.
    UseVersion(0x80000A03);
    ASSERT_TRUE(DriverDllMain(Self(), DLL_PROCESS_ATTACH, nullptr));
    ASSERT_TRUE(DriverDllMain(Self(), DLL_PROCESS_ATTACH, nullptr));
    EXPECT_NE(g_kernel32, nullptr);
    DriverDllMain(Self(), DLL_PROCESS_DETACH, nullptr);
    EXPECT_NE(g_kernel32, nullptr);
    DriverDllMain(Self(), DLL_PROCESS_DETACH, nullptr);
    EXPECT_EQ(g_kernel32, nullptr);
    EXPECT_EQ(g_attachCount, 0u);
}

BOOL FailingRuntime(HINSTANCE, DWORD, LPVOID) { return FALSE; }

TEST_F(Entry, FailedAttachLeavesCountAndDetachCannotUnderflow) {
    DevSetRuntimeInit(FailingRuntime);
    EXPECT_FALSE(DriverDllMain(Self(), DLL_PROCESS_ATTACH, nullptr));
    EXPECT_EQ(g_attachCount, 0u);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].owner, nullptr);
    EXPECT_EQ(Messages()[0].text, "Rastrel Driver, CRT_INIT Failed");
    EXPECT_EQ(Messages()[0].caption, "FATAL ERROR");
    EXPECT_EQ(Messages()[0].type, static_cast<UINT>(MB_ICONHAND));

    // The loader follows a refused attach with a detach.
    EXPECT_TRUE(DriverDllMain(Self(), DLL_PROCESS_DETACH, nullptr));
    EXPECT_EQ(g_attachCount, 0u);

    DevSetRuntimeInit(nullptr);
    EXPECT_TRUE(DriverDllMain(Self(), DLL_PROCESS_ATTACH, nullptr));
    EXPECT_EQ(g_attachCount, 1u);
    EXPECT_TRUE(DriverDllMain(Self(), DLL_PROCESS_DETACH, nullptr));
    EXPECT_TRUE(DriverDllMain(Self(), DLL_PROCESS_DETACH, nullptr));
    EXPECT_EQ(g_attachCount, 0u);
}

class Services : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        saved_ = g_platformId;
        g_platformId = DEV_PLATFORM_WIN32S;
    }
    void TearDown() override {
        g_platformId = saved_;
        FrameTest::TearDown();
    }
    uint16_t saved_ = 0;
};

BITMAP g_record;

struct ServiceCase {
    const char* name;
    uint32_t (*call)();
    DWORD service;
    bool argsNull;
    std::vector<DWORD> args;   // leading words expected
    bool listNull;
    std::vector<int> translated;
};

const ServiceCase kServices[] = {
    {"map physical", [] { return ThunkMapPhysical(0xA0000000, 0x100000); }, 1, false,
     {0xA0000000, 0x100000}, false, {}},
    {"get bitmap", [] { return ThunkGetBitmap(0x1234, 24, &g_record); }, 3, false,
     {0x1234, 24, static_cast<DWORD>(reinterpret_cast<uintptr_t>(&g_record))}, false, {2}},
    {"dci open", [] { return DevDciOpen(); }, 16, true, {}, true, {}},
    {"dci close", [] { return DevDciClose(); }, 17, true, {}, true, {}},
    {"dci primary", [] { return DevDciPrimaryAddress(); }, 18, true, {}, true, {}},
    {"display depth", [] { return ThunkGetDisplayDepth(1); }, 24, false, {1}, true, {}},
};

TEST_F(Services, BuffersAndTranslationListsReachTheThunk) {
    DevSeamThunk(ThunkRecorder::Entry);
    for (const ServiceCase& c : kServices) {
        SCOPED_TRACE(c.name);
        ThunkRecorder::Calls().clear();
        ThunkRecorder::Result() = 0x5000 + c.service;
        EXPECT_EQ(c.call(), 0x5000 + c.service);
        ASSERT_EQ(ThunkRecorder::Calls().size(), 1u);
        const ThunkCall& t = ThunkRecorder::Calls()[0];
        EXPECT_EQ(t.service, c.service);
        EXPECT_EQ(t.argsNull, c.argsNull);
        for (size_t i = 0; i < c.args.size(); ++i) EXPECT_EQ(t.args[i], c.args[i]) << i;
        EXPECT_EQ(t.listNull, c.listNull);
        EXPECT_EQ(t.translated, c.translated);
    }
}

TEST_F(Services, EveryServiceReturnsZeroWithoutAThunk) {
    for (uint16_t platform : {DEV_PLATFORM_WIN32S, DEV_PLATFORM_NT}) {
        g_platformId = platform;
        for (const ServiceCase& c : kServices) EXPECT_EQ(c.call(), 0u) << c.name;
    }
}

TEST_F(Services, Windows95UsesTheDciManagerInstead) {
    DevSeamThunk(ThunkRecorder::Entry);
    g_platformId = DEV_PLATFORM_WIN95;
    EXPECT_EQ(DevDciClose(), 1u);
    // Wine's own manager opens no provider; no thunk call either way.
    EXPECT_EQ(DevDciOpen(), 0u);
    EXPECT_EQ(DevDciPrimaryAddress(), 0u);
    EXPECT_TRUE(ThunkRecorder::Calls().empty());
}

}  // namespace
