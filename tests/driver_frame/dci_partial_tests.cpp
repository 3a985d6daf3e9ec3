// The driver against a provider that lacks one of the ten entry points.
#include <string>
#include "frame/dci.h"
#include "dcistandin.h"
#include "frame_fixtures.h"
#include "testsupport.h"

namespace {

TEST(DciRefused, MissingEntryPointBindsNothing) {
    // Loaded first by path, the partial provider is the module the driver's
    // load by name finds.
    std::string path = testsupport::ProgramDir() + "dcipartial\\dciman32.dll";
    HMODULE partial = LoadLibraryA(path.c_str());
    ASSERT_NE(partial, nullptr);
    ASSERT_EQ(GetModuleHandleA("dciman32.dll"), partial);
    auto counters = reinterpret_cast<void(WINAPI*)(DciStandInCounters*)>(
        GetProcAddress(partial, "DciStandInGetCounters"));
    ASSERT_NE(counters, nullptr);
    EXPECT_EQ(GetProcAddress(partial, "WinWatchGetClipList"), nullptr);

    EXPECT_EQ(DevDciLoadManager(), 0u);
    ExpectNothingCallable();
    DciStandInCounters c;
    counters(&c);
    EXPECT_EQ(c.calls, 0);  // not even the provider was opened
    FreeLibrary(partial);
}

}  // namespace
