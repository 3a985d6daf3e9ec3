// Bounded soak of the texture build: a few thousand byte-flipped pictures of
// every kind, a fixed seed. Every load ends loaded or refused with the
// build's own message, and the memory stays where the first loads left it.
#include <gtest/gtest.h>

#include "pictures_soak.h"

namespace {

const int kRounds = 300;  // of each of the 14 kinds: 4200 loads
// Far below what one load would leave behind if the texels stayed (about
// 270 KB), far above the allocator's wobble.
const size_t kMemoryBound = 4u << 20;

TEST(PictureSoak, EveryLoadEndsDefinedAndMemoryStaysFlat) {
    PicturesHarness h;
    SoakReport r = RunSoak(h, kRounds, 7);
    ASSERT_EQ(kRounds * (int)SoakSeeds().size(), r.loads);
    std::string undefined;
    for (const std::string& u : r.undefined) undefined += "\n  " + u;
    EXPECT_TRUE(r.undefined.empty()) << "loads without a defined outcome:" << undefined;
    int loaded = 0, refused = 0;
    for (const auto& o : r.outcomes) (o.first.compare(0, 6, "loaded") == 0 ? loaded : refused) += o.second;
    // The flips reach both ends: the soak is not all refusals or all loads.
    EXPECT_GT(loaded, r.loads / 10);
    EXPECT_GT(refused, r.loads / 10);
    EXPECT_LE(r.memoryAtEnd, r.memoryAtMark + kMemoryBound)
        << "after 100 loads " << r.memoryAtMark << " bytes, after " << r.loads << " loads " << r.memoryAtEnd;
}

}  // namespace
