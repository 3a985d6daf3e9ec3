// Run as a program Wine reports Win32s (3.10) to: the loaded module takes
// the Win32s branch, whose DCI steps go through the thunk services.
#include <gtest/gtest.h>
#include <vector>
#include "harness.h"

using namespace drvtest;

namespace {

std::vector<DWORD>& Services() {
    static std::vector<DWORD> s;
    return s;
}
DWORD& DciAnswer() {
    static DWORD a;
    return a;
}
std::vector<uint8_t>& Surface() {
    static std::vector<uint8_t> s(640 * 480 * 2 + 64);
    return s;
}

DWORD WINAPI Thunk(void*, DWORD service, void**) {
    Services().push_back(service);
    switch (service) {
    case 16: return DciAnswer();
    case 17: return 1;
    case 18: return DciAnswer() ? static_cast<DWORD>(reinterpret_cast<uintptr_t>(Surface().data())) : 0;
    case 24: return 16;
    default: return 0;
    }
}

TEST(Win31Run, DciThroughTheThunkServices) {
    DWORD v = GetVersion();
    ASSERT_TRUE(v & 0x80000000u) << std::hex << v;
    ASSERT_LT(v & 0xff, 4u) << std::hex << v;

    // The shipped module has no seams: its test build carries them.
    DriverModule module("rastrel_seams.vxn");
    ASSERT_NE(module.handle(), nullptr);
    auto seamThunk = reinterpret_cast<DevThunkEntry(WINAPI*)(DevThunkEntry)>(module.byName("DevSeamThunk"));
    ASSERT_NE(seamThunk, nullptr);
    // Wine's UTRegister finds no 16-bit library: the module has no thunk.
    EXPECT_EQ(seamThunk(Thunk), nullptr);
    DriverExports ex = module.exports();

    // The provider refuses: GDI path, asked through service 16 only.
    DeviceInfo info = Device565(640, 480);
    ASSERT_EQ(ex.initialize(&info), 1u);
    EXPECT_EQ(info.devCaps, 3);
    ASSERT_FALSE(Services().empty());
    EXPECT_EQ(Services()[0], 16u);
    ex.terminate();

    // The provider opens and gives a surface: the direct path.
    Services().clear();
    DciAnswer() = 1;
    info = Device565(640, 480);
    ASSERT_EQ(ex.initialize(&info), 1u);
    EXPECT_EQ(info.devCaps, 15);
    ASSERT_GE(Services().size(), 2u);
    EXPECT_EQ(Services()[0], 16u);
    EXPECT_EQ(Services()[1], 18u);
    ex.terminate();
    seamThunk(nullptr);
}

}  // namespace
