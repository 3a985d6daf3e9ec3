// The driver against Wine's own dciman32, which binds every name, opens no
// provider and aborts on any other call.
#include <string>
#include "frame/dci.h"
#include "dcistandin.h"
#include "frame_fixtures.h"
#include "testsupport.h"

namespace {

TEST(DciRefused, WinesOwnManagerIsNotUsed) {
    EXPECT_EQ(DevDciLoadManager(), 0u);
    // Any of these reaching Wine's stubs would end the process.
    ExpectNothingCallable();
    uint16_t saved = g_platformId;
    g_platformId = DEV_PLATFORM_WIN95;
    EXPECT_EQ(DevDciOpen(), 0u);
    EXPECT_EQ(DevDciPrimaryAddress(), 0u);
    g_platformId = saved;
}

}  // namespace
